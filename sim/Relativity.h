// The first post-Newtonian correction for the gravity of the most massive body, in the
// single-source (Schwarzschild, harmonic gauge) form of Anderson et al. (1975) and
// Nobili & Roxburgh (1986): for a body at r, moving at v relative to the source of GM μ,
//   a = μ / (c² r³) · [ (4μ/r − v²) r + 4 (r·v) v ].
// It turns Mercury's perihelion by 42.98″ a century. Every integrator adds it wherever
// it evaluates gravity, with the velocities of that stage.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "sim/PairPass.h"

constexpr double kSpeedOfLight = 299792458.0;  // m/s, exact by definition of the metre

// Whether the settings ask for it; only the inverse-square law has this correction.
bool RelativityActive(const SettingsStruct& s);
// The live body of greatest mass (the lowest index among equals), or -1.
int32_t RelativitySource(const BodyRTListStruct* list);
// acc[i] += the correction for every live body but the source, at pos[i] and vel[i]
// (list->count entries each; the source's own entry gives its place and velocity).
void AddRelativisticAcceleration(const BodyRTListStruct* list, double gravConstant, const Vec3* pos, const Vec3* vel,
                                 Vec3* acc);
// The same with the source given (RelativitySource of the list), for callers that evaluate
// many stages of one list.
void AddRelativisticAcceleration(const BodyRTListStruct* list, int32_t source, double gravConstant, const Vec3* pos,
                                 const Vec3* vel, Vec3* acc);
// The same on the bodies' stored pos, vel and acc.
void AddRelativisticAccelerationInPlace(BodyRTListStruct* list, double gravConstant);
