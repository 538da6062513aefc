// The moment the initial conditions belong to, when the universe has one: solar-system
// universes are pinned to a date, hand-made ones are not.
#pragma once

struct EpochStruct {
    bool known = false;
    double tdbSeconds = 0.0;  // TDB seconds since J2000 (2000-01-01 12:00:00 TDB)
};

extern EpochStruct epoch;

constexpr double kJ2000JulianDate = 2451545.0;
constexpr double kSecondsPerDay = 86400.0;
