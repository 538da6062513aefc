// Integer rasters of the pen, worked out only where they meet the target surface, so a
// shape's cost follows the pixels it draws rather than its size on the plane.
#pragma once
#include <cstdint>

// The pixels of a Bresenham line from (x0, y0) to (x1, y1), the same pixels as walking it
// from the first endpoint, restricted to the columns 0..width-1 and rows 0..height-1.
// Pixel k of the walk (k = 0 at the first endpoint) lies at
//   major = major0 + k * majorStep,
//   minor = minor0 + minorStep * floor((2 * minorLength * k + length) / (2 * length)),
// the major axis being x when |dx| >= |dy|.
struct ClippedLine {
    bool xMajor;
    int64_t major0, minor0;
    int32_t majorStep, minorStep;
    int64_t length, minorLength;  // |major| and |minor| extents of the whole line
    int64_t first, last;          // steps inside the surface; none when first > last
};
ClippedLine ClipLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height);

// Walks the steps of a clipped line, handing out the pixels in order.
struct LineWalker {
    explicit LineWalker(const ClippedLine& line);
    bool Done() const { return k > last; }
    int32_t X() const { return int32_t(xMajor ? major : minor); }
    int32_t Y() const { return int32_t(xMajor ? minor : major); }
    void Next();

    bool xMajor;
    int64_t k, last, major, minor;
    int32_t majorStep, minorStep;
    int64_t remainder, twiceMinor, twiceLength;
};

// Columns [left, right] of row y (0..h-1) inside the oval inscribed in a w x h box,
// relative to the box; false when the row holds no inside pixel.
bool OvalRowSpan(int32_t w, int32_t h, int32_t y, int32_t& left, int32_t& right);
