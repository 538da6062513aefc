// The body and craft editor: what it shows, stores and refuses, the craft's
// thrust schedule, and the Objects menu commands built on it.
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <tuple>

#include "EditorFixture.h"
#include "windows/ThrustEntries.h"

namespace {
using Shows = std::map<int16_t, std::string>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
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
    for (const auto& [item, text] : Shows{{kEditNameItem, "Body 3"}, {kEditNumberItem, "3. body in the list"},
                                          {kEditPosItem, Fixed(0)}, {kEditPosItem + 2, "1.000000000000"},
                                          {kEditPosItem + 3, "0"}, {kEditVelItem + 1, Fixed(90)}, {kEditVelItem + 3, "3"},
                                          {kEditMassItem + 1, "3"}, {kEditRadiusItem, Fixed(1)}, {kEditPosUnitItem, "km"},
                                          {kEditVelDistUnitItem, "m"}, {kEditVelTimeUnitItem, "/s"},
                                          {kEditRadiusUnitItem, "km"}, {kBodyPeriodItem, Fixed(86400)},
                                          {kBodyTiltItem, Fixed(90)}, {kBodyRingRatioItem, Fixed(2.25)}})
        EXPECT_EQ(Text(0, item), text) << "item " << item;
    EXPECT_EQ(Shown().selected, kEditPosItem);
    b.spinRate = 0.0;  // no spin shows a period of 0; a ratio of 1 or less (no ring) shows as 2
    b.ringRatio = 1.0;
    EXPECT_EQ(Run(b, 2, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(std::tuple(Text(0, kBodyPeriodItem), Text(0, kBodyRingRatioItem)), std::tuple(Fixed(0), Fixed(2.0)));
}

// Fields typed after turning the unit buttons given, and what OK stores in SI units.
struct TypedField {
    const char* what;
    std::vector<int16_t> unitHits;
    Shows typed;
    double (*stored)(const BodyInfoStruct&);
    double expected;
};
class BodyFields : public EditorTest, public ::testing::WithParamInterface<TypedField> {};

TEST_P(BodyFields, AreStoredInSIUnits) {
    const TypedField& c = GetParam();
    BodyInfoStruct b = Named("Moon");
    std::vector<DialogStep> steps;
    for (int16_t hit : c.unitHits) steps.push_back({{}, hit});
    steps.push_back({c.typed, kEditOkItem});
    ASSERT_EQ(Run(b, 0, steps), 1);
    EXPECT_NEAR(c.stored(b), c.expected, 1e-9 * std::max(1.0, std::abs(c.expected)));
}

using B = const BodyInfoStruct&;
INSTANTIATE_TEST_SUITE_P(
    BodyEditor, BodyFields,
    ::testing::Values(
        TypedField{"Up", {}, {{kEditPosItem, "90"}, {kEditPosItem + 2, "2"}, {kEditPosItem + 3, "3"}}, [](B b) { return b.pos[2]; }, 2e6},
        TypedField{"Miles", {kEditPosUnitItem}, {{kEditPosItem + 2, "1"}, {kEditPosItem + 3, "0"}}, [](B b) { return b.pos[0]; }, 1609.344},
        TypedField{"Down", {}, {{kEditVelItem, "-90"}, {kEditVelItem + 2, "5"}, {kEditVelItem + 3, "0"}}, [](B b) { return b.vel[2]; }, -5.0},
        TypedField{"PerMinute", {kEditVelTimeUnitItem}, {{kEditVelItem + 2, "60"}, {kEditVelItem + 3, "0"}}, [](B b) { return b.vel[1]; }, 1.0},
        TypedField{"VelocityKept", {kEditVelTimeUnitItem, kEditVelDistUnitItem}, {}, [](B b) { return b.vel[1]; }, 1000.0},
        TypedField{"Grams", {kEditMassUnitItem}, {{kEditMassItem, "5"}, {kEditMassItem + 1, "0"}}, [](B b) { return b.mass; }, 0.005},
        TypedField{"RadiusInMiles", {kEditRadiusUnitItem}, {{kEditRadiusItem, "1"}}, [](B b) { return b.radius; }, 1609.344},
        TypedField{"Tilt", {}, {{kBodyTiltItem, "90"}}, [](B b) { return b.axisTilt; }, M_PI / 2},
        TypedField{"Azimuth", {}, {{kBodyAzimuthItem, "180"}}, [](B b) { return b.axisAzimuth; }, M_PI},
        TypedField{"PeriodInMinutes", {kBodyPeriodUnitItem}, {{kBodyPeriodItem, "1"}}, [](B b) { return b.spinRate; }, M_PI / 30},
        TypedField{"NoPeriodNoSpin", {}, {{kBodyPeriodItem, "0"}}, [](B b) { return b.spinRate; }, 0.0},
        TypedField{"RingRatio", {}, {{kBodyRingRatioItem, "2.5"}}, [](B b) { return b.ringRatio; }, 2.5}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(EditorTest, OkWaitsForANameAndANumberInEveryField) {
    for (const auto& [item, text] : Shows{{kEditNameItem, ""}, {kEditPosItem + 1, "east"}, {kEditVelItem + 2, "fast"},
                                          {kEditMassItem + 1, "x"}, {kEditRadiusItem, "big"}, {kBodyPeriodItem, "?"},
                                          {kBodyTiltItem, ""}, {kBodyAzimuthItem, "n"}, {kBodyRingRatioItem, "-"}}) {
        BodyInfoStruct b = Named("Io");
        const BodyInfoStruct before = b;
        EXPECT_EQ(Run(b, 0, {{{{item, text}}, kEditOkItem}}), 0) << "item " << item;  // refused; the script ends: Cancel
        EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
    }
    BodyInfoStruct b = Named("Vesta");  // a unit turned under a field without a number leaves its text
    ASSERT_EQ(Run(b, 0, {{{{kEditRadiusItem, "big"}}, kEditRadiusUnitItem}, {{{kEditRadiusItem, "1"}}, kEditOkItem}}), 1);
    EXPECT_EQ(Text(1, kEditRadiusItem), "big");
    EXPECT_FALSE(Enabled(1, kEditOkItem));
    const BodyInfoStruct before = b;  // Delete and Cancel leave the record as it was
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditDeleteItem}}), -1);
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditCancelItem}}), 0);
    EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
}

