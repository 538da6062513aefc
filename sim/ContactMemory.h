// Which pairs of bodies touch, remembered from one push to the next, so that a
// collision that stops the simulation stops it once: after Run the pair may
// stay in contact (or pass through) without stopping it again on every push.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/Records.h"

// Opens the check of push `push`; the pairs of the previous check are kept
// only when it was the check of push - 1 (a reset or a jump forgets them).
void BeginContactCheck(int64_t push);
// Records that bodies i and j touch now; true when they did not touch at the previous check.
bool IsNewContact(int32_t i, int32_t j);

// The calling thread's memory, for a copy of the run pushed on another thread: a pair that
// touches at the copy's start does not stop it, as it does not stop the run it came from.
struct ContactMemorySnapshot {
    std::vector<std::pair<int32_t, int32_t>> contacts;  // at the last check
    int64_t lastCheckedPush = -2;
};
ContactMemorySnapshot ThreadContactMemory();
void SetThreadContactMemory(const ContactMemorySnapshot& memory);

// The last collision that stopped the simulation, for telling the user.
struct CollisionStopNote {
    bool pending = false;
    std::string first, second;  // the bodies' names
    double simTime = 0;
};
void NoteCollisionStop(const BodyRTStruct& a, const BodyRTStruct& b, double simTime);
// Hands out the pending note once; false when there is none.
bool TakeCollisionStopNote(CollisionStopNote& note);
// What the main window says about it, the time as the statistics window shows it.
std::string CollisionStopText(const CollisionStopNote& note);
