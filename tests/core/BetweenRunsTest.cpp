// What the user chose comes back in the next run: window places only where the present screens show
// them, view preferences value by value; damaged or out-of-range stored values are ignored one by one.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/BetweenRuns.h"
#include "shell/FramePacing.h"
#include "core/Menus.h"
#include "shell/ViewPreferences.h"
#include "shell/WindowPlaces.h"
#include "platform/Platform.h"
#include "render/StereoGlasses.h"
#include "sim/Bodies.h"

static Rect Screen(int left, int top, int width, int height) {
    return Rect{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
}

TEST(WindowPlaces, OnlyFourSaneWholeNumbersAreAPlaceAndOnlyWhereAScreenShowsIt) {
    WindowPlaceStruct p;
    ASSERT_TRUE(ParseWindowPlace("10 -20 640 480", p));
    EXPECT_EQ(WindowPlaceText(p), "10 -20 640 480");
    for (const char* bad : {"", "10 20 640", "10 20 640 480 5", "10 20 640 480x", "a b c d", "10 20 0 480",
                            "10 20 640 -1", "10 20 1e3 480", "99999999999 0 10 10", "40000 0 10 10",
                            "0 0 40000 10", "10,20,640,480", "0x10 0 10 10"}) {
        EXPECT_FALSE(ParseWindowPlace(bad, p)) << bad;
        EXPECT_EQ(WindowPlaceText(p), "10 -20 640 480") << bad;
    }
    // A laptop and, at its right, a monitor higher up and larger; a monitor left of the main screen.
    const std::vector<Rect> one = {Screen(0, 0, 1280, 800)}, laptop = {Screen(0, 200, 1366, 768)},
                            two = {laptop[0], Screen(1366, 0, 1920, 1080)}, left = {one[0], Screen(-1920, 0, 1920, 1080)};
    const std::tuple<WindowPlaceStruct, const std::vector<Rect>*, bool> cases[] = {{{0, 0, 1280, 800}, &one, true},
        {{0, 0, 1281, 800}, &one, false}, {{0, 0, 800, 801}, &one, false}, {{100, -30, 640, 480}, &one, false},
        {{100, 790, 640, 480}, &one, false}, {{1200, 100, 640, 480}, &one, true},  // 80 pixels to take hold of
        {{1250, 100, 640, 480}, &one, false}, {{1500, 50, 1600, 1000}, &two, true}, {{1500, 50, 1600, 1000}, &laptop, false},
        {{100, 100, 640, 480}, &two, false}, {{-1800, 100, 800, 600}, &left, true}};
    for (const auto& [place, screens, shown] : cases)
        EXPECT_EQ(IsWindowPlaceOnScreens(place, *screens), shown) << WindowPlaceText(place);
    EXPECT_FALSE(IsWindowPlaceOnScreens({100, 100, 640, 480}, {}));
}

namespace {
struct ViewPreferences : ::testing::Test {
    SettingsStore store;
    SettingsStruct savedSettings = set;
    void SetUp() override {
        SetSettingsStore(&store);
        SetupMenus();
    }
    void TearDown() override {
        DisposeMenus();
        DeallocateAllPushMemory();
        SetSettingsStore(nullptr);
        set = savedSettings;
        stereoGlasses = StereoGlasses::RedLeft, frameRateChoice = FrameRateChoice::Display;
    }
    static std::string Text(const ViewPreferencesStruct& p) {
        std::string t;
        for (int64_t v : {int64_t(p.labelFlags), int64_t(p.minPointSize), int64_t(p.starField), int64_t(p.trailLength),
                          int64_t(p.stereo), int64_t(p.eyeRadius), int64_t(p.glasses), int64_t(p.frameRate)})
            t += std::to_string(v) + " ";
        return t;
    }
    static ViewPreferencesStruct Unusual() {
        return {0xA5, 7, false, 321, true, 22, StereoGlasses::RedRight, FrameRateChoice::Unlimited};
    }
};
}  // namespace

TEST_F(ViewPreferences, EveryPreferenceMakesTheRoundTripAndDamagedValuesAreIgnoredOneByOne) {
    SaveViewPreferences(Unusual(), store);
    ViewPreferencesStruct read;
    LoadViewPreferences(read, store);
    EXPECT_EQ(Text(read), Text(Unusual()));
    ApplyViewPreferences(read);  // into the settings in use and back
    EXPECT_EQ(Text(PresentViewPreferences()), Text(Unusual()));
    SaveViewPreferences(ViewPreferencesStruct{}, store);  // the opposite switches too: neither state is stuck
    LoadViewPreferences(read, store);
    EXPECT_EQ(Text(read), Text(ViewPreferencesStruct{}));
    const std::pair<const char*, std::string> hostile[] = {{"view/labels", "256"}, {"view/labels", "-1"},
        {"view/labels", "12abc"}, {"view/labels", " 3"}, {"view/smallestBodySize", "0"}, {"view/starField", "yes"},
        {"view/smallestBodySize", "1e2"}, {"view/trailLength", "100001"}, {"view/trailLength", "99999999999999999999999"},
        {"view/stereo", "1"}, {"view/eyeSeparationHalf", "501"}, {"view/stereoGlasses", std::string("redLeft\0", 8)},
        {"view/frameRate", "120"}};
    for (const auto& [key, value] : hostile) {
        SettingsStore one;
        one.WriteSetting(key, value);
        ViewPreferencesStruct kept = Unusual();
        LoadViewPreferences(kept, one);
        EXPECT_EQ(Text(kept), Text(Unusual())) << key << " = \"" << value << "\"";
    }
    SaveViewPreferences(Unusual(), store);
    store.WriteSetting("view/trailLength", "lots");  // one bad value does not cost the good ones beside it
    read = ViewPreferencesStruct{};
    LoadViewPreferences(read, store);
    EXPECT_EQ(Text(read), "165 7 0 0 1 22 1 1 ");
}

TEST_F(ViewPreferences, MenuChoicesAreRememberedAsTheyAreMadeAndDamagedSettingsChangeNothing) {
    set.labelFlags = 0, set.trailLength = 77;  // the trail length as a universe file left it: not the user's choice
    for (int32_t choice : {MenuChoice(kLabelsMenu, 1), MenuChoice(kStereoGlassesMenu, 2), MenuChoice(kFrameRateMenu, 2),
                           MenuChoice(kViewMenu, 11)})
        HandleMenuEv(choice);
    ViewPreferencesStruct read;
    LoadViewPreferences(read, store);
    EXPECT_EQ(Text(read), "1 2 0 0 0 15 1 1 ");
    std::string any;
    EXPECT_FALSE(store.ReadSetting("view/trailLength", any));
    const SettingsStruct before = set;
    for (const char* key : {"view/labels", "view/smallestBodySize", "view/starField", "view/trailLength", "view/stereo",
                            "view/eyeSeparationHalf", "view/stereoGlasses", "view/frameRate", "recent/file1",
                            "windows/main", "windows/objects", "windows/statistics", "folders/universe"})
        store.WriteSetting(key, std::string("\xff\xfe\0garbage\n-99999999999999999999", 32));
    RecallBetweenRuns();
    EXPECT_EQ(std::memcmp(&set, &before, sizeof set), 0) << "nothing taken from the damaged values";
}
