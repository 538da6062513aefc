// The version the build was made from (the project version in CMakeLists.txt).
#pragma once

#ifndef GRAVITAS_VERSION
#define GRAVITAS_VERSION "unknown"
#endif
inline constexpr const char* kGravitasVersion = GRAVITAS_VERSION;
