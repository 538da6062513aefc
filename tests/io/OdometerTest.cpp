#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "io/Odometer.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

struct ClockBackend : PlatformBackend {
    uint32_t now = 1000000;
    std::string dataDir;
    uint32_t CalendarSeconds() override { return now; }
    std::string UserDataDirectory() override { return dataDir; }
};

}  // namespace

TEST(Odometer, TotalTimeTextLeavesOutZeroParts) {
    EXPECT_EQ(TotalTimeText(31104001), "Total Run Time: 360 days 1 second ");
    EXPECT_EQ(TotalTimeText(90061), "Total Run Time: 1 day 1 hour 1 minute 1 second ");
    EXPECT_EQ(TotalTimeText(3600), "Total Run Time: 1 hour ");
    EXPECT_EQ(TotalTimeText(2 * 86400), "Total Run Time: 2 days ");
    EXPECT_EQ(TotalTimeText(2 * 3600 + 2 * 60 + 2), "Total Run Time: 2 hours 2 minutes 2 seconds ");
    EXPECT_EQ(TotalTimeText(0xFFFFFFFFu), "Total Run Time: 49710 days 6 hours 28 minutes 15 seconds ");
}

TEST(Odometer, RunTimeAccumulatesOnceAcrossUpdates) {
    ClockBackend clock;
    ScratchDir scratch;
    const fs::path dir = scratch / "not-yet-made";  // the first update creates it
    clock.dataDir = dir.string();
    SetPlatformBackend(&clock);
    startTime = clock.now;
    EXPECT_EQ(ReadOdometer(), 0u);  // no file yet
    EXPECT_EQ(GetTotalTimeString(), "Total Run Time: 360 days 1 second ");
    clock.now += 100;
    EXPECT_EQ(GetTotalTime(), 31104001u + 100);
    UpdateRunTime();
    EXPECT_EQ(ReadOdometer(), 100u);
    clock.now += 5;
    UpdateRunTime();
    EXPECT_EQ(ReadOdometer(), 105u);
    UpdateRunTime();
    EXPECT_EQ(ReadOdometer(), 105u);
    std::ifstream in(dir / "odometer.txt");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "105\n");
    // Garbage reads as zero.
    std::ofstream(dir / "odometer.txt") << "abc";
    EXPECT_EQ(ReadOdometer(), 0u);
    SetPlatformBackend(nullptr);
}

// The temporary file is the process's own: a leftover of the old fixed name
// (here a folder, as another copy's half-written file would be in the way)
// neither blocks the update nor is touched by it, and nothing is left behind.
TEST(Odometer, UpdateUsesATemporaryFileOfItsOwn) {
    ClockBackend clock;
    ScratchDir scratch;
    clock.dataDir = scratch.path().string();
    SetPlatformBackend(&clock);
    fs::create_directories(scratch / "odometer.txt.tmp");
    { std::ofstream(scratch / "odometer.txt.tmp" / "other") << "another copy"; }
    EXPECT_EQ(WriteOdometer(42), 42u);
    EXPECT_EQ(ReadOdometer(), 42u);
    EXPECT_TRUE(fs::exists(scratch / "odometer.txt.tmp" / "other"));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(scratch.path())) ++entries;
    EXPECT_EQ(entries, 2u);  // odometer.txt and the folder in the way
    // An odometer that is a pipe reads as zero at once.
    fs::remove(scratch / "odometer.txt");
    ASSERT_EQ(::mkfifo((scratch / "odometer.txt").c_str(), 0600), 0);
    EXPECT_EQ(ReadOdometer(), 0u);
    SetPlatformBackend(nullptr);
}
