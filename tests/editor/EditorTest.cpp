// The body and craft editor, the craft's thrust schedule, the Objects menu, undo and redo through the
// real commands, the universe as a document (title, Save, "save changes?") and File › Open Recent.
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <tuple>

#include "ScratchDir.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Epoch.h"
#include "core/Memory.h"
#include "core/Menus.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "io/Universe.h"
#include "sim/Belt.h"
#include "render/Trails.h"
#include "shell/Confirm.h"
#include "shell/Document.h"
#include "shell/History.h"
#include "shell/RecentFiles.h"
#include "shell/RecentFilesMenu.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "windows/BodyEditor.h"
#include "windows/BodyEditorCommands.h"
#include "windows/EditDuringRun.h"
#include "windows/ThrustEntries.h"

namespace {

// "TPIC", width, height (a byte each), then 0x00RRGGBB words: the pictures of these tests.
std::vector<uint8_t> TestPicture(uint32_t rgb, int w = 8, int h = 4) {
    std::vector<uint8_t> bytes = {'T', 'P', 'I', 'C', uint8_t(w), uint8_t(h)};
    for (int k = 0; k < 4 * w * h; ++k) bytes.push_back(uint8_t(rgb >> (8 * (k % 4))));
    return bytes;
}

struct EditorBackend : ScriptedDialogBackend {
    bool DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) override {
        if (size < 6 || std::memcmp(bytes, "TPIC", 4) != 0 || size < 6 + 4 * size_t(bytes[4]) * bytes[5]) return false;
        out.width = bytes[4];
        out.height = bytes[5];
        out.pixels.resize(size_t(out.width) * size_t(out.height));
        std::memcpy(out.pixels.data(), bytes + 6, 4 * out.pixels.size());
        return true;
    }
    std::vector<std::string> savePaths, suggested;  // the save dialog's answers in turn (none left: cancelled)
    size_t nextSave = 0;
    int32_t ChooseSaveFile(const std::string&, const std::string& name, uint32_t, std::string& path) override {
        suggested.push_back(name);
        if (nextSave >= savePaths.size()) return 0;
        path = savePaths[nextSave++];
        return 1;
    }
};

struct TitleRecorder : MainWindowServices {
    std::vector<std::pair<std::string, bool>> titles;
    void ShowDocumentTitle(const std::string& name, bool modified) override { titles.emplace_back(name, modified); }
};

using Entries = std::vector<std::pair<double, int32_t>>;  // a thrust schedule: speed change (m/s), push
using TitleIs = std::pair<std::string, bool>;
using Texts = std::vector<std::string>;
using Shows = std::map<int16_t, std::string>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Handle NewSchedule(const Entries& entries) {
    Handle list = NewTTHandle();
    for (const auto& [dv, push] : entries) {
        TimedThrustInfoStruct e{dv, push, 0};
        AddTTData(list, &e);
    }
    return list;
}
Entries Listed(Handle list) {
    Entries out;
    for (int32_t k = 0; k < GetTTCount(list); ++k) {
        TimedThrustInfoStruct e{};
        GetTTData(list, &e, k);
        out.emplace_back(e.deltaV, e.pushIndex);
    }
    return out;
}
std::string Name(const BodyInfoStruct& b) { return PToCStr(b.name); }
std::string Fixed(double v) { return MyRealFixed2String(v, 12); }
std::vector<uint8_t> BytesOf(Handle h) {
    const auto* p = static_cast<const uint8_t*>(HandlePtr(h));
    return std::vector<uint8_t>(p, p + GetHandleSize(h));
}
BodyInfoStruct Named(const char* name, bool craft = false) {
    BodyInfoStruct b;
    craft ? FillDefaultCraftInfo(b) : FillDefaultBodyInfo(b);
    if (name) CToPStr31(b.name, name);
    return b;
}
BodyInfoStruct Craft(const char* name = nullptr) { return Named(name, true); }
int32_t Count() { return BodyList() ? BodyList()->count : 0; }
BodyInfoStruct& Body(int32_t i) { return BodyList()->body[i]; }
Texts Names() {
    Texts out;
    for (int32_t i = 0; i < Count(); ++i) out.push_back(Name(Body(i)));
    return out;
}

// A scripted platform, a window that records its titles, settings in memory, fresh menus,
// lists and history, and a leak check on every test.
struct EditorTest : ::testing::Test {
    EditorBackend backend;
    TitleRecorder window;
    ScratchDir scratch;
    SettingsStore settings;
    SettingsStruct savedSettings = set;
    int32_t handlesBefore = LiveHandleCount();

    void SetUp() override {
        SetPlatformBackend(&backend);
        SetMainWindowServices(&window);
        SetSettingsStore(&settings);
        rt.spherePixList = NewSpherePixList();
        rt.selectedBody = -1;
        set.timedThrust = kNoHandle;
        set.craftThrust = set.displayFlags = set.trailLength = 0;
        set.gravConstant = 6.672e-11;
        set.powerLaw = -2.0;
        set.timeStep = 10.0;
        set.pushesPerFrame = 16;
        set.viewAngle = 70.0;  // files with a view angle of 0 are refused
        SetupMenus();
        ClearUndoHistory();
        ResetDocumentForTesting();
    }
    void TearDown() override {
        ClearUndoHistory();
        SetUndoBoundsForTesting(0, 0);
        DisposeMenus();
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        DisposeSpherePixList(rt.spherePixList);
        rt.spherePixList = kNoHandle;
        DisposeScratchSpace();
        EXPECT_EQ(LiveHandleCount(), handlesBefore) << "blocks left behind";
        SetMainWindowServices(nullptr);
        SetSettingsStore(nullptr);
        SetPlatformBackend(nullptr);
        recentFiles = {};
        set = savedSettings;
    }

