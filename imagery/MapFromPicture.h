// A texel map from an equirectangular picture, each texel the mean of the picture over the
// patch of surface it stands for.
#pragma once
#include <cstdint>
#include <functional>

// Fills the 256 x 512 texels around ref from the W x H picture at base. Rows of the map are
// uniform in height, so toward the poles one row covers many picture rows and its circle of
// latitude shrinks: each texel averages the picture rows of its band and the longitudes a
// patch as tall as that band spans there (the whole circle in the polar rows), never less
// than its own column. onRow(n) runs after map row n (0 = south) is done.
void FillTexelMapFromPicture(uint32_t* ref, const uint8_t* base, int32_t rowBytes, int32_t W, int32_t H,
                             const std::function<void(int32_t)>& onRow);