TEST_F(EditorTest, OkWritesAWholeNewRecordWithTheNameCutTo31Bytes) {
    BodyInfoStruct b = Named("x");
    b.spinPhase = 1.0;
    b.reserved120[2] = 7;
    b.bodyFlags = 0x10;
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(40, 'N')}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(31, 'N'));
    EXPECT_EQ(std::tuple(b.bodyFlags, b.spinPhase, b.reserved120[2]), std::tuple(0u, 0.0, 0u)) << "only the craft bit stays";
    // A cut never splits a character: 30 letters and a two-byte one keep only the letters.
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(30, 'a') + "\u00e9b"}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(30, 'a'));
}

TEST_F(EditorTest, AParentIsAnEarlierBodyChosenFromThePopUp) {
    BodyInfoStruct sun = Named("Sun");
    backend.Expect({{{}, kEditParentItem}, {{}, kEditCancelItem}});
    EditBodyDialog(&sun, 0);
    EXPECT_EQ(Shown().popUpEntries.at(0), Texts{"None"}) << "the first body can have none";
    AddBodies({"Sun", "Earth"});
    // Parent, body, parent after opening: anything but an earlier body is reset, in the caller's record too.
    for (const auto& c : {std::array{5, 1, 0}, {2, 1, 0}, {-1, 1, 0}, {1, 1, 1}, {2, 2, 2}}) {
        BodyInfoStruct b = Named("Moon");
        b.parent = c[0];
        EXPECT_EQ(Run(b, c[1], {{{}, kEditCancelItem}}), 0);
        EXPECT_EQ(b.parent, c[2]) << c[0] << " for body " << c[1];
    }
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

TEST_F(EditorTest, ColourAndSurfacePictureAreChosenKeptAndDropped) {
    BodyInfoStruct b = Named("Earth");
    backend.colorChoices = {std::nullopt, RGBColor{0x1200, 0x3400, 0x5600}};
    backend.chosenFiles = {WritePicture("blue.pict", 0x0000FF), WritePicture("red.pict", 0xFF0000)};
    ASSERT_EQ(Run(b, 0, {{{}, kBodyColorItem}, {{}, kBodyColorItem}, {{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(backend.colorPrompts.at(0), GetIndString(kBodyEditorStrings, 3));
    EXPECT_EQ(std::tuple(b.color.red, b.color.blue), std::tuple(uint16_t(0x1200), uint16_t(0x5600)));
    EXPECT_EQ(Shown().Pixel(kBodyColorItem, 10, 8), 0x123456u) << "the swatch shows the chosen colour";
    EXPECT_TRUE(Shown().values[kBodyPictureCheckItem]);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0x0000FFu);  // scaled into the frame
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 1, 1), 0x000000u);    // the double frame
    const int32_t id = b.spherePixID;
    const Handle picture = GetSphereListPICT(rt.spherePixList, id);
    ASSERT_NE(picture, kNoHandle);
    ASSERT_EQ(Run(b, 0, {{{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.spherePixID, id) << "an unchanged picture keeps its entry";
    // Swapped and cancelled: the old picture stays, the new one is freed (leak check).
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kEditCancelItem}}), 0);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFF0000u);
    EXPECT_EQ(GetSphereListPICT(rt.spherePixList, id), picture);
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);  // unchecked: released, white
    EXPECT_EQ(b.spherePixID, 0);
    EXPECT_EQ(GetSphereListPICT(rt.spherePixList, id), kNoHandle);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFFFFFFu);
}

