// Mercury's perihelion under the first post-Newtonian term of the Sun.
#include <gtest/gtest.h>

#include <cmath>

#include "core/DefaultSettings.h"
#include "core/Records.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"

namespace {

constexpr double kG = 6.6743e-11;
constexpr double kSunGM = 1.32712440041e20;  // m^3/s^2 (IAU 2015 nominal)
constexpr double kMercuryMass = 3.3011e23;   // kg
// Mercury's J2000 elements (Standish, "Keplerian Elements for Approximate Positions of the
// Major Planets", JPL, table 1): a = 0.38709927 au, e = 0.20563593.
constexpr double kA = 0.38709927 * 149597870700.0;
constexpr double kE = 0.20563593;
constexpr double kYear = 365.25 * 86400.0;
constexpr double kArcsecond = M_PI / (180.0 * 3600.0);

// Direction of the perihelion (the Laplace–Runge–Lenz vector) of Mercury about the Sun, radians.
double PerihelionAngle() {
    const BodyRTStruct &s = BodyRTList()->body[0], &m = BodyRTList()->body[1];
    const double mu = kG * (s.mass + m.mass);
    double r[3], v[3];
    for (int n = 0; n < 3; ++n) r[n] = m.pos[n] - s.pos[n], v[n] = m.vel[n] - s.vel[n];
    const double h = r[0] * v[1] - r[1] * v[0];  // the orbit lies in the xy plane
    const double rr = std::hypot(r[0], r[1]);
    const double ex = v[1] * h / mu - r[0] / rr, ey = -v[0] * h / mu - r[1] / rr;
    return std::atan2(ey, ex);
}

// Perihelion advance in arcseconds per century, Sun and Mercury from perihelion, Gauss–Radau.
double AdvancePerCentury(bool relativity, double years) {
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    SetDefaultSettings(set);
    set.gravConstant = kG, set.pushMethod = kPushGaussRadau, set.timeStep = 2.0 * 86400.0, set.pushesPerFrame = 100;
    set.physicsOptions = relativity ? kRelativityOn : 0;
    BodyInfoStruct sun, mercury;
    FillDefaultBodyInfo(sun);
    FillDefaultBodyInfo(mercury);
    sun.pos[0] = sun.vel[1] = 0.0;  // the Sun at rest at the origin
    sun.mass = kSunGM / kG, sun.radius = 6.96e8;
    const double q = kA * (1.0 - kE);
    mercury.mass = kMercuryMass, mercury.radius = 2.44e6, mercury.pos[0] = q;
    mercury.vel[1] = std::sqrt(kG * (sun.mass + mercury.mass) * (1.0 + kE) / q);
    AddABody(sun), AddABody(mercury);
    TransferICsToRT();
    const double start = PerihelionAngle();
    const int frames = int(std::lround(years * kYear / (set.timeStep * set.pushesPerFrame)));
    for (int f = 0; f < frames; ++f) DoPushStage();
    const double perCentury = std::remainder(PerihelionAngle() - start, 2 * M_PI) / kArcsecond / (rt.simTime / (100 * kYear));
    DeallocateAllPushMemory(), DisposeScratchSpace();
    return perCentury;
}

TEST(Relativity, TurnsMercurysPerihelionByThePublishedRate) {
    const double newtonian = AdvancePerCentury(false, 100.0);
    const double relativistic = AdvancePerCentury(true, 100.0);
    EXPECT_NEAR(newtonian, 0.0, 0.1);  // two bodies: Kepler's ellipse stays put
    // 42.98″ per century (Clemence 1947; Nobili & Will 1986).
    EXPECT_NEAR(relativistic - newtonian, 42.98, 0.5);
}

}  // namespace
