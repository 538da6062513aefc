// Byte-order converters for the records stored in universe files. Each swaps
// field by field between native and big-endian order; names and padding stay.
#pragma once
#include <cstddef>

#include "core/Records.h"

// Offset 72 (the body list ID) is stored little-endian and is not swapped.
void EndianSettingsStruct_NtoB(SettingsStruct& s);
void EndianSettingsStruct_BtoN(SettingsStruct& s);
void EndianBodyInfoStruct_NtoB(BodyInfoStruct& b);
void EndianBodyInfoStruct_BtoN(BodyInfoStruct& b);
// Whole lists held in a block of `size` bytes; only entries that fit are touched.
// BtoN returns the number of entries converted.
void EndianBodyListStruct_NtoB(void* block, size_t size);
size_t EndianBodyListStruct_BtoN(void* block, size_t size);
void EndianTTListStruct_NtoB(void* block, size_t size);
size_t EndianTTListStruct_BtoN(void* block, size_t size);
