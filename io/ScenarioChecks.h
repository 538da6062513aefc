// What a scenario read from a file may hold. Values that cannot be simulated or
// drawn (not-a-number, infinities, negative masses or sizes, absurd counts)
// are refused; each check names the field so the user can find it.
#pragma once
#include <string>

#include "core/Records.h"

// Empty when the values are usable, else e.g. "timeStep is not a finite number".
// An unknown push method, collision response or camera mode is not refused:
// they run as semi-implicit Euler, as ignoring collisions and as the fixed camera.
std::string SettingsValueProblem(const SettingsStruct& s);
// `index` is the body's position (0-based) among `count` bodies; the reason
// starts with "body N" and its name.
std::string BodyValueProblem(const BodyInfoStruct& b, int32_t index);
// Empty when `bodies` bodies of which `massive` have mass fit the limits of core/Limits.h.
std::string BodyCountProblem(int64_t bodies, int64_t massive);
std::string ThrustEntryProblem(const TimedThrustInfoStruct& e, int32_t index);

// A length byte past the room of the name record is held to 31 (the bytes beyond are not the name's).
void ClampNameLength(BodyInfoStruct& b);