    void Choose(int16_t menu, int16_t item) { HandleMenuEv(MenuChoice(menu, item)); }
    int32_t Run(BodyInfoStruct& b, int32_t index, std::vector<DialogStep> steps) {
        backend.Expect(std::move(steps));
        return EditBodyDialog(&b, index);
    }
    DialogRecord& Shown() { return backend.dialogs.back(); }
    // What item showed, and whether it was enabled, before the given step's typing.
    std::string Text(size_t step, int16_t item) { return Shown().textsAtHit.at(step).at(item); }
    bool Enabled(size_t step, int16_t item) { return Shown().enabledAtHit.at(step).at(item); }
    static void AddBodies(std::initializer_list<const char*> names) {
        for (const char* n : names) ASSERT_EQ(AddABody(Named(n)), 1);
    }
    void Schedule(const Entries& entries) {
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = NewSchedule(entries);
    }
    void ChangePushesPerFrame(int n) {
        backend.Expect({{{{kSheetFirstFieldItem, std::to_string(n)}}, kSheetOkayItem}});
        Choose(kSimulationMenu, 4);
    }
    void Answer(int16_t item) { backend.Expect({{{}, item}}); }  // the next question's button
    void RunFrames(int n) {  // so there is a motion to lose
        if (!rt.bodyRT) TransferICsToRT();
        for (int k = 0; k < n; ++k) DoPushStage();
    }
    TitleIs Title() {
        RefreshDocumentTitle();
        return window.titles.empty() ? TitleIs{} : window.titles.back();
    }
    std::string File(const char* leaf) { return (scratch / leaf).string(); }
    // A picture file of one colour, after the 512-byte header of picture files.
    std::string WritePicture(const char* leaf, uint32_t rgb, int w = 8, int h = 4) {
        const std::vector<uint8_t> b = TestPicture(rgb, w, h);
        std::ofstream(File(leaf), std::ios::binary) << std::string(512, '\0') << std::string(b.begin(), b.end());
        return File(leaf);
    }
    // A saved universe with one body of the given name; the scenario is empty again afterwards.
    std::string Saved(const char* leaf, const char* body) {
        EXPECT_EQ(AddABody(Named(body)), 1);
        EXPECT_TRUE(SaveAllSettingsTo(File(leaf), true));
        DeallocateAllPushMemory();
        return File(leaf);
    }
    Texts RecentMenu() {
        Texts texts;
        for (const MenuItemModel& item : GetMenu(kRecentFilesMenu)->items) texts.push_back(item.text);
        return texts;
    }
};
struct HistoryTest : EditorTest {};

}  // namespace

TEST_F(EditorTest, TheBodyDialogShowsTheRecordInDisplayUnits) {
    AddBodies({"Sun", "Earth"});
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);  // 1 km out along x, 1 km/s along y, 1000 kg, radius 1 km
    b.spinRate = 2 * M_PI / 86400.0;
    b.axisTilt = M_PI / 2;
    b.ringRatio = 2.25;
    EXPECT_EQ(Run(b, 2, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(Name(b), "Body 3") << "the empty name became the default in the caller's record too";
    for (const auto& [item, text] :
         Shows{{kEditNameItem, "Body 3"}, {kEditNumberItem, "3. body in the list"}, {kEditPosItem, Fixed(0)},
               {kEditPosItem + 2, "1.000000000000"}, {kEditPosItem + 3, "0"}, {kEditVelItem + 1, Fixed(90)},
               {kEditVelItem + 3, "3"}, {kEditMassItem + 1, "3"}, {kEditRadiusItem, Fixed(1)}, {kEditPosUnitItem, "km"},
               {kEditVelDistUnitItem, "m"}, {kEditVelTimeUnitItem, "/s"}, {kEditRadiusUnitItem, "km"},
               {kBodyPeriodItem, Fixed(86400)}, {kBodyTiltItem, Fixed(90)}, {kBodyRingRatioItem, Fixed(2.25)}})
        EXPECT_EQ(Text(0, item), text) << "item " << item;
    EXPECT_EQ(Shown().selected, kEditPosItem);
    b.spinRate = 0.0;  // no spin shows a period of 0; a ratio of 1 or less (no ring) shows as 2
    b.ringRatio = 1.0;
    EXPECT_EQ(Run(b, 2, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(std::tuple(Text(0, kBodyPeriodItem), Text(0, kBodyRingRatioItem)), std::tuple(Fixed(0), Fixed(2.0)));
}

// Fields typed after turning the unit buttons given, and what OK stores in SI units.
struct Field {
    const char* what;
    std::vector<int16_t> unitHits;
    Shows typed;
    double (*stored)(const BodyInfoStruct&);
    double expected;
};
class BodyFields : public EditorTest, public ::testing::WithParamInterface<Field> {};

TEST_P(BodyFields, AreStoredInSIUnits) {
    const Field& c = GetParam();
    BodyInfoStruct b = Named("Moon");
    std::vector<DialogStep> steps;
    for (int16_t hit : c.unitHits) steps.push_back({{}, hit});
    steps.push_back({c.typed, kEditOkItem});
    ASSERT_EQ(Run(b, 0, steps), 1);
    EXPECT_NEAR(c.stored(b), c.expected, 1e-9 * std::max(1.0, std::abs(c.expected)));
}

using B = const BodyInfoStruct&;
constexpr int16_t kPos = kEditPosItem, kVel = kEditVelItem;  // then elevation, distance or speed, azimuth
constexpr int16_t kMass = kEditMassItem, kPeriod = kBodyPeriodItem, kRadius = kEditRadiusItem;
INSTANTIATE_TEST_SUITE_P(
    BodyEditor, BodyFields,
    ::testing::Values(
        Field{"Up", {}, {{kPos, "90"}, {kPos + 2, "2"}, {kPos + 3, "3"}}, [](B b) { return b.pos[2]; }, 2e6},
        Field{"Miles", {kEditPosUnitItem}, {{kPos + 2, "1"}, {kPos + 3, "0"}}, [](B b) { return b.pos[0]; }, 1609.344},
        Field{"Down", {}, {{kVel, "-90"}, {kVel + 2, "5"}, {kVel + 3, "0"}}, [](B b) { return b.vel[2]; }, -5.0},
        Field{"PerMin", {kEditVelTimeUnitItem}, {{kVel + 2, "60"}, {kVel + 3, "0"}}, [](B b) { return b.vel[1]; }, 1},
        Field{"VelocityKept", {kEditVelTimeUnitItem, kEditVelDistUnitItem}, {}, [](B b) { return b.vel[1]; }, 1000},
        Field{"Grams", {kEditMassUnitItem}, {{kMass, "5"}, {kMass + 1, "0"}}, [](B b) { return b.mass; }, 5e-3},
        Field{"RadiusInMiles", {kEditRadiusUnitItem}, {{kRadius, "1"}}, [](B b) { return b.radius; }, 1609.344},
        Field{"Tilt", {}, {{kBodyTiltItem, "90"}}, [](B b) { return b.axisTilt; }, M_PI / 2},
        Field{"Azimuth", {}, {{kBodyAzimuthItem, "180"}}, [](B b) { return b.axisAzimuth; }, M_PI},
        Field{"PeriodInMinutes", {kBodyPeriodUnitItem}, {{kPeriod, "1"}}, [](B b) { return b.spinRate; }, M_PI / 30},
        Field{"NoPeriodNoSpin", {}, {{kPeriod, "0"}}, [](B b) { return b.spinRate; }, 0.0},
        Field{"RingRatio", {}, {{kBodyRingRatioItem, "2.5"}}, [](B b) { return b.ringRatio; }, 2.5}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(EditorTest, OkWaitsForANameAndANumberInEveryFieldAndWritesAWholeNewRecord) {
    for (const auto& [item, text] : Shows{{kEditNameItem, ""}, {kEditPosItem + 1, "east"}, {kEditVelItem + 2, "fast"},
                                          {kEditMassItem + 1, "x"}, {kEditRadiusItem, "big"}, {kBodyPeriodItem, "?"},
                                          {kBodyTiltItem, ""}, {kBodyAzimuthItem, "n"}, {kBodyRingRatioItem, "-"}}) {
        BodyInfoStruct b = Named("Io");
        const BodyInfoStruct before = b;
        EXPECT_EQ(Run(b, 0, {{{{item, text}}, kEditOkItem}}), 0) << item;  // refused; the script ends: Cancel
        EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
    }
    BodyInfoStruct b = Named("Vesta");  // a unit turned under a field without a number leaves its text
    ASSERT_EQ(Run(b, 0, {{{{kRadius, "big"}}, kEditRadiusUnitItem}, {{{kRadius, "1"}}, kEditOkItem}}), 1);
    EXPECT_EQ(Text(1, kEditRadiusItem), "big");
    EXPECT_FALSE(Enabled(1, kEditOkItem));
    const BodyInfoStruct before = b;  // Delete and Cancel leave the record as it was
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditDeleteItem}}), -1);
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditCancelItem}}), 0);
    EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
    b.spinPhase = 1.0;  // OK writes a whole new record: only the craft bit of the flags stays
    b.reserved120[2] = 7;
    b.bodyFlags = 0x10;
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(40, 'N')}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(31, 'N'));
    EXPECT_EQ(std::tuple(b.bodyFlags, b.spinPhase, b.reserved120[2]), std::tuple(0u, 0.0, 0u));
    // A cut never splits a character: 30 letters and a two-byte one keep only the letters.
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(30, 'a') + "\u00e9b"}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(30, 'a'));
}

