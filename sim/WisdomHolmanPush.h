// What the last Wisdom–Holman push found about its own soundness, for the statistics window.
#pragma once
#include <cstdint>

enum class WisdomHolmanFallback : int32_t {
    kNone,
    kForceLaw,     // not the inverse square: the Kepler drift would be wrong; Gauss–Radau pushes
    kRelativity,   // velocity-dependent force: Gauss–Radau pushes
    kNoAttractor,  // no body with mass to orbit: semi-implicit Euler pushes (straight lines)
};

struct WisdomHolmanHealthStruct {
    WisdomHolmanFallback fallback = WisdomHolmanFallback::kNone;
    int32_t closeEncounters = 0;  // bodies within kCloseHillRadii Hill radii of a massive body
    int32_t nearCentre = 0;       // bodies so near the central body that one step turns them too far
    int64_t unsoundPushes = 0;    // pushes with either count non-zero since the state was built
};

// Two bodies nearer than this many Hill radii of the heavier (about the central body) stir
// each other faster than the kick, frozen over a step, follows.
constexpr double kCloseHillRadii = 3.0;
// At heliocentric distance r a step dt with dt·sqrt(mu / r³) above this many radians of
// circular motion is too long for the kick and the drift to be split.
constexpr double kMaxTurnPerStep = 1.0;

const WisdomHolmanHealthStruct& WisdomHolmanHealth();
