// Reading files, picture files, finding files by type, the odometer, star data files and pictures too wide
// for their bounds (replacing files: tests/outputs, through every writer of gravitas-sim).
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <limits>
#include <sys/stat.h>

#include "imagery/SpherePix.h"
#include "imagery/Stars.h"
#include "io/FileAccess.h"
#include "io/FileTypes.h"
#include "io/Odometer.h"
#include "io/Pictures.h"
#include "platform/Platform.h"
#include "render/Pen.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Alerts, beeps, a clock, the program's folders and pictures decoded from any bytes to `width` x 2 pixels.
struct Backend : PlatformBackend {
    std::vector<std::string> stops;
    std::string appDir, dataDir;
    uint32_t now = 1000000;
    int beeps = 0, width = 0;
    void StopAlert(const std::string& t) override { stops.push_back(t); }
    void SysBeep() override { ++beeps; }
    uint32_t CalendarSeconds() override { return now; }
    std::string ApplicationDirectory() override { return appDir; }
    std::string UserDataDirectory() override { return dataDir; }
    bool DecodePicture(const uint8_t*, size_t, DecodedImage& out) override {
        out.width = width, out.height = 2;
        return out.pixels.assign(size_t(width) * 2, 0x00FF8040u), true;
    }
};

struct Files : ::testing::Test {
    Backend backend;
    ScratchDir scratch;
    std::string In(const char* leaf) { return (scratch / leaf).string(); }
    void SetUp() override {
        backend.appDir = In("app"), backend.dataDir = In("data");
        fs::create_directory(scratch / "app"), fs::create_directory(scratch / "data");
        SetPlatformBackend(&backend);
    }
    void TearDown() override { SetPlatformBackend(nullptr); }
};

}  // namespace

TEST_F(Files, OnlyRegularFilesUpToTheCapAreReadAndPipesNeverBlock) {
    ASSERT_EQ(::mkfifo(In("pipe").c_str(), 0600), 0);  // nobody writes to it: a blocking open would hang
    Write(scratch / "a", std::string(100, 'x'));
    Bytes bytes{1};
    std::string error;
    for (const auto& [path, why] : {std::pair{In("app"), "folder"}, {"/dev/zero", "device"}, {In("pipe"), "pipe"},
                                    {In("none"), "No such file"}, {In("a"), "larger than"}}) {
        EXPECT_FALSE(ReadRegularFile(path, 99, bytes, error)) << path;
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_TRUE(bytes.empty());
    }
    ASSERT_TRUE(ReadRegularFile(In("a"), 100, bytes, error)) << error;
    EXPECT_EQ(bytes, Bytes(100, 'x'));
}

TEST_F(Files, PictureFilesHaveA512ByteHeader) {
    Write(scratch / "a.pict", std::string(5000, '\xFF'));
    Handle pict = NewHandle(1000);
    std::memset(HandlePtr(pict), 0x42, 1000);
    ASSERT_TRUE(WritePICTFile(pict, In("a.pict")));  // the longer file is replaced whole
    EXPECT_EQ(Read(scratch / "a.pict"), std::string(512, '\0') + std::string(1000, '\x42'));
    Handle back = ReadPICTFile(In("a.pict"));
    ASSERT_EQ(GetHandleSize(back), 1000);
    EXPECT_EQ(std::memcmp(HandlePtr(back), HandlePtr(pict), 1000), 0);
    DisposeHandle(back), DisposeHandle(pict);
    Write(scratch / "short.pict", std::string(100, '\1'));
    EXPECT_EQ(ReadPICTFile(In("short.pict")), kNoHandle);  // no picture, no alert
    EXPECT_TRUE(backend.stops.empty());
    EXPECT_EQ(ReadPICTFile(In("none.pict")), kNoHandle);
    ASSERT_EQ(backend.stops.size(), 1u);
    EXPECT_NE(backend.stops[0].find("none.pict"), std::string::npos) << backend.stops[0];
}

