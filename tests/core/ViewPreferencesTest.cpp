// View preferences between runs: what the user chose comes back, and stored
// values that are damaged or out of range are ignored one by one.
#include <gtest/gtest.h>

#include <cstring>

#include "core/BetweenRuns.h"
#include "core/FramePacing.h"
#include "core/Menus.h"
#include "core/ViewPreferences.h"
#include "platform/Platform.h"
#include "render/StereoGlasses.h"
#include "sim/Bodies.h"

namespace {

struct ViewPreferencesTest : ::testing::Test {
    SettingsStore store;
    SettingsStruct savedSettings{};
    StereoGlasses savedGlasses{};
    FrameRateChoice savedFrameRate{};
    void SetUp() override {
        savedSettings = set;
        savedGlasses = stereoGlasses;
        savedFrameRate = frameRateChoice;
        SetSettingsStore(&store);
        SetupMenus();
    }
    void TearDown() override {
        DisposeMenus();
        DeallocateAllPushMemory();
        SetSettingsStore(nullptr);
        set = savedSettings;
        stereoGlasses = savedGlasses;
        frameRateChoice = savedFrameRate;
    }
    static ViewPreferencesStruct Unusual() {
        ViewPreferencesStruct p;
        p.labelFlags = 0xA5;
        p.minPointSize = 7;
        p.starField = false;
        p.trailLength = 321;
        p.stereo = true;
        p.eyeRadius = 22;
        p.glasses = StereoGlasses::RedRight;
        p.frameRate = FrameRateChoice::Unlimited;
        return p;
    }
};

bool Equal(const ViewPreferencesStruct& a, const ViewPreferencesStruct& b) {
    return a.labelFlags == b.labelFlags && a.minPointSize == b.minPointSize && a.starField == b.starField &&
           a.trailLength == b.trailLength && a.stereo == b.stereo && a.eyeRadius == b.eyeRadius &&
           a.glasses == b.glasses && a.frameRate == b.frameRate;
}

}  // namespace

TEST_F(ViewPreferencesTest, EveryPreferenceMakesTheRoundTrip) {
    SaveViewPreferences(Unusual(), store);
    ViewPreferencesStruct read;  // the defaults
    LoadViewPreferences(read, store);
    EXPECT_TRUE(Equal(read, Unusual()));
    // And into the settings in use and back.
    ApplyViewPreferences(read);
    EXPECT_EQ(set.labelFlags, 0xA5u);
    EXPECT_EQ(set.minPointSize, 7);
    EXPECT_FALSE(IsDrawingStarsOn());
    EXPECT_EQ(set.trailLength, 321);
    EXPECT_TRUE(IsRC3DOn());
    EXPECT_EQ(stereoGlasses, StereoGlasses::RedRight);
    EXPECT_EQ(frameRateChoice, FrameRateChoice::Unlimited);
    EXPECT_TRUE(Equal(PresentViewPreferences(), Unusual()));
    // The opposite switches too, so neither state is stuck.
    ViewPreferencesStruct other;
    other.starField = true;
    other.stereo = false;
    SaveViewPreferences(other, store);
    ViewPreferencesStruct again = Unusual();
    LoadViewPreferences(again, store);
    EXPECT_TRUE(again.starField);
    EXPECT_FALSE(again.stereo);
    EXPECT_EQ(again.glasses, StereoGlasses::RedLeft);
    EXPECT_EQ(again.frameRate, FrameRateChoice::Display);
}

