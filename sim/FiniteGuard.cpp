#include "sim/FiniteGuard.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/Strings.h"
#include "core/Units.h"
#include "sim/PairPass.h"

namespace {
std::vector<BodyRTStruct> kept;
NonFiniteStopNote stopNote;

bool Finite3(const double v[3]) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }
}  // namespace

void KeepFiniteState(const BodyRTListStruct* list) {
    kept.resize(size_t(list->count));
    if (list->count > 0) std::memcpy(kept.data(), list->body, sizeof(BodyRTStruct) * size_t(list->count));
}

int32_t FirstNonFiniteBody(const BodyRTListStruct* list, const char*& quantity) {
    for (int32_t i = 0; i < list->count; ++i) {
        const BodyRTStruct& b = list->body[i];
        if (!IsLiveBody(b)) continue;
        quantity = !Finite3(b.pos) ? "position" : !Finite3(b.vel) ? "velocity" : !Finite3(b.acc) ? "acceleration" : nullptr;
        if (quantity) return i;
    }
    return -1;
}

void RestoreFiniteState(BodyRTListStruct* list) {
    if (kept.size() != size_t(list->count)) return;  // nothing kept for this list
    std::memcpy(list->body, kept.data(), sizeof(BodyRTStruct) * kept.size());
}

void NoteNonFiniteStop(const BodyRTStruct& body, const char* quantity, int64_t push, double simTime) {
    stopNote.pending = true;
    stopNote.body = PToCStr(body.name);
    stopNote.quantity = quantity;
    stopNote.push = push;
    stopNote.simTime = simTime;
}

bool TakeNonFiniteStopNote(NonFiniteStopNote& note) {
    if (!stopNote.pending) return false;
    note = stopNote;
    stopNote.pending = false;
    return true;
}

std::string NonFiniteStopText(const NonFiniteStopNote& note) {
    return "Stopped at push " + std::to_string(note.push) + ": the " + note.quantity + " of " + note.body +
           " is no longer a finite number. The run stays at t = " + ElapsedTimeText(note.simTime) +
           "; shorten the time step before running on.";
}
