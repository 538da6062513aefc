// A push whose result is no longer finite (a time step far too long, a force law that
// overflows, an absurd value typed in) must not run on: the state before it is put back,
// the run pauses, and the user is told which body went wrong at which push.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

// Copies the bodies before a push; the copy's room is kept, so steady running allocates nothing.
void KeepFiniteState(const BodyRTListStruct* list);
// The first live body whose position, velocity or acceleration is not finite, or -1;
// `quantity` is then "position", "velocity" or "acceleration".
int32_t FirstNonFiniteBody(const BodyRTListStruct* list, const char*& quantity);
// Puts back the bodies as KeepFiniteState copied them.
void RestoreFiniteState(BodyRTListStruct* list);

// The last stop for a state that was no longer finite, for telling the user.
struct NonFiniteStopNote {
    bool pending = false;
    std::string body;      // the body's name
    std::string quantity;  // "position", "velocity" or "acceleration"
    int64_t push = 0;      // the push that failed, counted from 1
    double simTime = 0;    // the simulated time the run stays at
};
void NoteNonFiniteStop(const BodyRTStruct& body, const char* quantity, int64_t push, double simTime);
// Hands out the pending note once; false when there is none.
bool TakeNonFiniteStopNote(NonFiniteStopNote& note);
// The text the window and the headless tool show.
std::string NonFiniteStopText(const NonFiniteStopNote& note);
