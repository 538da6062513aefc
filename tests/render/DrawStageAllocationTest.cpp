// Frames after the first draw without touching the heap: the sort's room is kept between frames.
#include <gtest/gtest.h>

#include <cmath>

#include "AllocationCounter.h"
#include "imagery/SpherePix.h"
#include "render/DrawStage.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"
#include "sim/ThreadPool.h"

namespace {

TEST(DrawStageAllocation, FramesWithTrailsArrowsAndSpheresAllocateNothing) {
    rt = RunTimeStruct{};
    set = SettingsStruct{};
    rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
    rt.eyePos[0] = 1000;
    rt.focalLength = 400;
    rt.arrowCos = 0.2165;
    rt.arrowSin = 0.125;
    set.minPointSize = 2;
    set.labelFlags = 6;  // velocity and acceleration arrows
    FillSphereTables(rt.sphereSqrtTable, rt.sphereInvSqrtTable);
    SetupRenderGW(200, 300);
    const int32_t n = 300;
    rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct) * n);
    BodyRTList()->count = n;
    std::vector<uint32_t> map(kTexelMapBytes / 4), ring(1024, 0x40404040u);
    PrepareSpherePixMapWTest(map.data() + kTexelMapReferenceOffset / 4);
    set.trailLength = 40;
    ResizeTrailRTList(rt.trailList, n, set.trailLength);
    for (int32_t step = 45; step >= 0; --step) {
        for (int32_t b = 0; b < n; ++b) {
            BodyRTStruct& body = BodyRTList()->body[b];
            const double r = 50 + b, a = 0.05 * step + b;
            body.pos[0] = r * std::sin(a) * 0.5;
            body.pos[1] = r * std::cos(a);
            body.pos[2] = r * std::sin(a) * 0.8;
            body.vel[1] = 3;
            body.acc[2] = 1;
            body.radius = b < 5 ? 20 : 0.5;
            if (b == 0) {  // large enough that its disc and ring are shared out over the pool
                body.radius = 250;
                body.ringPix = ring.data();
                body.ringRadius = 500;
            }
            body.color = RGBColor{60000, 50000, 40000};
            body.axes = IJK{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
            if (b < 5) body.spherePix = map.data() + kTexelMapReferenceOffset / 4;
        }
        PushRTListIntoTrail(rt.trailList, BodyRTList());
    }
    SetPoolThreadCount(2);
    DoDrawStage(renderCX, renderCY);  // the first frame may take its room
    const long before = HeapAllocationCount();
    for (int frame = 0; frame < 5; ++frame) {
        EraseRenderBuffer();
        DoDrawStage(renderCX, renderCY);
    }
    EXPECT_EQ(HeapAllocationCount() - before, 0);
    SetPoolThreadCount(0);
    int32_t lit = 0;
    for (int32_t t = 0; t < 300 * 200; ++t) lit += reinterpret_cast<uint32_t*>(bAddrGWPM)[t] != 0;
    EXPECT_GT(lit, 1000);  // the frames did draw
    DisposeRTList(rt.trailList);
    DisposeScratchSpace();
    DisposeHandle(rt.bodyRT);
    rt.bodyRT = 0;
    DisposeMyRenderGW();
}

}  // namespace
