#include "imagery/SpherePix.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "imagery/MapFromPicture.h"
#include "platform/Platform.h"
#include "render/RenderBuffer.h"

namespace {

struct SpherePixEntry {
    Handle picture;
    Handle map;
    uint32_t* reference;
};
struct SpherePixListStruct {
    int32_t count;
    SpherePixEntry entry[1];
};
constexpr size_t kListHeader = sizeof(SpherePixEntry);  // count word padded to the entry alignment

SpherePixListStruct* ListOf(Handle h) { return HandleAs<SpherePixListStruct>(h); }
size_t ListBytes(int32_t entries) { return kListHeader + sizeof(SpherePixEntry) * size_t(entries); }

const char* const kSpherePixStrings[4] = {"Building surface map", "Mapping the picture onto the sphere…",
                                          "No memory to add another surface map.",
                                          "The picture could not be turned into a surface map."};

}  // namespace

uint32_t MakeTexel(uint32_t l, uint32_t r, uint32_t g, uint32_t b) {
    return ((l & 255) << 24) | ((r & 255) << 16) | ((g & 255) << 8) | (b & 255);
}
uint32_t TexelChannel(uint32_t texel, int byteIndex) {
    return (texel >> (24 - 8 * byteIndex)) & 255;
}

void FillSphereTables(uint16_t* s, uint16_t* inv) {
    for (int i = 0; i < 256; ++i) s[i] = uint16_t(16.0 * std::sqrt(double(i)));
    inv[0] = 4096;
    for (int i = 1; i < 256; ++i) inv[i] = uint16_t(4096.0 / std::sqrt(double(i)));
}

Handle NewSpherePixList() { return NewHandleClear(ListBytes(1)); }

int32_t AddPICTToSpherePixList(Handle list, Handle picture) {
    if (!list || !picture || !ListOf(list)) return 0;
    HUnlock(list);
    const int32_t count = ListOf(list)->count;
    if (!SetHandleSize(list, ListBytes(count + 2))) {
        Platform().StopAlert(kSpherePixStrings[2]);
        return 0;
    }
    SpherePixListStruct* l = ListOf(list);
    int32_t n = 0;
    for (int32_t e = 1; e <= l->count; ++e)
        if (!l->entry[e - 1].picture && !l->entry[e - 1].map) { n = e; break; }
    if (!n) n = ++l->count;
    l->entry[n - 1] = SpherePixEntry{picture, kNoHandle, nullptr};
    const Handle map = NewHandleClear(kTexelMapBytes);
    if (!map) return n;
    MoveHHi(map);
    HLock(map);
    auto* ref = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(HandlePtr(map)) + kTexelMapReferenceOffset);
    if (!PrepareSpherePixMapWPict(ref, picture)) Platform().StopAlert(kSpherePixStrings[3]);
    l = ListOf(list);
    l->entry[n - 1].map = map;
    l->entry[n - 1].reference = ref;
    return n;
}

void DisposeSpherePixData(Handle list, int32_t n) {
    SpherePixListStruct* l = ListOf(list);
    if (!l || n < 1 || n > l->count) return;
    SpherePixEntry& e = l->entry[n - 1];
    if (e.picture) { HUnlock(e.picture); DisposeHandle(e.picture); }
    if (e.map) { HUnlock(e.map); DisposeHandle(e.map); }
    e = SpherePixEntry{};
    while (l->count >= 1 && !l->entry[l->count - 1].picture && !l->entry[l->count - 1].map) --l->count;
}

void DisposeSpherePixList(Handle list) {
    SpherePixListStruct* l = ListOf(list);
    if (!l) return;
    for (int32_t n = l->count; n >= 1; --n) DisposeSpherePixData(list, n);
    DisposeHandle(list);
}

uint32_t* GetPointerToSpherePix(Handle list, int32_t n) {
    SpherePixListStruct* l = ListOf(list);
    if (!l || n < 1 || n > l->count) return nullptr;
    return l->entry[n - 1].reference;
}

Handle GetSphereListPICT(Handle list, int32_t n) {
    SpherePixListStruct* l = ListOf(list);
    if (!l || n < 1 || n > l->count) return kNoHandle;
    return l->entry[n - 1].picture;
}

uint32_t ReadRGBFrom24BitPixMap(const uint8_t* base, int32_t rowBytes, int32_t column, int32_t row) {
    uint32_t v;
    std::memcpy(&v, base + row * rowBytes + column * 4, 4);
    return v & 0x00FFFFFFu;  // our pixels are native 0x00RRGGBB words
}

