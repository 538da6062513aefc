#include "render/LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/BodyDecor.h"
#include "render/Pen.h"
#include "render/PixelRatio.h"
#include "render/ThemeText.h"

namespace {

// Kept across frames: clear() keeps the room, so only a larger body list allocates.
std::vector<LabelRequest> queue;
std::vector<Rect> placed;

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Rect Moved(const Rect& r, int32_t dx, int32_t dy) {
    return Rect{int16_t(r.top + dy), int16_t(r.left + dx), int16_t(r.bottom + dy), int16_t(r.right + dx)};
}

int32_t LineWidth(const uint8_t* line) {
    const int32_t measured = StringWidthUsingThemeText(line, 3, 1);
    // Text is drawn renderPixelRatio times its size; a platform without metrics: an average glyph.
    return DevicePixels(measured > 0 ? measured : 7 * line[0]);
}

}  // namespace

bool ChooseLabelPlace(const Rect& box, const Rect& square, const Rect* boxes, int32_t count, int32_t& dx, int32_t& dy) {
    const int32_t width = box.right - box.left;
    const int32_t below = square.bottom - square.top;
    const int32_t left = -(square.right - square.left) - width - DevicePixels(2);
    const int32_t offsets[4][2] = {{0, 0}, {0, below}, {left, 0}, {left, below}};
    for (const auto& o : offsets) {
        const Rect candidate = Moved(box, o[0], o[1]);
        bool free = true;
        for (int32_t n = 0; n < count && free; ++n) free = !Overlap(candidate, boxes[n]);
        if (free) {
            dx = o[0];
            dy = o[1];
            return true;
        }
    }
    return false;
}

Rect DiscWidthInRows(const Rect& square, int32_t discX, int32_t discY, int32_t discR, int32_t top, int32_t bottom) {
    if (discR <= 0) return square;
    // The row of the band nearest the disc's centre is where the disc is widest.
    const int64_t dy = discY < top ? int64_t(top) - discY : discY >= bottom ? int64_t(discY) - (bottom - 1) : 0;
    const double wide = dy >= discR ? 0.0 : std::sqrt(double(discR) * discR - double(dy) * dy);
    const int32_t half = int32_t(std::ceil(wide));
    Rect r = square;
    r.right = int16_t(std::clamp<int64_t>(int64_t(discX) + half, square.left, square.right));
    r.left = int16_t(std::clamp<int64_t>(int64_t(discX) - half, square.left, r.right));
    return r;
}

void BeginLabelFrame(int32_t bodies) {
    queue.clear();
    placed.clear();
    const size_t room = size_t(std::max(bodies, 0));
    if (queue.capacity() < room) queue.reserve(room);
    if (placed.capacity() < room) placed.reserve(room);
}

void QueueBodyLabel(const LabelRequest& request) {
    if (queue.size() < queue.capacity()) queue.push_back(request);
}

void DrawQueuedLabels(const BodyRTListStruct& list) {
    const int16_t previousMode = CurrentPenMode();
    for (size_t q = queue.size(); q-- > 0;) {
        const LabelRequest& r = queue[q];
        if (r.body < 0 || r.body >= list.count) continue;
        Str255 lines[kMaxLabelLines];
        const int32_t count = ComposeBodyLabelLines(list.body[r.body], r.flags, lines);
        if (count == 0) continue;
        int32_t width = 0;
        for (int32_t n = 0; n < count; ++n) width = std::max(width, LineWidth(lines[n]));
        // The box the text takes, over both stereo copies; lines hang from the square's top,
        // beside the disc's edge in those rows.
        const int32_t gap = DevicePixels(2), height = LabelLinePixels() * count;
        Rect squares[2] = {r.square[0], r.square[1]};
        for (int32_t c = 0; c < r.copies; ++c)
            squares[c] = DiscWidthInRows(r.square[c], r.discX[c], r.discY, r.discR, r.square[c].top + gap,
                                         r.square[c].top + gap + height);
        Rect box{int16_t(squares[0].top + gap), squares[0].right, int16_t(squares[0].top + height + gap),
                 int16_t(squares[0].right + width)};
        Rect square = squares[0];
        for (int32_t c = 1; c < r.copies; ++c) {
            box.left = std::min(box.left, squares[c].right);
            box.right = std::max<int16_t>(box.right, int16_t(squares[c].right + width));
            square.left = std::min(square.left, squares[c].left);
            square.right = std::max(square.right, squares[c].right);
        }
        int32_t dx = 0, dy = 0;
        if (!ChooseLabelPlace(box, square, placed.data(), int32_t(placed.size()), dx, dy)) continue;
        if (placed.size() < placed.capacity()) placed.push_back(Moved(box, dx, dy));
        PenMode(r.additive ? kAddPinMode : kPatCopyMode);
        for (int32_t c = 0; c < r.copies; ++c) {
            RGBForeColor(r.color[c]);
            DrawLabelLines(lines, count, squares[c].right + dx, squares[c].top + dy);
        }
    }
    PenMode(previousMode);
}
