// Surface maps of textured spheres and the sphere picture list.
#pragma once
#include <cstdint>

#include "core/Records.h"

constexpr size_t kTexelMapBytes = 0x80000;      // 256 rows of 512 texels
constexpr size_t kTexelMapReferenceOffset = 262400;  // row 0, column 0

inline uint32_t TexelLuminance(uint32_t r, uint32_t g, uint32_t b) {
    const uint32_t l = (115 * r + 90 * g + 51 * b) >> 8;
    return l > 255 ? 255 : l;
}
// Texel as a native word 0xLLRRGGBB (luminance on top, where pixels leave a spare byte).
uint32_t MakeTexel(uint32_t l, uint32_t r, uint32_t g, uint32_t b);
uint32_t TexelChannel(uint32_t texel, int byteIndex);  // 0 = luminance .. 3 = blue

Handle NewSpherePixList();
int32_t AddPICTToSpherePixList(Handle list, Handle picture);
void DisposeSpherePixList(Handle list);
void DisposeSpherePixData(Handle list, int32_t n);
uint32_t* GetPointerToSpherePix(Handle list, int32_t n);  // reference texel of entry n (1-based)
Handle GetSphereListPICT(Handle list, int32_t n);

int32_t PrepareSpherePixMapWPict(uint32_t* referenceTexel, Handle picture);
void PrepareSpherePixMapWTest(uint32_t* referenceTexel);
uint32_t InterpolateRGBFrom24BitPixMap(const uint8_t* base, int32_t rowBytes, const Rect* bounds, double x, double y);
uint32_t ReadRGBFrom24BitPixMap(const uint8_t* base, int32_t rowBytes, int32_t column, int32_t row);
double SectorLongitude(int32_t sector, int32_t k);  // longitude of column offset k in a sector

void DrawSphere(Rect& clip, int32_t cx, int32_t cy, int32_t r, const int32_t* m, uint8_t* base, int32_t rowBytes,
                const uint32_t* texels, const uint16_t* sqrtTable, const uint16_t* invSqrtTable);
void DrawSphere3D(const uint32_t* texels, const uint16_t* sqrtTable, const uint16_t* invSqrtTable, Rect& redClip,
                  Rect& cyanClip, int32_t hRed, int32_t hCyan, int32_t cy, const int32_t* mRed, const int32_t* mCyan,
                  int32_t r, uint8_t* base, int32_t rowBytes);
void FillSphereTables(uint16_t* sqrtTable, uint16_t* invSqrtTable);
// Fills the rectangle of the pen's target with the colour (high bytes of each channel); null does nothing.
void PaintRGBDitherRect(const RGBColor* color, const Rect* rect);
