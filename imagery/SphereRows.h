// The textured disc's pixel loop, vectorised for the machine it runs on.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Paints every pixel of clip (already shrunk to the sphere's square) that lies on the disc of
// radius r around (cx, cy) with the texel seen there through rotation m. tex points at the
// map's reference texel; T and U are the square-root and inverse-square-root tables.
void PaintSphereRows(const Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base,
                     int32_t rowBytes, const uint32_t* tex, const uint16_t* T, const uint16_t* U);

const char* SphereRowsTarget();  // the instruction set the painter runs with
