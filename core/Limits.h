// Bounds on what a scenario or a file may ask for. Values beyond them cannot be
// simulated, drawn or held in memory in reasonable time, so every place they
// enter (files, scenarios, dialogs, the push stage) holds them to these limits.
#pragma once
#include <cstddef>
#include <cstdint>

// Pushes run by one frame: a million Euler pushes of a few bodies take tens of
// milliseconds; more would stall the window for seconds on every frame.
constexpr int32_t kMaxPushesPerFrame = 1000000;

// Longest time step either way, in seconds (about 32,000 years): a whole orbit of the
// outermost planet in a handful of pushes. Longer steps only overflow the arithmetic.
constexpr double kMaxTimeStepSeconds = 1.0e12;

// Trail snapshots kept per body (about half an hour of frames at 60 per second).
constexpr int32_t kMaxTrailLength = 100000;

// Bodies in one scenario. Every push costs the square of the massive count, so massive
// bodies stay at 10,000; a massless test particle costs one pair per massive body.
constexpr int32_t kMaxMassiveBodies = 10000;
constexpr int32_t kMaxBodies = 100000;

// Largest smallest-drawn-size and stereo half separation, in pixels.
constexpr int32_t kMaxMinPointSize = 1000;
constexpr int32_t kMaxEyeRadius = 1000000;

// File size caps, checked before anything is read into memory.
constexpr size_t kMaxUniverseFileBytes = size_t(64) << 20;   // resource data addressing ends at 16 MiB anyway
constexpr size_t kMaxPictureFileBytes = size_t(32) << 20;    // a 4096 x 2048 surface map as PNG is well below
constexpr size_t kMaxStarFileBytes = size_t(32) << 20;       // 1,048,576 stars of 32 bytes
constexpr size_t kMaxScenarioFileBytes = size_t(64) << 20;   // JSON: 100,000 bodies as exported take 52 MB
