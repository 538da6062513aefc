// Pictures whose decoded size does not fit the 16-bit picture bounds: a width
// of 65536 would wrap to an empty rectangle and the map would be read before
// its first pixel.
#include <gtest/gtest.h>

#include <vector>

#include "imagery/SpherePix.h"
#include "platform/Platform.h"

namespace {

struct WidePictures : PlatformBackend {
    int32_t width = 65536, height = 2;
    bool DecodePicture(const uint8_t*, size_t, DecodedImage& out) override {
        out.width = width;
        out.height = height;
        out.pixels.assign(size_t(width) * size_t(height), 0x00FF8040u);
        return true;
    }
};

}  // namespace

TEST(HostilePicture, PicturesWiderThanSixteenBitsGetTheTestMap) {
    WidePictures backend;
    SetPlatformBackend(&backend);
    std::vector<uint32_t> map(kTexelMapBytes / 4), testMap(kTexelMapBytes / 4);
    uint32_t* ref = map.data() + kTexelMapReferenceOffset / 4;
    uint32_t* testRef = testMap.data() + kTexelMapReferenceOffset / 4;
    PrepareSpherePixMapWTest(testRef);
    const Handle picture = NewHandle(16);  // the bytes do not matter: the backend decodes them
    for (int32_t w : {65536, 40000, 32768}) {
        backend.width = w;
        EXPECT_EQ(PrepareSpherePixMapWPict(ref, picture), 0) << w;
        EXPECT_EQ(map, testMap) << w;
    }
    // The widest picture that fits is mapped from its pixels.
    backend.width = 32767;
    EXPECT_NE(PrepareSpherePixMapWPict(ref, picture), 0);
    EXPECT_NE(map, testMap);
    DisposeHandle(picture);
    SetPlatformBackend(nullptr);
}
