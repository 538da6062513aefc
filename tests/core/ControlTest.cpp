#include <gtest/gtest.h>

#include "core/Control.h"
#include "core/Records.h"

namespace {
TEST(Control, FlagsLiveInTheirWordAndBit) {
    rt = RunTimeStruct{};
    SetControl(33);
    EXPECT_EQ(rt.controlFlags[1], 2u);
    ToggleControl(0);
    EXPECT_EQ(rt.controlFlags[0], 1u);
    EXPECT_EQ(GetControl(0), 1);
    ToggleControl(0);
    EXPECT_EQ(GetControl(0), 0);
    ClearControl(33);
    EXPECT_EQ(rt.controlFlags[1], 0u);
}

TEST(Control, SuspendClearsSecondWordAndBlocksSet) {
    rt = RunTimeStruct{};
    SetControl(kShowFPSControl);
    SetControl(kOptionKeyControl);
    SetControl(kPausedControl);
    SetControl(kSuspendControls);
    EXPECT_EQ(rt.controlFlags[1], 0u);
    EXPECT_EQ(GetControl(kSuspendedControl), 1);
    EXPECT_EQ(GetControl(kPausedControl), 1);
    SetControl(kCommandKeyControl);
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    ToggleControl(kCommandKeyControl);
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
    ClearControl(kCommandKeyControl);
    EXPECT_EQ(GetControl(kCommandKeyControl), 0);
    uint32_t before[4] = {rt.controlFlags[0], rt.controlFlags[1], rt.controlFlags[2], rt.controlFlags[3]};
    SetControl(kSpecialControlBit | 5);
    for (int w = 0; w < 4; ++w) EXPECT_EQ(rt.controlFlags[w], before[w]);
    SetControl(kResumeControls);
    EXPECT_EQ(GetControl(kSuspendedControl), 0);
    SetControl(kCommandKeyControl);
    EXPECT_EQ(GetControl(kCommandKeyControl), 1);
}
}  // namespace