TEST_F(EditorTest, RingsComeFromAPictureAndGoOnlyOnOk) {
    BodyInfoStruct b = Named("Saturn");
    backend.chosenFiles = {WritePicture("ring.pict", 0x808040, 64, 1), File("missing.pict"), File("missing.pict")};
    const int32_t before = LiveHandleCount();
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    ASSERT_NE(b.ringPix, kNoHandle);
    EXPECT_EQ(GetHandleSize(b.ringPix), 4096);
    EXPECT_EQ(LiveHandleCount(), before + 1) << "the profile only; the picture was freed";
    EXPECT_EQ(Shown().Pixel(kBodyRingItem, 100, 15), 0x808040u);
    EXPECT_EQ(Shown().Pixel(kBodyRingItem, 0, 0), 0x000000u);  // frame
    const Handle ring = b.ringPix;
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditCancelItem}}), 0);
    EXPECT_EQ(b.ringPix, ring) << "Cancel keeps the record's profile and frees the copy";
    EXPECT_EQ(LiveHandleCount(), before + 1);
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.ringPix, kNoHandle);
    EXPECT_EQ(LiveHandleCount(), before);
    // A picture file that cannot be read changes nothing and says so.
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(b.ringPix, b.spherePixID), std::tuple(kNoHandle, 0));
    EXPECT_EQ(backend.alerts.size(), 2u);
}

TEST_F(EditorTest, EveryItemIsOnceInsideItsDialogAndEveryControlHasItsOwnHelp) {
    for (BodyInfoStruct b : {Named("Earth"), Craft()}) {
        Run(b, 0, {{{}, kEditCancelItem}});
        const DialogLayout& layout = Shown().layout;
        std::map<int16_t, int> seen;
        std::set<std::string> tips;
        for (const DialogItem& item : layout.items) {
            EXPECT_EQ(++seen[item.number], 1) << layout.title << " item " << item.number;
            EXPECT_TRUE(item.box.left >= 0 && item.box.top < item.box.bottom && item.box.right <= layout.width &&
                        item.box.bottom <= layout.height) << layout.title << " item " << item.number;
            EXPECT_TRUE(item.number < 100 || item.kind == DialogItemKind::StaticText);
            if (item.kind != DialogItemKind::EditText && item.kind != DialogItemKind::Button &&
                item.kind != DialogItemKind::CheckBox && item.number != kEditParentItem) continue;
            const std::string tip = Shown().tips[item.number];
            EXPECT_TRUE(tip.size() >= 12 && tips.insert(tip).second) << "item " << item.number << ": " << tip;
        }
        for (int16_t needed = 1; needed <= 23; ++needed)
            EXPECT_TRUE(needed == 17 || seen.count(needed) == 1) << layout.title << " lacks " << needed;
    }
    BodyInfoStruct b = Named("Earth");  // the help names the unit its button shows, also after a turn
    Run(b, 0, {{{}, kEditPosUnitItem}, {{}, kEditMassUnitItem}, {{}, kEditCancelItem}});
    EXPECT_NE(Shown().tips[kEditPosItem + 2].find("in miles"), std::string::npos) << Shown().tips[kEditPosItem + 2];
    EXPECT_NE(Shown().tips[kEditMassItem].find("in grams"), std::string::npos) << Shown().tips[kEditMassItem];
}

