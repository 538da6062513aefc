// Untextured bodies: the sphere's disc filled with the body's colour and shaded by how far
// the surface turns away from the eye.
#pragma once
#include <cstdint>

#include "core/Records.h"

// Share of the colour kept at the limb, out of 256; the centre of the disc gets all of it.
constexpr int32_t kDiscLimbShade = 80;

// Fills the disc of radius r at (cx, cy) inside clip (shrunk in place to the disc's square,
// as DrawSphere does), covering the same pixels as the textured sphere. The textured painter
// shows each texel unlit, as if the light came from the eye; the disc is lit the same way,
// its brightness following the surface's slope toward the viewer, with no terminator.
// colour is 0x00RRGGBB.
void DrawShadedDisc(Rect& clip, int32_t cx, int32_t cy, int32_t r, uint32_t colour, uint8_t* base, int32_t rowBytes,
                    const uint16_t* sqrtTable);

// Stereo: the red eye's disc writes the shaded luminance into red, the cyan eye's into green
// and blue, like DrawSphere3D.
void DrawShadedDisc3D(Rect& redClip, Rect& cyanClip, int32_t hRed, int32_t hCyan, int32_t cy, int32_t r,
                      uint32_t luminance, uint8_t* base, int32_t rowBytes, const uint16_t* sqrtTable);