TEST_F(EditorTest, AParentIsAnEarlierBodyChosenFromThePopUp) {
    AddBodies({"Sun", "Earth"});
    // Parent, body, parent after opening: anything but an earlier body is reset, in the caller's record too.
    for (const auto& c : {std::array{5, 1, 0}, {2, 1, 0}, {-1, 1, 0}, {1, 1, 1}, {2, 2, 2}, {1, 0, 0}}) {
        BodyInfoStruct b = Named("Moon");
        b.parent = c[0];
        EXPECT_EQ(Run(b, c[1], {{{}, kEditParentItem}, {{}, kEditCancelItem}}), 0);
        EXPECT_EQ(b.parent, c[2]) << c[0] << " for body " << c[1];
    }
    EXPECT_EQ(Shown().popUpEntries.at(0), Texts{"None"}) << "the first body can have none";
    BodyInfoStruct moon = Named("Moon");  // Earth; then the separator and a cancelled pop-up change nothing
    backend.Expect({{{}, kEditParentItem}, {{}, kEditParentItem}, {{}, kEditParentItem}, {{}, kEditOkItem}})
        .popUpChoices = {4, 2, 0};
    ASSERT_EQ(EditBodyDialog(&moon, 2), 1);
    EXPECT_EQ(Shown().popUpEntries.at(0), (Texts{"None", "-", "Sun", "Earth"}));
    EXPECT_EQ(Shown().popUpChecked, (std::vector<int16_t>{1, 4, 4}));
    EXPECT_EQ(moon.parent, 2);
    backend.Expect({{{}, kEditParentItem}, {{}, kEditOkItem}}).popUpChoices = {1};
    ASSERT_EQ(EditBodyDialog(&moon, 2), 1);
    EXPECT_EQ(moon.parent, 0) << "None clears it";
}

TEST_F(EditorTest, PicturesAndRingsAreChosenKeptAndDroppedOnlyOnOk) {
    BodyInfoStruct b = Named("Saturn");
    backend.colorChoices = {std::nullopt, RGBColor{0x1200, 0x3400, 0x5600}};
    backend.chosenFiles = {WritePicture("blue.pict", 0x0000FF), WritePicture("ring.pict", 0x808040, 64, 1),
                           WritePicture("red.pict", 0xFF0000), File("missing.pict"), File("missing.pict")};
    const int32_t before = LiveHandleCount();
    ASSERT_EQ(Run(b, 0, {{{}, kBodyColorItem}, {{}, kBodyColorItem}, {{}, kBodyPictureCheckItem},
                         {{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(b.color.red, b.color.blue), std::tuple(uint16_t(0x1200), uint16_t(0x5600)));
    EXPECT_EQ(Shown().Pixel(kBodyColorItem, 10, 8), 0x123456u) << "the swatch shows the chosen colour";
    EXPECT_EQ(std::tuple(Shown().Pixel(kBodyPictureItem, 50, 50), Shown().Pixel(kBodyRingItem, 100, 15)),
              std::tuple(0x0000FFu, 0x808040u));  // scaled into their frames
    ASSERT_NE(b.ringPix, kNoHandle);
    EXPECT_EQ(GetHandleSize(b.ringPix), 4096);
    const int32_t id = b.spherePixID;
    const Handle picture = GetSphereListPICT(rt.spherePixList, id), ring = b.ringPix;
    ASSERT_NE(picture, kNoHandle);
    // Swapped, ring dropped and cancelled: the old picture and ring stay, the new picture is freed (leak check).
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kBodyRingsCheckItem},
                         {{}, kEditCancelItem}}), 0);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFF0000u);
    EXPECT_EQ(std::tuple(GetSphereListPICT(rt.spherePixList, id), b.ringPix), std::tuple(picture, ring));
    ASSERT_EQ(Run(b, 0, {{{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.spherePixID, id) << "an unchanged picture keeps its entry";
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(b.spherePixID, b.ringPix, LiveHandleCount()), std::tuple(0, kNoHandle, before));
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFFFFFFu) << "unchecked: released, white";
    // A picture file that cannot be read changes nothing and says so.
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(b.ringPix, b.spherePixID), std::tuple(kNoHandle, 0));
    EXPECT_EQ(backend.alerts.size(), 2u);
}

