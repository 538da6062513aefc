// The sky cells of the star list and which of them a view can see.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Cells of latitude section s (-8..7; 8 is the pole vertex) and the shift that maps a
// longitude in sixteenths of a turn to its cell.
void GetLatSectionInfo(int32_t section, int32_t* count, int32_t* shift);

// Sets, in marks (one 16-bit word per band b = section + 8, one bit per cell), every cell
// that may hold a star whose splat reaches the clip: the cells whose bounding cap meets the
// view's frustum. rotation rows are the screen's right, up and backward axes in the star
// frame; the frustum is widened by spread pixels on each side (splat size, stereo shift).
void MarkVisibleSkyCells(uint16_t marks[16], const IJK& rotation, double focalLength, const Rect& clip, int32_t h,
                         int32_t v, int32_t spread);
