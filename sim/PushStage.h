// One frame of simulation: pushes, thrust, collisions, re-centring and event sounds.
#pragma once
#include <cstdint>

#include "core/Records.h"

constexpr int16_t kCrashSound = 129;
constexpr int16_t kThrustSound = 130;
constexpr int16_t kTimedThrustSound = 131;

void DoPushStage();
bool CheckForCrash(BodyRTListStruct* list, int32_t crashSetting);
void InitializeSoundStuff();
void DisposeSoundStuff();
void PlayEventSound(int16_t soundID, bool interrupt);
