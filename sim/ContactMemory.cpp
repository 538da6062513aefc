#include "sim/ContactMemory.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Strings.h"
#include "core/Units.h"

namespace {
using Pair = std::pair<int32_t, int32_t>;
// Kept between pushes; cleared, not freed, so steady running allocates nothing.
thread_local std::vector<Pair> previousContacts, currentContacts;
thread_local int64_t lastCheckedPush = -2;
CollisionStopNote stopNote;

Pair Ordered(int32_t i, int32_t j) { return i < j ? Pair{i, j} : Pair{j, i}; }
}  // namespace

void BeginContactCheck(int64_t push) {
    if (push == lastCheckedPush + 1) std::swap(previousContacts, currentContacts);
    else previousContacts.clear();
    currentContacts.clear();
    lastCheckedPush = push;
}

bool IsNewContact(int32_t i, int32_t j) {
    const Pair p = Ordered(i, j);
    if (std::find(currentContacts.begin(), currentContacts.end(), p) == currentContacts.end())
        currentContacts.push_back(p);
    return std::find(previousContacts.begin(), previousContacts.end(), p) == previousContacts.end();
}

ContactMemorySnapshot ThreadContactMemory() { return {currentContacts, lastCheckedPush}; }

void SetThreadContactMemory(const ContactMemorySnapshot& memory) {
    currentContacts.assign(memory.contacts.begin(), memory.contacts.end());
    previousContacts.clear();
    lastCheckedPush = memory.lastCheckedPush;
}

void NoteCollisionStop(const BodyRTStruct& a, const BodyRTStruct& b, double simTime) {
    stopNote.pending = true;
    stopNote.first = PToCStr(a.name);
    stopNote.second = PToCStr(b.name);
    stopNote.simTime = simTime;
}

bool TakeCollisionStopNote(CollisionStopNote& note) {
    if (!stopNote.pending) return false;
    note = stopNote;
    stopNote.pending = false;
    return true;
}

std::string CollisionStopText(const CollisionStopNote& note) {
    return "Stopped: " + note.first + " and " + note.second + " collided at t = " + ElapsedTimeText(note.simTime) +
           ". Space runs on.";
}
