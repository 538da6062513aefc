// gravitas-sim --predict PUSHES: the craft's predicted path from the present state and its
// orbital elements, as JSON.
#pragma once
#include <cstdint>
#include <string>

constexpr int32_t kMaxPredictPathPoints = 2000;

// The JSON text; empty with `error` set when there is no craft or no state.
std::string PredictionJSON(int32_t pushes, std::string& error);
