// A star of two solar masses and n - 1 planets on circular orbits in a thick disc, added to
// the body list the way the editor adds bodies.
#pragma once
#include <cmath>
#include <cstdint>

#include "core/Records.h"
#include "sim/Bodies.h"

inline void AddStarWithPlanetDisc(int32_t n) {
    BodyInfoStruct star{};
    FillDefaultBodyInfo(star);
    star.mass = 2e30;
    star.radius = 7e8;
    AddABody(star);
    for (int32_t i = 1; i < n; ++i) {
        BodyInfoStruct p{};
        FillDefaultBodyInfo(p);
        const double r = 3e10 + 1.2e9 * i, a = 0.7 * i, incline = 0.05 * std::sin(1.3 * i);
        const double v = std::sqrt(6.674e-11 * 2e30 / r);
        p.pos[0] = r * std::cos(a);
        p.pos[1] = r * std::sin(a);
        p.pos[2] = r * incline;
        p.vel[0] = -v * std::sin(a);
        p.vel[1] = v * std::cos(a);
        p.mass = 1e24;
        p.radius = 6e6;
        p.color = RGBColor{uint16_t(20000 + 400 * (i % 100)), 40000, uint16_t(65535 - 300 * (i % 100))};
        AddABody(p);
    }
}