TEST_F(ViewPreferencesTest, DamagedOrOutOfRangeValuesAreIgnoredOneByOne) {
    const ViewPreferencesStruct start = Unusual();
    const std::vector<std::pair<const char*, std::string>> hostile = {
        {"view/labels", "256"},           {"view/labels", "-1"},          {"view/labels", "12abc"},
        {"view/labels", ""},              {"view/labels", " 3"},          {"view/smallestBodySize", "0"},
        {"view/smallestBodySize", "1001"}, {"view/smallestBodySize", "1e2"}, {"view/starField", "yes"},
        {"view/starField", "ON"},         {"view/trailLength", "100001"}, {"view/trailLength", "-5"},
        {"view/trailLength", "99999999999999999999999"}, {"view/stereo", "1"}, {"view/eyeSeparationHalf", "501"},
        {"view/eyeSeparationHalf", "-1"}, {"view/stereoGlasses", "blue"},
        {"view/stereoGlasses", std::string("redLeft\0", 8)}, {"view/frameRate", "Display"},
        {"view/frameRate", "120"},
    };
    for (const auto& [key, value] : hostile) {
        store = SettingsStore{};
        store.WriteSetting(key, value);
        ViewPreferencesStruct read = start;
        LoadViewPreferences(read, store);
        EXPECT_TRUE(Equal(read, start)) << key << " = \"" << value << "\"";
    }
    // One bad value does not cost the good ones beside it.
    store = SettingsStore{};
    SaveViewPreferences(Unusual(), store);
    store.WriteSetting("view/trailLength", "lots");
    ViewPreferencesStruct read;
    LoadViewPreferences(read, store);
    EXPECT_EQ(read.trailLength, 0);
    EXPECT_EQ(read.labelFlags, 0xA5u);
    EXPECT_EQ(read.glasses, StereoGlasses::RedRight);
}

TEST_F(ViewPreferencesTest, MenuChoicesAreRememberedAsTheyAreMade) {
    set.labelFlags = 0;
    set.trailLength = 77;  // as a universe file left it: not the user's choice
    HandleMenuEv(MenuChoice(kLabelsMenu, 1));  // names on
    HandleMenuEv(MenuChoice(kStereoGlassesMenu, 2));
    HandleMenuEv(MenuChoice(kFrameRateMenu, 2));  // unlimited
    HandleMenuEv(MenuChoice(kViewMenu, 11));  // star field off
    ViewPreferencesStruct read;
    LoadViewPreferences(read, store);
    EXPECT_EQ(read.labelFlags, 1u);
    EXPECT_EQ(read.glasses, StereoGlasses::RedRight);
    EXPECT_EQ(read.frameRate, FrameRateChoice::Unlimited);
    EXPECT_FALSE(read.starField);
    EXPECT_EQ(read.trailLength, 0) << "only what a command changed is remembered";
    std::string trails;
    EXPECT_FALSE(store.ReadSetting("view/trailLength", trails));
    // Other commands leave the remembered preferences alone.
    store = SettingsStore{};
    HandleMenuEv(MenuChoice(kViewMenu, 6));  // keep camera level: a scenario setting
    std::string any;
    EXPECT_FALSE(store.ReadSetting("view/labels", any));
}

TEST_F(ViewPreferencesTest, HostileSettingsAtStartUpLeaveTheScenarioWhole) {
    BodyInfoStruct sun;
    FillDefaultBodyInfo(sun);
    ASSERT_EQ(AddABody(sun), 1);
    const BodyInfoStruct before = BodyList()->body[0];
    const SettingsStruct settingsBefore = set;
    for (const char* key : {"view/labels", "view/smallestBodySize", "view/starField", "view/trailLength",
                            "view/stereo", "view/eyeSeparationHalf", "view/stereoGlasses", "view/frameRate", "recent/file1",
                            "windows/main", "windows/objects", "windows/statistics", "folders/universe"})
        store.WriteSetting(key, std::string("\xff\xfe\0garbage\n-99999999999999999999", 32));
    RecallBetweenRuns();
    ASSERT_NE(BodyList(), nullptr);
    ASSERT_EQ(BodyList()->count, 1);
    EXPECT_EQ(std::memcmp(&BodyList()->body[0], &before, sizeof before), 0);
    EXPECT_EQ(std::memcmp(&set, &settingsBefore, sizeof set), 0) << "nothing taken from the damaged values";
}
