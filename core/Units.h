// Display units and the text forms of numbers used by dialogs, labels and windows.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

constexpr int16_t kDistanceUnitList = 2048;
constexpr int16_t kTimeUnitList = 2049;
constexpr int16_t kMassUnitList = 2050;
constexpr int16_t kInvTimeUnitList = 2051;
constexpr int16_t kForceUnitList = 2052;

void RotateDistanceUnit(MyReal* factor, uint8_t* label);
void RotateTimeUnit(MyReal* factor, uint8_t* label);
void RotateMassUnit(MyReal* factor, uint8_t* label);
void RotateInvTimeUnit(MyReal* factor, uint8_t* label);
void RotateForceUnit(MyReal* factor, uint8_t* label);

void MyRealFixed2String(const MyReal* value, uint8_t* out, int16_t digits);
std::string MyRealFixed2String(MyReal value, int digits);
MyReal String2MyReal(const std::string& text);
MyReal String2MyReal(const uint8_t* counted);
void MyRealToSciNotString(MyReal value, uint8_t* out);
std::string MyRealToSciNotString(MyReal value);

// A simulated duration as the statistics window shows it ("1 d 2 h 3 min 4 s"), appended
// to `out` (no allocation once `out` has room). Every message that names a run's time uses it.
void AppendElapsedTime(std::string& out, double seconds);
std::string ElapsedTimeText(double seconds);

// Dialog-free forms of the mantissa/exponent and spherical fields.
// Returns false (texts untouched) when the value is not finite.
bool MantExpToStrings(MyReal value, std::string& mantissa, std::string& exponent);
MyReal StringsToMantExp(const std::string& mantissa, const std::string& exponent);
bool SphericalToStrings(const MyReal v[3], std::string texts[4]);
int32_t StringsToSpherical(const std::string texts[4], MyReal out[3]);
