// libFuzzer target: any star data file yields no list or a list holding only
// stars inside the sky, never more than the file's whole records.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imagery/Stars.h"
#include "render/Pen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    const Handle list = StarListFromFileBytes(bytes);
    if (size < 32 && list) std::abort();
    if (!list) return 0;
    // Draw them through a camera looking along each axis into a small port.
    static uint32_t pixels[64 * 48];
    PixelSurface surface{pixels, 64 * 4, 64, 48};
    PenOnSurface pen(surface);
    const Rect clip{0, 0, 48, 64};
    const IJK views[3] = {{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}},
                          {{0, kFixedOne, 0}, {0, 0, kFixedOne}, {kFixedOne, 0, 0}},
                          {{0, 0, kFixedOne}, {kFixedOne, 0, 0}, {0, kFixedOne, 0}}};
    for (const IJK& view : views) DrawStars(clip, view, list, 40, 32, 24);
    StarListHandleLocking(list, 0);
    DisposeStarListHandle(list);
    return 0;
}