TEST_F(EditorTest, TheCraftDialogStoresTheForceAndTheEntryBeingEdited) {
    BodyInfoStruct craft = Craft();
    ASSERT_EQ(Run(craft, 0, {{{}, kCraftForceUnitItem}, {{{kCraftDeltaVItem, "2"}, {kCraftPushIndexItem, "7.9"}}, kEditOkItem}}), 1);
    for (const auto& [item, text] : Shows{{kEditNameItem, "Craft"}, {kEditRadiusItem, Fixed(100.0)}, {kEditRadiusUnitItem, "m"},
                                          {kCraftForceItem, Fixed(100.0)}, {kCraftDeltaVItem, Fixed(0)}, {kCraftPushIndexItem, "0"}})
        EXPECT_EQ(Text(0, item), text) << "item " << item;  // a craft's radius in metres; no schedule shows zeros
    EXPECT_EQ(Text(1, kCraftForceUnitItem), "lbf");
    EXPECT_EQ(Text(1, kCraftForceItem), Fixed(100.0 / 4.44822));
    EXPECT_NEAR(set.craftThrust, 100.0, 1e-9);
    EXPECT_EQ(Listed(set.timedThrust), (Entries{{2000.0, 7}})) << "km/s, and the push index truncated";
    EXPECT_EQ(std::tuple(craft.bodyFlags, craft.ringRatio), std::tuple(kCraftFlag, 0.0));
    // The speed change keeps its value across its units: 3 m/s is 0.18 km/min, then 180/1609.344 mi/min.
    Schedule({{3.0, 10}});
    ASSERT_EQ(Run(craft, 0, {{{}, kCraftDeltaVTimeUnitItem}, {{}, kCraftDeltaVDistUnitItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(std::tuple(Text(1, kCraftDeltaVItem), Text(2, kCraftDeltaVItem)), std::tuple(Fixed(0.18), Fixed(180.0 / 1609.344)));
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
    for (size_t step = 0; step < seen.size(); ++step)
        EXPECT_EQ(std::tuple(Text(step, kCraftEntryCaptionItem), Text(step, kCraftPushIndexItem)),
                  std::tuple("Entry " + std::to_string(seen[step].first) + " of the thrust schedule", seen[step].second));
    EXPECT_EQ(Text(0, kCraftDeltaVItem), Fixed(0.001));  // 1 m/s in km/s
    EXPECT_EQ((std::array{Enabled(0, kCraftPrevEntryItem), Enabled(0, kCraftDeleteEntryItem), Enabled(1, kCraftPrevEntryItem),
                          Enabled(1, kCraftNextEntryItem), Enabled(1, kCraftDeleteEntryItem)}),
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
    Handle list = NewTTHandle();
    for (const auto& [dv, push] : c.before) {
        TimedThrustInfoStruct e{dv, push, 0};
        AddTTData(list, &e);
    }
    int32_t k = c.k;
    if (c.step == 0) DeleteThrustEntry(list, k);
    else EXPECT_TRUE(MoveThrustEntry(list, k, c.fields, c.step));
    EXPECT_EQ(Listed(list), c.after);
    EXPECT_EQ(k, c.kAfter);
    DisposeTTHandle(list);
}

INSTANTIATE_TEST_SUITE_P(
    ThrustEntries, ThrustMoves,
    ::testing::Values(ThrustMove{"Appended", {}, 0, {5.0, 30}, +1, {{5.0, 30}}, 1},
                      ThrustMove{"SortedInFirst", {{5.0, 30}}, 1, {2.0, 10}, +1, {{2.0, 10}, {5.0, 30}}, 1},
                      ThrustMove{"MergedOnItsPush", {{3.0, 10}, {1.0, 20}}, 2, {5.0, 10}, +1, {{8.0, 10}, {1.0, 20}}, 1},
                      ThrustMove{"EditedOntoAnotherPush", {{3.0, 10}, {1.0, 20}}, 1, {1.0, 10}, -1, {{4.0, 10}}, 0},
                      ThrustMove{"Resorted", {{1.0, 10}, {2.0, 20}}, 0, {1.5, 30}, +1, {{2.0, 20}, {1.5, 30}}, 2},
                      ThrustMove{"NoNumberDrops", {{1.0, 10}, {2.0, 20}, {3.0, 30}}, 1, {kNaN, 20}, +1, {{1.0, 10}, {3.0, 30}}, 1},
                      ThrustMove{"DroppedAtTheStart", {{1.0, 10}}, 0, {kNaN, kNaN}, -1, {}, 0},
                      ThrustMove{"IncompleteOnlyMoves", {{1.0, 10}}, 1, {0.0, 40}, -1, {{1.0, 10}}, 0},
                      ThrustMove{"PushZeroStays", {{1.0, 10}}, 1, {4.0, 0.5}, +1, {{1.0, 10}}, 1},
                      ThrustMove{"DeleteTheLast", {{1.0, 10}, {2.0, 20}}, 1, {}, 0, {{1.0, 10}}, 0},
                      ThrustMove{"DeleteTheFirst", {{1.0, 10}, {2.0, 20}}, 0, {}, 0, {{2.0, 20}}, 0},
                      ThrustMove{"DeleteTheBlank", {{1.0, 10}}, 1, {}, 0, {{1.0, 10}}, 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ThrustEntries, PushIndexIsTruncatedAndPinned) {
    EXPECT_EQ((std::array{ThrustFieldsPushIndex({1.0, 12.9}), ThrustFieldsPushIndex({1.0, -3.7}),
                          ThrustFieldsPushIndex({1.0, 1e30}), ThrustFieldsPushIndex({1.0, -1e30})}),
              (std::array{12, -3, INT32_MAX, INT32_MIN}));
}

TEST_F(EditorTest, NewBodyAndTheCraftItemAddARecordOnOkAndSelectIt) {
    AddBodies({"Sun"});
    backend.Expect({{{}, kEditCancelItem}});
    NewBodyMenuItem();
    backend.Expect({{{{kEditNameItem, "Earth"}}, kEditOkItem}});
    NewBodyMenuItem();
    EXPECT_EQ(Names(), (Texts{"Sun", "Earth"}));
    EXPECT_EQ(rt.selectedBody, 1);
    EXPECT_EQ(Text(0, kEditNumberItem), "2. body in the list");
    backend.Expect({{{{kEditNameItem, "Scout"}}, kEditOkItem}});  // the craft item adds one, then edits it
    Choose(kObjectsMenu, 5);
    ASSERT_EQ(GetCraftIndex(), 2);
    EXPECT_EQ(Body(2).bodyFlags, kCraftFlag);
    EXPECT_DOUBLE_EQ(set.craftThrust, 100.0) << "the default engine";
    backend.Expect({{{{kEditNameItem, "Pioneer"}, {kCraftForceItem, "250"}}, kEditOkItem}});
    Choose(kObjectsMenu, 5);
    EXPECT_EQ(Names(), (Texts{"Sun", "Earth", "Pioneer"}));
    EXPECT_DOUBLE_EQ(set.craftThrust, 250.0);
    Schedule({{1.0, 10}});  // Delete in a new craft's dialog clears the schedule and adds nothing
    backend.Expect({{{}, kEditDeleteItem}});
    NewCraftMenuItem();
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(set.timedThrust, kNoHandle);
}

TEST_F(EditorTest, EditBodyStoresOkRestartsTheRunAndIgnoresCancel) {
    AddBodies({"Sun", "Earth", "Mars"});
    for (int32_t selection : {-1, 3, 7}) {
        rt.selectedBody = selection;
        EditBodyMenuItem();
    }
    EXPECT_EQ(backend.opened, 0u) << "nothing to edit without a selection";
    rt.selectedBody = 1;
    TransferICsToRT();
    backend.Expect({{{{kEditNameItem, "Terra"}}, kEditCancelItem}});
    EditBodyMenuItem();
    EXPECT_EQ(Name(Body(1)), "Earth");
    EXPECT_NE(rt.bodyRT, kNoHandle) << "Cancel leaves the running simulation alone";
    backend.Expect({{{{kEditNameItem, "Terra"}, {kEditRadiusItem, "6371"}}, kEditOkItem}});
    EditBodyMenuItem();
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_DOUBLE_EQ(Body(1).radius, 6371000.0);
    EXPECT_EQ(rt.bodyRT, kNoHandle) << "rebuilt from the new initial conditions by the next push";
    backend.Expect({{{}, kEditDeleteItem}});
    EditBodyMenuItem();
    EXPECT_EQ(Names(), (Texts{"Sun", "Mars"}));
    EXPECT_EQ(rt.selectedBody, -1);
}

TEST_F(EditorTest, DeletingTheCraftKeepsTheSelectionOnItsBody) {
    DeleteBodyMenuItem();  // no list: nothing
    DeleteCraftMenuItem();
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
    rt.selectedBody = 0;
    DeleteBodyMenuItem();
    EXPECT_EQ(Names(), Texts{"Mars"});
    EXPECT_EQ(rt.selectedBody, -1);
    DeleteBodyMenuItem();  // nothing selected: the list stays
    EXPECT_EQ(Count(), 1);
}
