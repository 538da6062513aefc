// A Python script that builds the same simulation in REBOUND: G, SI units, every
// body's mass, radius, position and velocity, the matching integrator, and the run's length.
#pragma once
#include <string>

#include "core/Records.h"

// REBOUND's name for the integrator that matches a pushMethod.
const char* ReboundIntegratorFor(int32_t pushMethod);
// `list` is the run-time state to start from (absolute, as the bodies move); `duration` in seconds.
std::string ReboundScript(const SettingsStruct& settings, const BodyRTListStruct* list, double duration,
                          const std::string& source);
