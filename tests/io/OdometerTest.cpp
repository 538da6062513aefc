#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <filesystem>
#include <fstream>

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