TEST_F(EditorTest, TheCraftDialogStoresTheForceAndTheEntryBeingEdited) {
    BodyInfoStruct craft = Craft();
    ASSERT_EQ(Run(craft, 0,
                  {{{}, kCraftForceUnitItem}, {{{kCraftDeltaVItem, "2"}, {kCraftPushIndexItem, "7.9"}}, kEditOkItem}}),
              1);
    for (const auto& [item, text] : Shows{{kEditNameItem, "Craft"}, {kRadius, Fixed(100.0)}, {kEditRadiusUnitItem, "m"},
                                          {kCraftForceItem, Fixed(100.0)}, {kCraftDeltaVItem, Fixed(0)},
                                          {kCraftPushIndexItem, "0"}})
        EXPECT_EQ(Text(0, item), text) << "item " << item;  // a craft's radius in metres; no schedule shows zeros
    EXPECT_EQ(Text(1, kCraftForceUnitItem), "lbf");
    EXPECT_EQ(Text(1, kCraftForceItem), Fixed(100.0 / 4.44822));
    EXPECT_NEAR(set.craftThrust, 100.0, 1e-9);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{2000.0, 7}})) << "km/s, and the push index truncated";
    EXPECT_EQ(std::tuple(craft.bodyFlags, craft.ringRatio), std::tuple(kCraftFlag, 0.0));
    // The speed change keeps its value across its units: 3 m/s is 0.18 km/min, then 180/1609.344 mi/min.
    Schedule({{3.0, 10}});
    ASSERT_EQ(Run(craft, 0, {{{}, kCraftDeltaVTimeUnitItem}, {{}, kCraftDeltaVDistUnitItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(Text(1, kCraftDeltaVItem), Text(2, kCraftDeltaVItem)),
              std::tuple(Fixed(0.18), Fixed(180.0 / 1609.344)));
    ASSERT_EQ(Listed(set.timedThrust).size(), 1u);
    EXPECT_NEAR(Listed(set.timedThrust)[0].first, 3.0, 1e-10);
    EXPECT_EQ(Run(craft, 0, {{{}, kEditDeleteItem}}), -1);
    EXPECT_EQ(set.timedThrust, kNoHandle) << "Delete clears the schedule";
}

TEST_F(EditorTest, TheCraftDialogStepsThroughTheScheduleInItsOrderAndWaitsForNumbers) {
    Schedule({{1.0, 10}, {2.0, 20}});
    BodyInfoStruct craft = Craft();
    ASSERT_EQ(Run(craft, 0, {{{{kCraftPushIndexItem, "30"}}, kCraftNextEntryItem},  // re-sorted behind push 20
                             {{}, kCraftNextEntryItem},                             // disabled on the blank entry
                             {{}, kCraftPrevEntryItem},
                             {{}, kCraftDeleteEntryItem},  // the last entry: the one before it is shown
                             {{}, kCraftNextEntryItem},
                             {{{kCraftDeltaVItem, "0.003"}, {kCraftPushIndexItem, "20"}}, kEditOkItem}}),  // merged
              1);
    const std::vector<std::pair<int, std::string>> seen{{1, "10"}, {3, "0"}, {3, "0"}, {2, "30"}, {1, "20"}, {2, "0"}};
    for (size_t k = 0; k < seen.size(); ++k)
        EXPECT_EQ(std::tuple(Text(k, kCraftEntryCaptionItem), Text(k, kCraftPushIndexItem)),
                  std::tuple("Entry " + std::to_string(seen[k].first) + " of the thrust schedule", seen[k].second));
    EXPECT_EQ(Text(0, kCraftDeltaVItem), Fixed(0.001));  // 1 m/s in km/s
    EXPECT_EQ((std::array{Enabled(0, kCraftPrevEntryItem), Enabled(0, kCraftDeleteEntryItem),
                          Enabled(1, kCraftPrevEntryItem), Enabled(1, kCraftNextEntryItem),
                          Enabled(1, kCraftDeleteEntryItem)}),
              (std::array{false, true, true, false, false}));
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{5.0, 20}}));
    ASSERT_EQ(Run(craft, 0, {{{{kCraftPushIndexItem, "soon"}}, kEditOkItem},
                             {{{kCraftPushIndexItem, "3"}, {kCraftForceItem, ""}}, kEditOkItem},
                             {{{kCraftForceItem, "50"}}, kEditOkItem}}),
              1);
    EXPECT_FALSE(Enabled(1, kEditOkItem) || Enabled(1, kCraftNextEntryItem)) << "a push index without a number";
    EXPECT_FALSE(Enabled(2, kEditOkItem));
    EXPECT_TRUE(Enabled(2, kCraftNextEntryItem)) << "the force does not matter to the schedule";
    EXPECT_DOUBLE_EQ(set.craftThrust, 50.0);
}

// One move through the schedule as the craft dialog makes it, and the entry shown after it.
struct ThrustMove {
    const char* what;
    Entries before;
    int32_t k;
    ThrustEntryFields fields;
    int32_t step;  // -1 previous, +1 next, 0 delete the entry
    Entries after;
    int32_t kAfter;
};
class ThrustMoves : public ::testing::TestWithParam<ThrustMove> {};

TEST_P(ThrustMoves, KeepTheScheduleSortedAndShowTheRightEntry) {
    const ThrustMove& c = GetParam();
    Handle list = NewSchedule(c.before);
    int32_t k = c.k;
    if (c.step == 0) DeleteThrustEntry(list, k);
    else EXPECT_TRUE(MoveThrustEntry(list, k, c.fields, c.step));
    EXPECT_EQ(Listed(list), c.after);
    EXPECT_EQ(k, c.kAfter);
    DisposeTTHandle(list);
}

