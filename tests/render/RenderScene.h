// A small scene for draw-stage tests: a camera at (1000, 0, 0) looking along -x (screen right
// = +y, up = +z), a render buffer and a body array, with texel maps and ring profiles it owns.
#pragma once
#include <vector>

#include "imagery/SpherePix.h"
#include "render/DrawStage.h"
#include "render/RenderBuffer.h"
#include "render/Trails.h"

struct RenderScene {
    RenderScene(int bodies, int width, int height, int32_t focalLength) {
        rt = RunTimeStruct{}, set = SettingsStruct{};
        rt.cameraIJK = IJK{{0, 65536, 0}, {0, 0, 65536}, {65536, 0, 0}};
        rt.eyePos[0] = rt.eyeDistance = 1000, rt.focalLength = focalLength;
        rt.redEyeColor = RGBColor{65535, 0, 0}, rt.cyanEyeColor = RGBColor{0, 65535, 65535};
        rt.arrowCos = 0.2165, rt.arrowSin = 0.125;  // barbs a quarter long at 30 degrees
        FillSphereTables(rt.sphereSqrtTable, rt.sphereInvSqrtTable);
        set.minPointSize = 2;
        SetupRenderGW(height, width);
        rt.bodyRT = NewHandleClear(sizeof(BodyRTListStruct) + sizeof(BodyRTStruct) * bodies);
        BodyRTList()->count = bodies;
        for (int b = 0; b < bodies; ++b) Body(b).radius = 1, Body(b).axes = IJK{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
    }
    ~RenderScene() {  // the draw stage keeps its scratch block between frames; the next scene starts afresh
        DisposeRTList(rt.trailList), DisposeScratchSpace(), DisposeMyRenderGW();
        DisposeHandle(rt.bodyRT), rt.bodyRT = 0;
    }
    BodyRTStruct& Body(int b) { return BodyRTList()->body[b]; }
    // A surface map (filled through its reference texel) and a ring profile.
    uint32_t* NewMap() { return maps.emplace_back(kTexelMapBytes / 4, 0u).data() + kTexelMapReferenceOffset / 4; }
    uint32_t* NewProfile() { return maps.emplace_back(1024, 0u).data(); }
    uint32_t Pixel(int x, int y) const { return renderGW[y * Width() + x]; }
    int Width() const { return renderGWRect.right; }
    void Draw() {
        EraseRenderBuffer();
        rt.velArrowExponent = rt.accArrowExponent = 0;
        DoDrawStage(renderCX, renderCY);
    }
    std::vector<std::vector<uint32_t>> maps;
};
