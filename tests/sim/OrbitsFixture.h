// Reference problems for the integrators: runs whole systems through ElementalPush and
// measures them against known solutions and conserved quantities.
#pragma once
#include <cmath>
#include <vector>

#include "SimFixture.h"
#include "sim/Gravity.h"

struct InitialBody {
    double x, y, z, vx, vy, vz, mass;
};

class OrbitsTest : public SimTest {
public:
    // Builds the run-time array from the given bodies (G = 1, inverse square).
    static void Start(const std::vector<InitialBody>& bodies, int32_t method, double dt) {
        DeallocateAllPushMemory();
        set.gravConstant = 1.0;
        set.powerLaw = -2.0;
        set.pushMethod = method;
        set.timeStep = dt;
        for (const InitialBody& b : bodies) AddABody(Body(b.x, b.y, b.z, b.vx, b.vy, b.vz, b.mass, 1e-9));
        TransferICsToRT();
    }
    static void Run(int64_t pushes) {
        for (int64_t p = 0; p < pushes; ++p) {
            ElementalPush(BodyRTList());
            ++rt.pushCount;
        }
    }
    static int32_t Count() { return BodyRTList()->count; }

    static double Energy() {
        double kinetic = 0, potential = 0;
        for (int i = 0; i < Count(); ++i) {
            const BodyRTStruct& a = RT(i);
            kinetic += 0.5 * a.mass * (a.vel[0] * a.vel[0] + a.vel[1] * a.vel[1] + a.vel[2] * a.vel[2]);
            for (int j = 0; j < i; ++j) {
                const BodyRTStruct& b = RT(j);
                double d[3] = {a.pos[0] - b.pos[0], a.pos[1] - b.pos[1], a.pos[2] - b.pos[2]};
                potential -= set.gravConstant * a.mass * b.mass / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            }
        }
        return kinetic + potential;
    }
    static void Momentum(double p[3]) {
        p[0] = p[1] = p[2] = 0;
        for (int i = 0; i < Count(); ++i)
            for (int n = 0; n < 3; ++n) p[n] += RT(i).mass * RT(i).vel[n];
    }
    static void AngularMomentum(double l[3]) {
        l[0] = l[1] = l[2] = 0;
        for (int i = 0; i < Count(); ++i) {
            const BodyRTStruct& b = RT(i);
            l[0] += b.mass * (b.pos[1] * b.vel[2] - b.pos[2] * b.vel[1]);
            l[1] += b.mass * (b.pos[2] * b.vel[0] - b.pos[0] * b.vel[2]);
            l[2] += b.mass * (b.pos[0] * b.vel[1] - b.pos[1] * b.vel[0]);
        }
    }
};

inline double Distance(const double* a, const double* b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

inline const char* MethodName(int32_t method) {
    switch (method) {
        case kPushEuler: return "explicit Euler";
        case kPushAdamsBashforth: return "Adams-Bashforth";
        case kPushAdamsMoulton: return "Adams-Moulton";
        case kPushRungeKutta: return "Runge-Kutta";
        default: return "semi-implicit Euler";
    }
}
