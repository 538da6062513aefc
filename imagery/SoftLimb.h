// Textured spheres with their rim smoothed: pixels the limb cuts through get the texel in
// proportion to how much of them the disc covers, the rest from what lay behind.
#pragma once
#include <cstdint>

#include "core/Records.h"

struct RimPixel {
    uint32_t* at;
    uint32_t before;
    uint32_t* inward;  // the painted neighbour toward the centre, for a pixel the painter leaves
    uint16_t cover;    // 0..256
};

// Notes, before a disc of radius r around (cx, cy) is painted within area, its rim pixels
// (those within a pixel of the circle) and what they hold; returns how many, at most room.
int32_t NoteRim(RimPixel* rim, int32_t room, const Rect& area, int32_t cx, int32_t cy, int32_t r, uint8_t* base,
                int32_t rowBytes);
// After the painting: blends the noted pixels' channels in mask by their cover.
void BlendRim(const RimPixel* rim, int32_t count, uint32_t mask);

// DrawSphere with a smoothed rim.
void DrawSphereSoftLimb(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base,
                        int32_t rowBytes, const uint32_t* tex, const uint16_t* T, const uint16_t* U);
// DrawSphere3D with each eye's rim smoothed in that eye's channels.
void DrawSphere3DSoftLimb(const uint32_t* tex, const uint16_t* T, const uint16_t* U, Rect& red, Rect& cyan,
                          int32_t hR, int32_t hC, int32_t cy, const int32_t* mR, const int32_t* mC, int32_t r,
                          uint8_t* base, int32_t rowBytes);