uint32_t InterpolateRGBFrom24BitPixMap(const uint8_t* base, int32_t rowBytes, const Rect* b, double x, double y) {
    if (!base || !rowBytes || !b) return 0;
    const int32_t x0 = int32_t(x), y0 = int32_t(y);
    const double fx = x - x0, fy = y - y0;
    auto pin = [&](int32_t c, int32_t r) {
        if (c < b->left) c = b->left;
        if (c > b->right - 1) c = b->right - 1;
        if (r < b->top) r = b->top;
        if (r > b->bottom - 1) r = b->bottom - 1;
        return ReadRGBFrom24BitPixMap(base, rowBytes, c, r);
    };
    const uint32_t p00 = pin(x0, y0), p10 = pin(x0 + 1, y0), p01 = pin(x0, y0 + 1), p11 = pin(x0 + 1, y0 + 1);
    uint32_t ch[3];
    for (int c = 0; c < 3; ++c) {
        const int sh = 16 - 8 * c;
        const double c00 = (p00 >> sh) & 255, c10 = (p10 >> sh) & 255, c01 = (p01 >> sh) & 255, c11 = (p11 >> sh) & 255;
        const uint32_t top = uint32_t(c00 * (1 - fx) + c10 * fx), bottom = uint32_t(c01 * (1 - fx) + c11 * fx);
        ch[c] = uint32_t(top * (1 - fy) + bottom * fy);
    }
    return (TexelLuminance(ch[0], ch[1], ch[2]) << 24) | (ch[0] << 16) | (ch[1] << 8) | ch[2];
}

double SectorLongitude(int32_t s, int32_t k) {
    const double u = k / 64.0, w = std::sqrt(1 - u * u);
    switch (s) {
        case 0: return std::atan2(w, u);
        case 1: return std::atan2(-w, u);
        case 2: return std::atan2(u, w);
        default: return std::atan2(u, -w);
    }
}

void PrepareSpherePixMapWTest(uint32_t* ref) {
    for (int32_t rho = -128; rho < 128; ++rho) {
        const bool band = rho & 16;
        const uint32_t l = band ? 0x7F : 0, r = band ? 0x7F : 0, g = band && rho < 101 ? 0x7F : 0;
        for (int32_t s = 0; s < 4; ++s) {
            for (int32_t k = -64; k < 64; ++k) {
                double th = SectorLongitude(s, k);
                if (th < 0) th += 2 * M_PI;
                double t = 4 * th / (2 * M_PI) - rho / 64.0;
                t -= std::trunc(t);
                const uint32_t blue = uint32_t((std::sin(2 * M_PI * t) + 1) * 128);
                ref[rho * 512 + s * 128 + k] = MakeTexel(l, r, g, blue > 255 ? 255 : blue);
            }
        }
    }
}

int32_t PrepareSpherePixMapWPict(uint32_t* ref, Handle picture) {
    if (!ref) return 0;
    if (!picture || !IsValidHandle(picture)) {
        PrepareSpherePixMapWTest(ref);
        return 0;
    }
    DecodedImage img;
    const auto* bytes = static_cast<const uint8_t*>(HandlePtr(picture));
    // The picture's bounds are a 16-bit rectangle: wider or taller pictures cannot be mapped.
    if (!Platform().DecodePicture(bytes, size_t(GetHandleSize(picture)), img) || img.width <= 0 || img.height <= 0 ||
        img.width > INT16_MAX || img.height > INT16_MAX) {
        PrepareSpherePixMapWTest(ref);
        return 0;
    }
    Platform().StatusWindowOpen(256, kSpherePixStrings[0]);
    const std::string caption = kSpherePixStrings[1];
    Platform().StatusWindowDraw(0, 0, &caption);
    const Rect bounds{0, 0, int16_t(img.height), int16_t(img.width)};
    uint8_t* base = nullptr;
    int32_t rowBytes = 0;
    OffscreenGW* gw = SetupNFillNewGW(picture, bounds, &base, &rowBytes);
    if (!gw) {
        PrepareSpherePixMapWTest(ref);
        Platform().StatusWindowDraw(0, 500, nullptr);
        Platform().StatusWindowClose();
        return 0;
    }
    uint32_t nextTick = TickCount();
    FillTexelMapFromPicture(ref, base, rowBytes, img.width, img.height, [&](int32_t n) {
        if (TickCount() > nextTick) {
            Platform().StatusWindowDraw(0, uint32_t(n * 500 / 256), nullptr);
            nextTick = TickCount() + 1;
        }
    });
    DisposeGW(gw);
    Platform().StatusWindowDraw(0, 500, nullptr);
    Platform().StatusWindowClose();
    return 1;
}
