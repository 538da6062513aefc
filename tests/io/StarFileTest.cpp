// Star data files that are not files, too large, or full of values outside the sky.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <sys/stat.h>

#include "core/Limits.h"
#include "imagery/Stars.h"
#include "platform/Platform.h"
#include "render/Pen.h"

namespace fs = std::filesystem;

namespace {

struct BeepCounter : PlatformBackend {
    int beeps = 0;
    void SysBeep() override { ++beeps; }
};

void PutRecord(std::vector<uint8_t>& out, double ra, double dec) {
    uint8_t rec[32] = {};
    for (int f = 0; f < 2; ++f) {
        uint64_t bits;
        const double v = f ? dec : ra;
        std::memcpy(&bits, &v, 8);
        for (int k = 0; k < 8; ++k) rec[8 * f + k] = uint8_t(bits >> (56 - 8 * k));
    }
    rec[24] = rec[26] = rec[28] = 0xFF;
    out.insert(out.end(), rec, rec + 32);
}

}  // namespace

TEST(StarFile, OnlyRegularFilesBelowTheCapAreRead) {
    ScratchDir scratch;
    std::string why;
    EXPECT_EQ(GetStarListFromFS(scratch.path().string(), &why), kNoHandle);
    EXPECT_NE(why.find("folder"), std::string::npos) << why;
    EXPECT_EQ(GetStarListFromFS("/dev/zero", &why), kNoHandle);
    EXPECT_NE(why.find("device"), std::string::npos) << why;
    const fs::path fifo = scratch / "sky.stars";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GetStarListFromFS(fifo.string(), &why), kNoHandle);
    EXPECT_NE(why.find("pipe"), std::string::npos) << why;
    // One record past the cap (a sparse file: nothing is written).
    const fs::path big = scratch / "big.stars";
    { std::ofstream(big) << ""; }
    fs::resize_file(big, kMaxStarFileBytes + 32);
    EXPECT_EQ(GetStarListFromFS(big.string(), &why), kNoHandle);
    EXPECT_NE(why.find("larger"), std::string::npos) << why;
}

TEST(StarFile, RecordsOutsideTheSkyAreSkippedWithOneBeep) {
    BeepCounter counter;
    SetPlatformBackend(&counter);
    std::vector<uint8_t> bytes;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 1000; ++k) {
        PutRecord(bytes, nan, 10);
        PutRecord(bytes, 5, inf);
        PutRecord(bytes, -inf, -1e308);
        PutRecord(bytes, 0, 0);  // right ascension 0 h is not added either
    }
    PutRecord(bytes, 6, -89);  // the one good star
    Handle list = StarListFromFileBytes(bytes);
    ASSERT_NE(list, kNoHandle);
    EXPECT_EQ(counter.beeps, 1);
    // The good star is drawn, straight ahead of a camera looking along -z.
    static uint32_t pixels[100 * 100];
    std::memset(pixels, 0, sizeof pixels);
    PixelSurface surface{pixels, 400, 100, 100};
    PenOnSurface pen(surface);
    const IJK lookDownZ{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}};
    DrawStars(Rect{0, 0, 100, 100}, lookDownZ, list, 50, 50, 50);
    int lit = 0;
    for (uint32_t p : pixels) lit += p != 0;
    EXPECT_GT(lit, 0);
    EXPECT_LE(lit, 4);
    StarListHandleLocking(list, 0);
    DisposeStarListHandle(list);
    SetPlatformBackend(nullptr);
}
