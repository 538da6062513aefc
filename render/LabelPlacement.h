// Body labels are gathered while the bodies are drawn and set down after them, nearest body
// first, each where it overlaps no label already set down this frame.
#pragma once
#include <cstdint>

#include "core/Records.h"

// One body's label: one copy, or two in stereo (red eye first), each hung on its body
// square's right edge and top.
struct LabelRequest {
    int32_t body;
    uint32_t flags;
    int32_t copies;
    Rect square[2];
    RGBColor color[2];
    bool additive;
    // A painted disc of radius discR around (discX[c], discY), or discR 0: the label then
    // moves in to touch the disc where a large globe leaves its square's corner far off.
    int32_t discX[2] = {0, 0}, discY = 0, discR = 0;
};

// The square narrowed, sideways, to the disc's width in the rows [top, bottom).
Rect DiscWidthInRows(const Rect& square, int32_t discX, int32_t discY, int32_t discR, int32_t top, int32_t bottom);

// Empties the queue; room for bodies requests is made once and kept across frames.
void BeginLabelFrame(int32_t bodies);
void QueueBodyLabel(const LabelRequest& request);
// Draws the queued labels of the body list, from the last queued (nearest) to the first.
void DrawQueuedLabels(const BodyRTListStruct& list);

// Where a label box may go: moved by (dx, dy) to the first of its places beside the body
// square (right of it from its top, right of it below, left of it from its top, left below)
// that overlaps none of the placed boxes. False when every place is taken.
bool ChooseLabelPlace(const Rect& box, const Rect& square, const Rect* placed, int32_t placedCount, int32_t& dx,
                      int32_t& dy);
