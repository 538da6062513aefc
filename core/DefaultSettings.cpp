#include "core/DefaultSettings.h"

#include <cmath>

void SetDefaultSettings(SettingsStruct& s) {
    s.reserved52 = s.displayFlags = s.labelFlags = 0;
    s.viewAngle = 70.0;
    s.minPointSize = 2;
    s.eyeRadius = 15;
    s.autoRotation = -M_PI / 10000;
    s.timeStep = 10.0;
    s.pushesPerFrame = 16;
    s.gravConstant = 6.672e-11;
    s.powerLaw = -2.0;
}