using TM = ThrustMove;
INSTANTIATE_TEST_SUITE_P(
    ThrustEntries, ThrustMoves,
    ::testing::Values(TM{"Appended", {}, 0, {5.0, 30}, +1, {{5.0, 30}}, 1},
                      TM{"SortedInFirst", {{5.0, 30}}, 1, {2.0, 10}, +1, {{2.0, 10}, {5.0, 30}}, 1},
                      TM{"MergedOnItsPush", {{3.0, 10}, {1.0, 20}}, 2, {5.0, 10}, +1, {{8.0, 10}, {1.0, 20}}, 1},
                      TM{"EditedOntoAnotherPush", {{3.0, 10}, {1.0, 20}}, 1, {1.0, 10}, -1, {{4.0, 10}}, 0},
                      TM{"Resorted", {{1.0, 10}, {2.0, 20}}, 0, {1.5, 30}, +1, {{2.0, 20}, {1.5, 30}}, 2},
                      TM{"NoNumber", {{1.0, 10}, {2.0, 20}, {3.0, 30}}, 1, {kNaN, 20}, +1, {{1.0, 10}, {3.0, 30}}, 1},
                      TM{"DroppedAtTheStart", {{1.0, 10}}, 0, {kNaN, kNaN}, -1, {}, 0},
                      TM{"IncompleteOnlyMoves", {{1.0, 10}}, 1, {0.0, 40}, -1, {{1.0, 10}}, 0},
                      TM{"PushZeroStays", {{1.0, 10}}, 1, {4.0, 0.5}, +1, {{1.0, 10}}, 1},
                      TM{"PushPinned", {}, 0, {1.0, 1e30}, +1, {{1.0, INT32_MAX}}, 1},
                      TM{"DeleteTheLast", {{1.0, 10}, {2.0, 20}}, 1, {}, 0, {{1.0, 10}}, 0},
                      TM{"DeleteTheFirst", {{1.0, 10}, {2.0, 20}}, 0, {}, 0, {{2.0, 20}}, 0},
                      TM{"DeleteTheBlank", {{1.0, 10}}, 1, {}, 0, {{1.0, 10}}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(EditorTest, DeletingTheCraftKeepsTheSelectionOnItsBody) {
    DeleteCraftMenuItem();  // no list: nothing
    AddBodies({"Sun"});
    ASSERT_EQ(AddABody(Craft("First")), 1);
    AddBodies({"Mars"});
    ASSERT_EQ(AddABody(Craft("Second")), 1);
    backend.Expect({{{}, kEditCancelItem}});
    EditCraftMenuItem();
    EXPECT_EQ(Text(0, kEditNameItem), "First") << "the craft with the lowest index";
    rt.selectedBody = 2;  // Mars
    DeleteCraftMenuItem();
    EXPECT_EQ(Names(), (Texts{"Sun", "Mars", "Second"}));
    EXPECT_EQ(rt.selectedBody, 1);
    DeleteCraftMenuItem();
    EXPECT_FALSE(IsThereACraft());
    rt.selectedBody = -1;
    DeleteBodyMenuItem();  // nothing selected: the list stays
    EXPECT_EQ(Names(), (Texts{"Sun", "Mars"}));
}

TEST_F(HistoryTest, AnEditIsStoredOnOkAndTakenBackBitForBitAndTheSimulationRestarts) {
    AddBodies({"Sun", "Earth"});
    const BodyInfoStruct before = Body(1);
    for (int32_t selection : {-1, 3}) rt.selectedBody = selection, EditBodyMenuItem();
    EXPECT_EQ(backend.opened, 0u) << "nothing to edit without a selection";
    rt.selectedBody = 1;
    RunFrames(5);
    Answer(kEditInitialItem);  // the run is under way: edit the initial conditions
    backend.Expect({{{{kEditNameItem, "Terra"}}, kEditCancelItem}});
    Choose(kObjectsMenu, 2);
    EXPECT_NE(rt.bodyRT, kNoHandle) << "Cancel leaves the running simulation alone";
    Answer(kEditInitialItem);
    backend.Expect({{{{kEditNameItem, "Terra"}, {kEditRadiusItem, "6371"}}, kEditOkItem}});
    Choose(kObjectsMenu, 2);
    EXPECT_EQ(std::tuple(Name(Body(1)), Body(1).radius, rt.bodyRT), std::tuple("Terra", 6371000.0, kNoHandle));
    ASSERT_EQ(UndoStepName(), "Edit Body");
    RunFrames(3);
    Choose(kEditMenu, 1);
    EXPECT_EQ(std::memcmp(&Body(1), &before, sizeof before), 0);
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 6 * set.pushesPerFrame) << "the run the edit threw away goes on";
    EXPECT_EQ(std::tuple(CanUndo(), RedoStepName()), std::tuple(false, "Edit Body"));
    Choose(kEditMenu, 2);
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_EQ(std::tuple(CanUndo(), CanRedo()), std::tuple(true, false));
}

// Reset and Make Present State Initial (which moves the epoch) are undone with the run they ended.
TEST_F(HistoryTest, ResetAndMakingThePresentStateTheStartComeBackWithTheRunAndTheEpoch) {
    AddBodies({"Sun", "Earth"});
    epoch = EpochStruct{true, 1000.0};
    Choose(kSimulationMenu, 8);
    EXPECT_FALSE(CanUndo()) << "a reset of a run that has not started is no step";
    RunFrames(2);
    const double t = rt.simTime;
    for (int16_t item : {8, 10}) {
        Choose(kSimulationMenu, item);
        EXPECT_EQ(std::tuple(rt.pushCount, epoch.tdbSeconds), std::tuple(0, item == 10 ? 1000.0 + t : 1000.0));
        EXPECT_FALSE(IsDocumentModified() && item == 8) << "a reset changes nothing a file keeps";
        Choose(kEditMenu, 1);
        EXPECT_EQ(std::tuple(rt.simTime, rt.pushCount, epoch.tdbSeconds), std::tuple(t, 2 * set.pushesPerFrame, 1000.0));
    }
    epoch = EpochStruct{};
    BeginUndoableChange("Cancelled before it began");  // taken back before it threw the run away
    RevertChangeInProgress();
    EndUndoableChange();
    EXPECT_TRUE(rt.bodyRT != kNoHandle && rt.pushCount == 2 * set.pushesPerFrame) << "the run goes on as it was";
}

// Most commands leave the run alone, and copy none of it. With 100,000 particles under way a
// view toggle took 38 ms, 22 of them copying the run for a step that then dropped it.
TEST_F(HistoryTest, ACommandThatLeavesTheRunAloneDoesNotCopyIt) {
    AddBodies({"Sun"});
    std::string error;
    ASSERT_TRUE(AddBelt(BeltRequest{99999, 0, 1e11, 2e11, 0.1, 0.1, 1}, error)) << error;
    auto quickest = [&] {
        double best = INFINITY;
        for (int k = 0; k < 5; ++k) {
            ClearUndoHistory();  // each toggle with the same history behind it
            const auto start = std::chrono::steady_clock::now();
            Choose(kViewMenu, 6);  // Keep Camera Level
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    };
    const double before = quickest();
    RunFrames(1);
    const double during = quickest();
    EXPECT_LT(during, 1.4 * before) << during << " s with the run under way, " << before << " s before it";
}

// Objects › Add Belt… offers the bodies with mass as primaries, keeps its dialog open on bad
// entries, saying why, and adds the belt as one step that Undo takes back whole; past 10,000
// bodies with mass, New Body is refused with an alert.
TEST_F(HistoryTest, AddBeltIsOneStepAndBodiesWithMassStopAtTheirLimit) {
    AddBodies({"Sun", "Dust", "Earth"});
    Body(1).mass = 0.0;
    set.powerLaw = -2.0;
    rt.selectedBody = 1;  // massless: not a primary, so the first body with mass is offered
    DialogRecord& dialog = backend.Expect({{{}, 4}, {{{3, "500"}, {5, "1e6"}, {6, "2e6"}, {7, "1.5"}, {8, "1"}, {9, "4"}}, 1},
                                           {{{7, "x"}}, 1}, {{{7, "0.2"}}, 1}});
    dialog.popUpChoices = {2};
    Choose(kObjectsMenu, 8);
    ASSERT_EQ(BodyList()->count, 503);
    EXPECT_EQ(dialog.popUpEntries.at(0), Texts({"1. Sun", "3. Earth"}));
    EXPECT_EQ(dialog.popUpChecked.at(0), 1);
    EXPECT_GE(dialog.presented[4], 2);  // drawn at the start and again with the choice
    EXPECT_EQ(Body(3).parent, 3);  // about the Earth, as chosen
    const double r = std::hypot(Body(3).pos[0], Body(3).pos[1], Body(3).pos[2]);
    EXPECT_TRUE(r > 0.8e9 && r < 2.4e9) << r << " m: the axes were given in km";
    EXPECT_EQ(Text(2, 20), "No belt: the largest eccentricity is 1.5e+0: it must lie in 0 to below 1.");
    EXPECT_EQ(Text(3, 20), "No belt: Largest eccentricity \u201cx\u201d is not a number.");
    EXPECT_EQ(UndoStepName(), "Add Belt");
    Choose(kEditMenu, 1);
    EXPECT_EQ(BodyList()->count, 3);
    const std::vector<BodyInfoStruct> many(9998, Body(0));
    ASSERT_EQ(::AddBodies(many.data(), 9998), 1);
    backend.Expect({{{{kEditNameItem, "Extra"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    EXPECT_EQ(BodyList()->count, 10001);
    ASSERT_FALSE(backend.alerts.empty());
    EXPECT_NE(backend.alerts.back().find("10000 bodies with mass already"), std::string::npos);
}

TEST_F(HistoryTest, CancelledCommandsLeaveNoStepAndUndoWithoutOneBeepsButNewCraftAddsOnOk) {
    AddBodies({"Sun"});
    rt.selectedBody = 0;
    for (int16_t item : {2, 1, 5}) {  // Edit Body, New Body, New Craft (whose offered engine must not stick)
        backend.Expect({{{{kEditNameItem, "Sol"}}, kEditCancelItem}});
        Choose(kObjectsMenu, item);
    }
    backend.Expect({{{{kSheetFirstFieldItem, "99"}}, kSheetCancelItem}});
    Choose(kSimulationMenu, 4);
    EXPECT_FALSE(CanUndo());
    Choose(kEditMenu, 1);
    EXPECT_EQ(backend.beeps, 1);
    EXPECT_EQ(Names(), Texts{"Sun"});
    backend.Expect({{{{kEditNameItem, "Scout"}, {kCraftForceItem, "250"}}, kEditOkItem}});  // adds one, then edits it
    Choose(kObjectsMenu, 5);
    EXPECT_EQ(std::tuple(Names(), rt.selectedBody, GetCraftIndex()), std::tuple(Texts{"Sun", "Scout"}, 1, 1));
    EXPECT_EQ(Text(0, kCraftForceItem), Fixed(100)) << "the default engine";
    EXPECT_DOUBLE_EQ(set.craftThrust, 250.0);
}

TEST_F(HistoryTest, DeleteComesBackWithItsPictureRingAndSelection) {
    AddBodies({"Sun", "Saturn", "Titan"});
    const std::vector<uint8_t> saturnBytes = TestPicture(0x00C0A060), ringBytes(kRingProfileTexels * 4, 7);
    auto held = [](const std::vector<uint8_t>& bytes) { return NewHandleWithBytes(bytes.data(), bytes.size()); };
    Body(1).spherePixID = AddPICTToSpherePixList(rt.spherePixList, held(saturnBytes));
    Body(2).spherePixID = AddPICTToSpherePixList(rt.spherePixList, held(TestPicture(0x00806040)));
    Body(1).ringPix = held(ringBytes);
    Body(1).ringRatio = 2.3;
    const uint32_t* titanMap = GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID);
    rt.selectedBody = 1;
    RunFrames(2);
    Choose(kObjectsMenu, 3);
    ASSERT_EQ(Names(), (Texts{"Sun", "Titan"}));
    EXPECT_EQ(UndoStepName(), "Delete Body");
    Choose(kEditMenu, 1);
    ASSERT_EQ(Names(), (Texts{"Sun", "Saturn", "Titan"}));
    EXPECT_EQ(rt.selectedBody, 1);
    ASSERT_NE(Body(1).ringPix, kNoHandle);
    EXPECT_EQ(BytesOf(Body(1).ringPix), ringBytes);
    EXPECT_EQ(BytesOf(GetSphereListPICT(rt.spherePixList, Body(1).spherePixID)), saturnBytes);
    const uint32_t* saturnMap = GetPointerToSpherePix(rt.spherePixList, Body(1).spherePixID);
    ASSERT_NE(saturnMap, nullptr);
    EXPECT_NEAR(double(TexelChannel(saturnMap[0], 1)), 0xC0, 1.0) << "the surface map was built again";
    EXPECT_EQ(GetPointerToSpherePix(rt.spherePixList, Body(2).spherePixID), titanMap) << "unchanged: kept";
    RunFrames(1);  // the restored scenario runs on the new maps and ring
    EXPECT_EQ(BodyRTList()->body[1].ringPix, RingPixPtrFromHandle(Body(1).ringPix));
    EXPECT_EQ(BodyRTList()->body[1].spherePix, saturnMap);
}

TEST_F(HistoryTest, RemoveAllBodiesAsksFirstAndOnlyAButtonAnswers) {
    AddBodies({"Sun", "Earth", "Moon"});
    backend.Expect({{{}, kConfirmCancelItem}});
    Choose(kEditMenu, 8);
    EXPECT_EQ(Count(), 3);
    EXPECT_NE(Shown().texts.at(kConfirmQuestionItem).find("all 3 bodies"), std::string::npos);
    EXPECT_EQ(Shown().layout.title, "Remove All Bodies") << "a question is titled after the command that asks";
    backend.Expect({{{}, kConfirmQuestionItem}, {{}, kConfirmActionItem}});  // a click on the text is no answer
    Choose(kEditMenu, 8);
    EXPECT_EQ(set.bodies, kNoHandle);
    EXPECT_EQ(UndoStepName(), "Remove All Bodies");
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (Texts{"Sun", "Earth", "Moon"}));
}

TEST_F(HistoryTest, ANewChangeDropsTheRedoAndTheOldestStepsGoPastTheBound) {
    SetUndoBoundsForTesting(5, 0);
    AddBodies({"Sun"});
    backend.Expect({{{{kEditNameItem, "Mercury"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    backend.Expect({{{{kEditNameItem, "Venus"}}, kEditOkItem}});
    Choose(kObjectsMenu, 1);
    Choose(kEditMenu, 1);
    EXPECT_EQ(Names(), (Texts{"Sun", "Mercury"}));
    EXPECT_EQ(rt.selectedBody, 1) << "the selection returns to where it was before Venus";
    ChangePushesPerFrame(1);
    EXPECT_FALSE(CanRedo()) << "a new change replaces what could be done again";
    for (int k = 2; k <= 8; ++k) ChangePushesPerFrame(k);
    EXPECT_EQ(UndoStepCount(), 5u);
    while (CanUndo()) Choose(kEditMenu, 1);
    EXPECT_EQ(set.pushesPerFrame, 3);
}

TEST_F(HistoryTest, SettingsAloneComeBackWithoutARestartButTheForceLawRestarts) {
    AddBodies({"Sun", "Earth"});
    Body(0).mass = 2.0e30;
    Body(0).pos[0] = Body(0).vel[1] = 0.0;
    Body(1).pos[0] = 1.5e11;
    Body(1).vel[1] = 29780.0;
    RunFrames(3);
    const int32_t pushes = rt.pushCount;
    ChangePushesPerFrame(64);
    EXPECT_EQ(UndoStepName(), "Pushes per Frame");
    EXPECT_EQ(Shown().layout.title, "Pushes per Frame");
    Choose(kEditMenu, 1);
    EXPECT_EQ(std::tuple(set.pushesPerFrame, rt.pushCount), std::tuple(16, pushes)) << "a run's setting: no restart";
    backend.Expect({{{{kSheetFirstFieldItem, "-3"}}, kSheetOkayItem}});
    Choose(kParametersMenu, 2);
    RunFrames(1);
    Choose(kEditMenu, 1);
    EXPECT_DOUBLE_EQ(set.powerLaw, -2.0);
    EXPECT_EQ(rt.pushCount, pushes) << "the motion under the other force law gives way to the run it ended";
}

TEST_F(HistoryTest, TheCraftsScheduleIsPartOfTheStepEntryByEntry) {
    ASSERT_EQ(AddABody(Craft()), 1);
    Schedule({{3.0, 10}});
    backend.Expect({{{{kCraftDeltaVItem, "0.5"}}, kEditOkItem}});  // the same entry, another speed change
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(Listed(set.timedThrust), (Entries{{500.0, 10}}));
    EXPECT_EQ(UndoStepName(), "Edit Craft");
    Choose(kEditMenu, 1);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{3.0, 10}}));
    backend.Expect({{{}, kEditDeleteItem}});  // deleting the craft drops the schedule; undo brings both back
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(set.timedThrust, kNoHandle);
    Choose(kEditMenu, 1);
    EXPECT_EQ(GetCraftIndex(), 0);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{3.0, 10}}));
}

TEST_F(HistoryTest, TheTitleMarksChangesUntilUndoneOrSavedAndSaveAsksForAFileOnce) {
    EXPECT_EQ(Title(), TitleIs("Untitled", false));
    ChangePushesPerFrame(32);
    EXPECT_EQ(Title(), TitleIs("Untitled", true));
    Choose(kEditMenu, 1);
    EXPECT_EQ(Title(), TitleIs("Untitled", false)) << "undone back to the state as it was";
    Choose(kEditMenu, 2);
    EXPECT_EQ(Title(), TitleIs("Untitled", true));
    const size_t told = window.titles.size();
    RefreshDocumentTitle();
    EXPECT_EQ(window.titles.size(), told) << "the window is told only of a change, not on every frame";
    AddBodies({"Sun"});
    backend.savePaths = {File("Jupiter system.universe"), File("two.universe")};
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(Title(), TitleIs("Jupiter system", false));
    EXPECT_EQ(backend.suggested, Texts{"Untitled.universe"});
    Choose(kEditMenu, 1);
    EXPECT_EQ(Title(), TitleIs("Jupiter system", true)) << "undoing past the save is a change too";
    Choose(kEditMenu, 2);
    ChangePushesPerFrame(9);
    Choose(kFileMenu, kSaveItem);
    EXPECT_EQ(std::tuple(backend.suggested.size(), IsDocumentModified()), std::tuple(1u, false)) << "not asked again";
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(std::tuple(backend.suggested.back(), DocumentName()), std::tuple("Jupiter system.universe", "two"));
    DeallocateAllPushMemory();
    ASSERT_TRUE(OpenDocumentFile(File("Jupiter system.universe")));
    EXPECT_EQ(std::tuple(Names(), set.pushesPerFrame, IsDocumentModified()), std::tuple(Texts{"Sun"}, 9, false));
    EXPECT_FALSE(CanUndo()) << "opening starts a new history";
}

TEST_F(HistoryTest, OpeningAsksAboutUnsavedChangesAndSavingMustSucceedToGoOn) {
    const std::string sun = Saved("sun.universe", "Sun");
    backend.chosenFiles = {sun};
    ChangePushesPerFrame(5);
    Answer(kSaveChangesCancelItem);
    Choose(kFileMenu, kOpenItem);
    EXPECT_EQ(backend.nextFile, 0u) << "cancel: no file is even asked for";
    EXPECT_NE(Shown().texts.at(kSaveChangesQuestionItem).find("Untitled"), std::string::npos);
    Answer(kSaveChangesSaveItem);  // and the save dialog cancelled: the changes stay
    EXPECT_FALSE(OpenDocumentFile(sun));
    EXPECT_TRUE(IsDocumentModified());
    backend.savePaths = {File("no-such-folder/x.universe")};
    Answer(kSaveChangesSaveItem);
    EXPECT_FALSE(OpenDocumentFile(sun)) << "a file that cannot be written is no reason to lose the changes";
    EXPECT_FALSE(backend.alerts.empty());
    backend.savePaths.push_back(File("kept.universe"));
    Answer(kSaveChangesSaveItem);
    EXPECT_TRUE(OpenDocumentFile(sun));
    EXPECT_TRUE(std::filesystem::exists(File("kept.universe")));
    EXPECT_EQ(DocumentName(), "sun");
    ChangePushesPerFrame(6);
    backend.Expect({{{}, kSaveChangesQuestionItem}, {{}, kSaveChangesDiscardItem}});
    EXPECT_TRUE(OpenDocumentFile(sun));
    const size_t dialogs = backend.opened;
    EXPECT_TRUE(OpenDocumentFile(sun));
    EXPECT_EQ(backend.opened, dialogs) << "unchanged: nothing is asked";
}

TEST_F(HistoryTest, TheRecentListHoldsTenFilesOnceEachMostRecentFirst) {
    RecentFilesStruct list;
    for (int k = 0; k < 12; ++k) AddRecentFile(list, File(("u" + std::to_string(k) + ".universe").c_str()));
    ASSERT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(std::pair(list.paths.front(), list.paths.back()), std::pair(File("u11.universe"), File("u2.universe")));
    // The same file again, through "..", "." and a symbolic link: it moves up, once.
    std::filesystem::create_directory(scratch / "sub");
    std::ofstream(File("u5.universe")) << "x";
    AddRecentFile(list, (scratch / "sub" / ".." / "." / "u5.universe").string());
    ASSERT_EQ(::symlink(File("u5.universe").c_str(), File("link.universe").c_str()), 0);
    AddRecentFile(list, File("link.universe"));
    AddRecentFile(list, "");  // an empty name is no file
    EXPECT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(std::count(list.paths.begin(), list.paths.end(), File("u5.universe")), 1);
    EXPECT_EQ(std::pair(list.paths[0], list.paths[1]), std::pair(File("u5.universe"), File("u11.universe")));
    RecentFilesStruct alike;
    for (const char* p : {"/a/solar.universe", "/b/solar.universe", "/a/moons.universe"}) AddRecentFile(alike, p);
    EXPECT_EQ(RecentFileTitles(alike),
              (Texts{"moons.universe", "solar.universe \u2014 /b", "solar.universe \u2014 /a"}));
}

TEST_F(HistoryTest, OpenRecentFollowsWhatWasOpenedAndSavedAcrossARestart) {
    const std::string sun = Saved("sun.universe", "Sun"), moon = Saved("moon.universe", "Moon");
    EXPECT_EQ(RecentMenu(), (Texts{"No Recent Files", "-", "Clear Menu"}));
    ASSERT_TRUE(OpenDocumentFile(sun));
    ASSERT_TRUE(OpenDocumentFile(moon));
    ChangePushesPerFrame(3);
    Answer(kSaveChangesCancelItem);  // sun.universe is item 2; with changes unsaved the question comes first
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(Name(Body(0)), "Moon");
    EXPECT_NE(Shown().texts.at(kSaveChangesQuestionItem).find("moon"), std::string::npos);
    Answer(kSaveChangesDiscardItem);
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(Name(Body(0)), "Sun");
    EXPECT_FALSE(IsDocumentModified());
    backend.savePaths = {File("copy.universe")};
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(RecentMenu(), (Texts{"copy.universe", "sun.universe", "moon.universe", "-", "Clear Menu"}));
    recentFiles = {};  // a restart: the list in memory is gone, the settings are not
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (Texts{File("copy.universe"), sun, moon}));
    Choose(kRecentFilesMenu, 5);  // Clear Menu
    EXPECT_EQ(RecentMenu().front(), "No Recent Files");
    EXPECT_FALSE(GetMenu(kRecentFilesMenu)->items.back().enabled) << "nothing to clear";
    RecallRecentFiles();
    EXPECT_TRUE(recentFiles.paths.empty()) << "cleared in the settings too";
    EXPECT_TRUE(backend.cautions.empty());
}

TEST_F(HistoryTest, ARecentFileThatIsGoneIsDroppedWithAMessageNamingIt) {
    const std::string sun = Saved("sun.universe", "Sun"), gone = Saved("gone.universe", "Ghost");
    ASSERT_TRUE(OpenDocumentFile(gone));
    ASSERT_TRUE(OpenDocumentFile(sun));
    ChangePushesPerFrame(4);  // modified, so a wrongly asked question would show
    std::filesystem::remove(gone);
    const size_t dialogs = backend.opened;
    Choose(kRecentFilesMenu, 2);
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("gone.universe"), std::string::npos) << backend.cautions[0];
    EXPECT_NE(backend.cautions[0].find(scratch.path().string()), std::string::npos) << "names where it was";
    EXPECT_EQ(std::tuple(backend.opened, set.pushesPerFrame), std::tuple(dialogs, 4)) << "nothing to save";
    RecentFilesStruct after;
    LoadRecentFiles(after, settings);
    EXPECT_EQ(after.paths, Texts{sun}) << "gone from the settings too";
}

TEST_F(HistoryTest, HostileStoredRecentEntriesAreSkipped) {
    const std::pair<const char*, std::string> stored[] = {
        {"file1", "relative/path.universe"}, {"file2", ""}, {"file3", "/kept/one.universe"},
        {"file4", "/kept/one.universe"},     {"file5", std::string("/with\0nul", 9)}, {"file6", "/two\nlines"},
        {"file7", "/" + std::string(10000, 'x')}, {"file8", "/kept/two.universe"}, {"file11", "/beyond/ten.universe"}};
    for (const auto& [key, value] : stored) settings.WriteSetting(std::string("recent/") + key, value);
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (Texts{"/kept/one.universe", "/kept/two.universe"}));
    EXPECT_EQ(RecentMenu(), (Texts{"one.universe", "two.universe", "-", "Clear Menu"}));
}