// The application's folder before the data folder, the first name first, never a folder.
TEST_F(Files, SearchByTypeFindsTheFirstFileOfThatType) {
    std::string path;
    EXPECT_FALSE(SearchForFileWithType(kStarDataFileType, path));
    fs::create_directories(scratch / "app" / "folder.stars");
    Write(scratch / "data" / "b.stars", "");
    ASSERT_TRUE(SearchForFileWithType(kStarDataFileType, path));
    EXPECT_EQ(path, In("data/b.stars"));
    Write(scratch / "app" / "z.stars", ""), Write(scratch / "app" / "a.stars", "");
    ASSERT_TRUE(SearchForFileWithType(kStarDataFileType, path));
    EXPECT_EQ(path, In("app/a.stars"));
}

TEST_F(Files, OdometerCountsEachSecondOfRunningOnce) {
    EXPECT_EQ(TotalTimeText(90061), "Total Run Time: 1 day 1 hour 1 minute 1 second ");
    EXPECT_EQ(TotalTimeText(2 * 3600 + 2 * 60 + 2), "Total Run Time: 2 hours 2 minutes 2 seconds ");
    backend.dataDir = In("not-yet-made");  // the first update makes it
    startTime = backend.now;
    EXPECT_EQ(GetTotalTimeString(), "Total Run Time: 360 days 1 second ");
    backend.now += 100, UpdateRunTime();
    backend.now += 5, UpdateRunTime(), UpdateRunTime();
    EXPECT_EQ(Read(scratch / "not-yet-made" / "odometer.txt"), "105\n");
    EXPECT_EQ(GetTotalTime(), 31104001u + 105);
    Write(scratch / "not-yet-made" / "odometer.txt", "abc");
    EXPECT_EQ(ReadOdometer(), 0u);
}

// Star records of 32 bytes: right ascension and declination as big-endian doubles, then the colour.
TEST_F(Files, StarRecordsOutsideTheSkyAreSkippedWithOneBeep) {
    Bytes bytes;
    const auto put = [&](double ra, double dec, uint8_t red) {
        uint8_t rec[32] = {};
        for (int k = 0; k < 8; ++k)
            rec[k] = uint8_t(std::bit_cast<uint64_t>(ra) >> (56 - 8 * k)),
            rec[8 + k] = uint8_t(std::bit_cast<uint64_t>(dec) >> (56 - 8 * k));
        rec[24] = red, rec[26] = rec[28] = 0xFF;
        bytes.insert(bytes.end(), rec, rec + 32);
    };
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 100; ++k) put(nan, 10, 0xFF), put(5, inf, 0xFF), put(-inf, -1e308, 0xFF), put(0, 0, 0xFF);
    put(6, -89, 0x80);  // right ascension 0 h above is not added either; this one is straight ahead
    Handle list = StarListFromFileBytes(bytes);
    ASSERT_NE(list, kNoHandle);
    EXPECT_EQ(backend.beeps, 1);
    static uint32_t pixels[100 * 100];
    PixelSurface surface{pixels, 400, 100, 100};
    PenOnSurface pen(surface);
    DrawStars(Rect{0, 0, 100, 100}, IJK{{65536, 0, 0}, {0, 65536, 0}, {0, 0, 65536}}, list, 50, 50, 50);
    const auto lit = std::count_if(std::begin(pixels), std::end(pixels), [](uint32_t p) { return p != 0; });
    EXPECT_TRUE(lit > 0 && lit <= 4) << lit;
    StarListHandleLocking(list, 0);
    DisposeStarListHandle(list);
}

// A decoded width of 65536 would wrap to an empty rectangle and the map be read before its first pixel.
TEST_F(Files, PicturesWiderThanSixteenBitsGetTheTestMap) {
    std::vector<uint32_t> map(kTexelMapBytes / 4), testMap(kTexelMapBytes / 4);
    PrepareSpherePixMapWTest(testMap.data() + kTexelMapReferenceOffset / 4);
    const Handle picture = NewHandle(16);
    for (int32_t w : {65536, 40000, 32768, 32767}) {
        backend.width = w;
        EXPECT_EQ(PrepareSpherePixMapWPict(map.data() + kTexelMapReferenceOffset / 4, picture) != 0, w == 32767) << w;
        EXPECT_EQ(map == testMap, w != 32767) << w;
    }
    DisposeHandle(picture);
}
