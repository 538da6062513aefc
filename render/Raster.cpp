#include "render/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
using Wide = __int128;  // products of two 33-bit extents and a third factor
}

ClippedLine ClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height) {
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t ax = std::llabs(dx), ay = std::llabs(dy);
    ClippedLine c{};
    c.xMajor = ax >= ay;
    c.majorStep = (c.xMajor ? dx : dy) < 0 ? -1 : 1;
    c.minorStep = (c.xMajor ? dy : dx) < 0 ? -1 : 1;
    c.major0 = c.xMajor ? x0 : y0;
    c.minor0 = c.xMajor ? y0 : x0;
    c.length = std::max(ax, ay);
    c.minorLength = std::min(ax, ay);
    c.first = 0;
    c.last = c.length;
    const int64_t majorSize = c.xMajor ? width : height, minorSize = c.xMajor ? height : width;
    if (majorSize <= 0 || minorSize <= 0) {
        c.first = 1;
        c.last = 0;
        return c;
    }
    // Steps whose major coordinate lies on the surface.
    if (c.majorStep > 0) {
        c.first = std::max(c.first, -c.major0);
        c.last = std::min(c.last, majorSize - 1 - c.major0);
    } else {
        c.first = std::max(c.first, c.major0 - (majorSize - 1));
        c.last = std::min(c.last, c.major0);
    }
    // Minor offsets o (0..minorLength) whose coordinate lies on the surface; o grows with k.
    int64_t lo = c.minorStep > 0 ? -c.minor0 : c.minor0 - (minorSize - 1);
    int64_t hi = c.minorStep > 0 ? minorSize - 1 - c.minor0 : c.minor0;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min(hi, c.minorLength);
    if (lo > hi) {
        c.first = 1;
        c.last = 0;
        return c;
    }
    const Wide L = c.length, m = c.minorLength;
    if (lo > 0) {  // first k with 2mk + L >= 2L lo (m > 0 here, as lo <= m)
        const Wide need = 2 * L * lo - L;
        c.first = std::max(c.first, int64_t((need + 2 * m - 1) / (2 * m)));
    }
    if (hi < c.minorLength) {  // last k with 2mk + L < 2L (hi + 1)
        const Wide room = 2 * L * (hi + 1) - L - 1;
        c.last = std::min(c.last, int64_t(room / (2 * m)));
    }
    return c;
}

LineWalker::LineWalker(const ClippedLine& c)
    : xMajor(c.xMajor), k(c.first), last(c.last), major(c.major0 + c.first * c.majorStep), minor(c.minor0),
      majorStep(c.majorStep), minorStep(c.minorStep), remainder(0), twiceMinor(2 * c.minorLength),
      twiceLength(2 * std::max<int64_t>(c.length, 1)) {
    if (c.first > c.last) return;
    const Wide num = Wide(twiceMinor) * c.first + c.length;
    minor = c.minor0 + minorStep * int64_t(num / twiceLength);
    remainder = int64_t(num % twiceLength);
}

void LineWalker::Next() {
    ++k;
    major += majorStep;
    remainder += twiceMinor;
    if (remainder >= twiceLength) {
        remainder -= twiceLength;
        minor += minorStep;
    }
}

bool OvalRowSpan(int32_t w, int32_t h, int32_t y, int32_t& left, int32_t& right) {
    if (w <= 0 || h <= 0 || y < 0 || y >= h) return false;
    // In doubled coordinates px = 2x - (w - 1), py = 2y - (h - 1) a pixel is inside when
    // px^2 h^2 + py^2 w^2 <= w^2 h^2.
    const int64_t py = 2 * int64_t(y) - (h - 1);
    const Wide w2 = Wide(w) * w, h2 = Wide(h) * h;
    const Wide room = w2 * (h2 - Wide(py) * py);
    if (room < 0) return false;
    int64_t p = int64_t(std::sqrt(static_cast<long double>(room) / static_cast<long double>(h2)));
    while (p > 0 && Wide(p) * p * h2 > room) --p;
    while (Wide(p + 1) * (p + 1) * h2 <= room) ++p;
    if ((p - (w - 1)) & 1) --p;  // px has the parity of w - 1
    if (p < 0) return false;
    right = int32_t((p + w - 1) / 2);
    left = w - 1 - right;
    return true;
}
