// Frames after the first draw without touching the heap: the sort's room is kept between frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "AllocationCounter.h"
#include "RenderScene.h"
#include "sim/ThreadPool.h"

TEST(DrawStageAllocation, FramesWithTrailsArrowsSpheresAndRingsAllocateNothing) {
    RenderScene s(300, 300, 200, 400);
    set.labelFlags = 6;  // velocity and acceleration arrows
    uint32_t *map = s.NewMap(), *ring = s.NewProfile();
    PrepareSpherePixMapWTest(map);
    std::fill(ring, ring + 1024, 0x40404040u);
    set.trailLength = 40;
    ResizeTrailRTList(rt.trailList, 300, set.trailLength);
    for (int32_t step = 45; step >= 0; --step) {
        for (int32_t b = 0; b < 300; ++b) {
            BodyRTStruct& body = s.Body(b);
            const double r = 50 + b, a = 0.05 * step + b;
            body.pos[0] = r * std::sin(a) * 0.5, body.pos[1] = r * std::cos(a), body.pos[2] = r * std::sin(a) * 0.8;
            body.vel[1] = 3, body.acc[2] = 1, body.color = RGBColor{60000, 50000, 40000};
            body.radius = b == 0 ? 250 : b < 5 ? 20 : 0.5;  // body 0's disc and ring are shared out over the pool
            body.spherePix = b < 5 ? map : nullptr;
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
    s.Body(0).ringPix = ring, s.Body(0).ringRadius = 500;
    SetPoolThreadCount(2);
    s.Draw();  // the first frame may take its room
    const long before = HeapAllocationCount();
    for (int frame = 0; frame < 5; ++frame) s.Draw();
    EXPECT_EQ(HeapAllocationCount() - before, 0);
    SetPoolThreadCount(0);
    EXPECT_LT(std::count(renderGW, renderGW + 300 * 200, 0u), 300 * 200 - 1000) << "the frames did draw";
}
