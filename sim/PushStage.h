// One frame of simulation: pushes, thrust, collisions, re-centring and event sounds.
#pragma once
#include <cstdint>

#include "core/Records.h"

constexpr int16_t kCrashSound = 129;
constexpr int16_t kThrustSound = 130;
constexpr int16_t kTimedThrustSound = 131;

void DoPushStage();
bool CheckForCrash(BodyRTListStruct* list, int32_t crashSetting);

// The pieces of a push stage that a copy of the system (the flight prediction) runs too,
// so its arithmetic is the live run's.
// Changes the craft's speed by deltaV along its velocity; false (nothing done) when it has none.
bool ApplyTimedBurn(BodyRTStruct& craft, double deltaV, double dt);
void MergeBodies(BodyRTStruct& survivor, BodyRTStruct& absorbed, double dt);
// Called for every touching pair, before a merge; isNew (only with kCrashStop) when the
// pair did not touch at the previous check.
using CrashContactFn = void (*)(void* context, BodyRTStruct& a, BodyRTStruct& b, bool isNew);
// CheckForCrash on any state: the pair check and the merges, with the reaction to a stop
// left to onContact.
bool ScanForCrashes(BodyRTListStruct* list, int32_t crashSetting, int64_t pushCount, double dt, CrashContactFn onContact,
                    void* context);
void InitializeSoundStuff();
void DisposeSoundStuff();
void PlayEventSound(int16_t soundID, bool interrupt);
