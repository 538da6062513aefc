// Start-up, shut-down and the frame task.
#pragma once
#include <cstdint>
#include <string>

#include "core/EventLoop.h"
#include "core/Records.h"


extern int32_t lastFPS;
extern int32_t framesPassed;
extern uint32_t lastTC;
extern int32_t framesPerCall;
extern Point olPos;

void InitializeAll();
void DisposeAll();
void DoWork();
int32_t DoTask(int32_t n);

// lastFPS (tenths of frames per second) as shown: 123 -> "12.3 fps".
std::string FrameRateText(int32_t tenths);
// Frame rate in tenths of frames per second, defined for any count and interval.
int32_t FramesPerTenSeconds(int32_t frames, uint32_t ticks);
// One frame's decay of a pending wheel delta: -1 and 0 end, others halve (arithmetic shift).
int32_t DecayWheelDelta(int32_t delta);
