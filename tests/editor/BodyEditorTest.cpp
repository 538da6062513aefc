// The body dialog: what it shows, what it stores, and what it refuses.
#include <cmath>
#include <limits>

#include "EditorFixture.h"
#include "core/Units.h"
#include "imagery/SpherePix.h"
#include "windows/BodyEditorDraw.h"

namespace {

struct BodyEditorTest : EditorTest {
    // Runs the body dialog on `b` as body `index` with these steps.
    int32_t Run(BodyInfoStruct& b, int32_t index, std::vector<DialogStep> steps) {
        backend.Expect(std::move(steps));
        return EditBodyDialog(&b, index);
    }
    DialogRecord& Shown() { return backend.dialogs.back(); }
    // Texts the dialog showed before its first step.
    std::string FirstText(int16_t item) { return Shown().textsAtHit.at(0).at(item); }
};

std::string Fixed(double v) { return MyRealFixed2String(v, 12); }

}  // namespace

TEST_F(BodyEditorTest, OpensWithTheRecordInDisplayUnits) {
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);
    b.spinRate = 2 * M_PI / 86400.0;
    b.axisTilt = M_PI / 2;
    EXPECT_EQ(Run(b, 0, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(Shown().layout.title, "Body");
    // The empty name became the default in the caller's record as well.
    EXPECT_EQ(Name(b), "Body 1");
    EXPECT_EQ(FirstText(kEditNameItem), "Body 1");
    EXPECT_EQ(FirstText(kEditNumberItem), "1. body in the list");
    // Position (1000, 0, 0) m is 1 km along longitude 0; velocity (0, 1000, 0) m/s at longitude 90.
    EXPECT_EQ(FirstText(kEditPosItem), Fixed(0));
    EXPECT_EQ(FirstText(kEditPosItem + 2), "1.000000000000");
    EXPECT_EQ(FirstText(kEditPosItem + 3), "0");
    EXPECT_EQ(FirstText(kEditVelItem + 1), Fixed(90));
    EXPECT_EQ(FirstText(kEditVelItem + 3), "3");
    EXPECT_EQ(FirstText(kEditMassItem + 1), "3");
    EXPECT_EQ(FirstText(kEditRadiusItem), Fixed(1));  // 1000 m in km
    EXPECT_EQ(FirstText(kEditPosUnitItem), "km");
    EXPECT_EQ(FirstText(kEditVelDistUnitItem), "m");
    EXPECT_EQ(FirstText(kEditVelTimeUnitItem), "/s");
    EXPECT_EQ(FirstText(kEditRadiusUnitItem), "km");
    EXPECT_EQ(FirstText(kBodyPeriodItem), Fixed(86400));
    EXPECT_EQ(FirstText(kBodyTiltItem), Fixed(90));
    EXPECT_EQ(FirstText(kBodyRingRatioItem), Fixed(2.0));  // the stored 1.0 means no ring
    EXPECT_EQ(Shown().selected, kEditPosItem);
    EXPECT_FALSE(Shown().values[kBodyPictureCheckItem]);
    EXPECT_FALSE(Shown().values[kBodyRingsCheckItem]);
}

TEST_F(BodyEditorTest, OkStoresTheEntriesInSIUnits) {
    BodyInfoStruct b = Named("Moon");
    b.spinPhase = 1.0;
    b.reserved120[2] = 7;
    b.bodyFlags = 0x10;
    const int32_t r = Run(b, 0,
                          {{{{kEditPosItem, "90"}, {kEditPosItem + 1, "0"}, {kEditPosItem + 2, "2"},
                             {kEditPosItem + 3, "3"}, {kEditVelItem, "0"}, {kEditVelItem + 1, "0"},
                             {kEditVelItem + 2, "5"}, {kEditVelItem + 3, "0"}, {kEditMassItem, "3"},
                             {kEditMassItem + 1, "2"}, {kEditRadiusItem, "7"}, {kBodyTiltItem, "90"},
                             {kBodyAzimuthItem, "180"}, {kBodyPeriodItem, "1"}, {kBodyRingRatioItem, "2.5"}},
                            kEditOkItem}});
    ASSERT_EQ(r, 1);
    EXPECT_NEAR(b.pos[0], 0.0, 1e-6);
    EXPECT_NEAR(b.pos[2], 2.0e6, 1e-6);  // 2e3 km straight up
    EXPECT_NEAR(b.vel[0], 5.0, 1e-12);
    EXPECT_NEAR(b.mass, 300.0, 1e-9);
    EXPECT_NEAR(b.radius, 7000.0, 1e-9);
    EXPECT_NEAR(b.axisTilt, M_PI / 2, 1e-12);
    EXPECT_NEAR(b.axisAzimuth, M_PI, 1e-12);
    EXPECT_NEAR(b.spinRate, 2 * M_PI, 1e-12);
    EXPECT_DOUBLE_EQ(b.ringRatio, 2.5);
    // Only the craft bit survives; phase and spare words start again from zero.
    EXPECT_EQ(b.bodyFlags, 0u);
    EXPECT_EQ(b.spinPhase, 0.0);
    EXPECT_EQ(b.reserved120[2], 0u);
    EXPECT_EQ(Name(b), "Moon");
}

TEST_F(BodyEditorTest, VectorsSurviveTheSphericalRoundTrip) {
    BodyInfoStruct b = Named("Probe");
    const double pos[3] = {3.0e9, -4.0e9, 12.0e9}, vel[3] = {-1.5e4, 2.5e3, -7.0};
    std::memcpy(b.pos, pos, sizeof pos);
    std::memcpy(b.vel, vel, sizeof vel);
    ASSERT_EQ(Run(b, 0, {{{}, kEditOkItem}}), 1);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(b.pos[c], pos[c], 1e-9 * 13.0e9);
        EXPECT_NEAR(b.vel[c], vel[c], 1e-9 * 1.6e4);
    }
}

TEST_F(BodyEditorTest, OkWaitsForANameAndNumbersEverywhere) {
    BodyInfoStruct b = Named("Io");
    const BodyInfoStruct before = b;
    const int32_t r = Run(b, 0,
                          {{{{kEditNameItem, ""}}, 0},
                           {{}, kEditOkItem},  // refused: no name
                           {{{kEditNameItem, "Io"}, {kEditPosItem + 1, "east"}}, 0},
                           {{}, kEditOkItem},  // refused: a field without a number
                           {{{kEditPosItem + 1, "10"}, {kEditMassItem + 1, "x"}}, 0},
                           {{{kEditMassItem + 1, "1"}, {kBodyRingRatioItem, "-"}}, 0},
                           {{{kBodyRingRatioItem, "3"}}, kEditOkItem}});
    ASSERT_EQ(r, 1);
    const auto& seen = Shown().enabledAtHit;
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_TRUE(seen[0].at(kEditOkItem));
    EXPECT_FALSE(seen[1].at(kEditOkItem));
    EXPECT_FALSE(seen[3].at(kEditOkItem));
    EXPECT_FALSE(seen[5].at(kEditOkItem));
    EXPECT_FALSE(seen[6].at(kEditOkItem));
    EXPECT_NE(b.pos[1], before.pos[1]);  // the longitude of 10 degrees was stored
}

TEST_F(BodyEditorTest, LongNamesAreCutTo31Characters) {
    BodyInfoStruct b = Named("x");
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(40, 'N')}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(31, 'N'));
    // A cut never splits a character: 30 letters and a two-byte one keep only the letters.
    ASSERT_EQ(Run(b, 0, {{{{kEditNameItem, std::string(30, 'a') + "\u00e9b"}}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), std::string(30, 'a'));
}

TEST_F(BodyEditorTest, DefaultNameCountsFromTheIndex) {
    ASSERT_EQ(AddABody(Named("Sun")), 1);
    ASSERT_EQ(AddABody(Named("Earth")), 1);
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);
    ASSERT_EQ(Run(b, 2, {{{}, kEditOkItem}}), 1);
    EXPECT_EQ(Name(b), "Body 3");
    EXPECT_EQ(FirstText(kEditNumberItem), "3. body in the list");
}

TEST_F(BodyEditorTest, ParentsOutOfRangeAreReset) {
    ASSERT_EQ(AddABody(Named("Sun")), 1);
    ASSERT_EQ(AddABody(Named("Earth")), 1);
    for (int32_t bad : {5, 2, -1}) {
        BodyInfoStruct b = Named("Moon");
        b.parent = bad;
        EXPECT_EQ(Run(b, 1, {{{}, kEditCancelItem}}), 0);
        EXPECT_EQ(b.parent, 0) << bad;  // the caller's record is fixed even on Cancel
    }
    BodyInfoStruct b = Named("Moon");
    b.parent = 1;
    EXPECT_EQ(Run(b, 1, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(b.parent, 1);
    // A new body may keep the last body as its parent.
    b.parent = 2;
    EXPECT_EQ(Run(b, 2, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(b.parent, 2);
}

TEST_F(BodyEditorTest, TheFirstBodyCanHaveNoParent) {
    BodyInfoStruct b = Named("Sun");
    DialogRecord& rec = backend.Expect({{{}, kEditParentItem}, {{}, kEditOkItem}});
    rec.popUpChoices = {1};
    ASSERT_EQ(EditBodyDialog(&b, 0), 1);
    ASSERT_EQ(Shown().popUpEntries.size(), 1u);
    EXPECT_EQ(Shown().popUpEntries[0], std::vector<std::string>{"None"});
    EXPECT_EQ(b.parent, 0);
}

TEST_F(BodyEditorTest, ThePopUpOffersTheEarlierBodies) {
    ASSERT_EQ(AddABody(Named("Sun")), 1);
    ASSERT_EQ(AddABody(Named("Earth")), 1);
    BodyInfoStruct b = Named("Moon");
    DialogRecord& rec = backend.Expect({{{}, kEditParentItem}, {{}, kEditParentItem}, {{}, kEditParentItem},
                                        {{}, kEditOkItem}});
    rec.popUpChoices = {4, 2, 0};  // Earth, then the separator and a cancelled pop-up change nothing
    ASSERT_EQ(EditBodyDialog(&b, 2), 1);
    const std::vector<std::string> offered{"None", "-", "Sun", "Earth"};
    EXPECT_EQ(Shown().popUpEntries.at(0), offered);
    EXPECT_EQ(Shown().popUpChecked, (std::vector<int16_t>{1, 4, 4}));
    EXPECT_EQ(b.parent, 2);
    // Choosing "None" clears the parent again.
    rec.popUpChoices.clear();
    backend.Expect({{{}, kEditParentItem}, {{}, kEditOkItem}}).popUpChoices = {1};
    ASSERT_EQ(EditBodyDialog(&b, 2), 1);
    EXPECT_EQ(b.parent, 0);
}

TEST_F(BodyEditorTest, ParentFaceIsShortenedToFitItsItem) {
    backend.textWidthPerByte = 7;
    ASSERT_EQ(AddABody(Named(std::string(31, 'L').c_str())), 1);
    BodyInfoStruct b = Named("Moon");
    b.parent = 1;
    EXPECT_EQ(Run(b, 1, {{{}, kEditCancelItem}}), 0);
    EXPECT_GT(Shown().presented[kEditParentItem], 0);
    // The item is 188 wide, 187 after the shadow's pixel: 19 letters and the ellipsis
    // (22 bytes of 7 pixels) are the longest text whose width + 29 stays below it.
    const std::string fitted = FitPopUpText(std::string(31, 'L'), 187, 5);
    EXPECT_EQ(fitted, std::string(19, 'L') + "\u2026");
    // The frame is as wide as the text plus 29; the shadow runs along the bottom and the right.
    const DialogRecord& shown = Shown();
    EXPECT_EQ(shown.Pixel(kEditParentItem, 182, 5), 0x000000u);
    EXPECT_EQ(shown.Pixel(kEditParentItem, 184, 5), 0xFFFFFFu);
    EXPECT_EQ(shown.Pixel(kEditParentItem, 100, 19), 0x000000u);
    EXPECT_EQ(shown.Pixel(kEditParentItem, 187, 10), 0x000000u);
    EXPECT_EQ(shown.Pixel(kEditParentItem, 1, 19), 0xFFFFFFu);
    // Short texts are never cut.
    EXPECT_EQ(FitPopUpText("Moon", 10, 5), "Moon");
}

TEST_F(BodyEditorTest, UnitButtonsKeepTheQuantity) {
    BodyInfoStruct b = Named("Mars");
    const int32_t r = Run(b, 0,
                          {{{}, kEditPosUnitItem},       // km -> mi
                           {{}, kEditRadiusUnitItem},    // km -> mi
                           {{}, kEditVelTimeUnitItem},   // /s -> /min
                           {{}, kEditVelDistUnitItem},   // m -> km
                           {{}, kEditMassUnitItem},      // kg -> g
                           {{}, kEditOkItem}});
    ASSERT_EQ(r, 1);
    const auto& t = Shown().textsAtHit;
    EXPECT_EQ(t[1].at(kEditPosUnitItem), "mi");
    EXPECT_NEAR(StringsToMantExp(t[1].at(kEditPosItem + 2), t[1].at(kEditPosItem + 3)), 1000.0 / 1609.344, 1e-12);
    EXPECT_EQ(t[2].at(kEditRadiusItem), Fixed(1000.0 / 1609.344));
    // 1000 m/s is 60000 m/min, then 60 km/min.
    EXPECT_NEAR(StringsToMantExp(t[3].at(kEditVelItem + 2), t[3].at(kEditVelItem + 3)), 60000.0, 1e-6);
    EXPECT_NEAR(StringsToMantExp(t[4].at(kEditVelItem + 2), t[4].at(kEditVelItem + 3)), 60.0, 1e-9);
    EXPECT_EQ(t[5].at(kEditMassUnitItem), "g");
    EXPECT_EQ(t[5].at(kEditMassItem + 1), "6");
    // Stored quantities are unchanged by the unit changes.
    EXPECT_NEAR(b.pos[0], 1000.0, 1e-9);
    EXPECT_NEAR(b.vel[1], 1000.0, 1e-9);
    EXPECT_NEAR(b.radius, 1000.0, 1e-9);
    EXPECT_NEAR(b.mass, 1000.0, 1e-9);
}

TEST_F(BodyEditorTest, RotatingAUnitLeavesAFieldWithoutANumber) {
    BodyInfoStruct b = Named("Vesta");
    const int32_t r = Run(b, 0,
                          {{{{kEditRadiusItem, "big"}}, kEditRadiusUnitItem},
                           {{{kEditRadiusItem, "1"}}, kEditOkItem}});
    ASSERT_EQ(r, 1);
    EXPECT_EQ(Shown().textsAtHit[1].at(kEditRadiusItem), "big");
    EXPECT_EQ(Shown().textsAtHit[1].at(kEditRadiusUnitItem), "mi");
    EXPECT_NEAR(b.radius, 1609.344, 1e-9);  // typed in the new unit
}

TEST_F(BodyEditorTest, ZeroPeriodAndZeroSpinMeetEachOther) {
    BodyInfoStruct b = Named("Rock");
    b.spinRate = 1.0;
    ASSERT_EQ(Run(b, 0, {{{{kBodyPeriodItem, "0"}}, kEditOkItem}}), 1);
    EXPECT_EQ(b.spinRate, 0.0);
    ASSERT_EQ(Run(b, 0, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(FirstText(kBodyPeriodItem), Fixed(0));
    // A period of one minute, typed after switching the unit.
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPeriodUnitItem}, {{{kBodyPeriodItem, "1"}}, kEditOkItem}}), 1);
    EXPECT_NEAR(b.spinRate, 2 * M_PI / 60.0, 1e-15);
}

TEST_F(BodyEditorTest, RingRatioAboveOneIsShownAsStored) {
    BodyInfoStruct b = Named("Saturn");
    b.ringRatio = 2.25;
    EXPECT_EQ(Run(b, 0, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(FirstText(kBodyRingRatioItem), Fixed(2.25));
    b.ringRatio = 0.5;
    EXPECT_EQ(Run(b, 0, {{{}, kEditCancelItem}}), 0);
    EXPECT_EQ(FirstText(kBodyRingRatioItem), Fixed(2.0));
}

TEST_F(BodyEditorTest, ColourComesFromThePickerWhenConfirmed) {
    BodyInfoStruct b = Named("Neptune");
    backend.colorChoices = {std::nullopt, RGBColor{0x1200, 0x3400, 0x5600}};
    ASSERT_EQ(Run(b, 0, {{{}, kBodyColorItem}, {{}, kBodyColorItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(backend.colorPrompts.at(0), GetIndString(1024, 3));
    EXPECT_EQ(b.color.red, 0x1200);
    EXPECT_EQ(b.color.blue, 0x5600);
    // The swatch was painted with the chosen colour before OK.
    EXPECT_EQ(Shown().Pixel(kBodyColorItem, 10, 8), 0x123456u);
}

TEST_F(BodyEditorTest, PictureChosenAndDroppedThroughTheCheckBox) {
    BodyInfoStruct b = Named("Earth");
    backend.chosenFiles = {WritePicture("blue.pict", 0x0000FF)};
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_TRUE(Shown().values[kBodyPictureCheckItem]);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0x0000FFu);  // the picture scaled into the frame
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 1, 1), 0x000000u);    // the double frame
    ASSERT_NE(b.spherePixID, 0);
    EXPECT_NE(GetSphereListPICT(rt.spherePixList, b.spherePixID), kNoHandle);
    // Opened again, the box is on; unchecking it and OK releases the entry.
    const int32_t id = b.spherePixID;
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_TRUE(Shown().textsAtHit.size() == 2);
    EXPECT_FALSE(Shown().values[kBodyPictureCheckItem]);
    EXPECT_EQ(b.spherePixID, 0);
    EXPECT_EQ(GetSphereListPICT(rt.spherePixList, id), kNoHandle);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFFFFFFu);  // white without a picture
}

TEST_F(BodyEditorTest, UnchangedPictureKeepsItsEntryAndCancelFreesANewOne) {
    BodyInfoStruct b = Named("Earth");
    backend.chosenFiles = {WritePicture("a.pict", 0x00FF00), WritePicture("b.pict", 0xFF0000)};
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    const int32_t id = b.spherePixID;
    const Handle picture = GetSphereListPICT(rt.spherePixList, id);
    ASSERT_EQ(Run(b, 0, {{{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.spherePixID, id);
    EXPECT_EQ(GetSphereListPICT(rt.spherePixList, id), picture);
    // Swapping the picture and cancelling keeps the old one and frees the new one (leak check).
    ASSERT_EQ(Run(b, 0, {{{}, kBodyPictureCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kEditCancelItem}}), 0);
    EXPECT_EQ(Shown().Pixel(kBodyPictureItem, 50, 50), 0xFF0000u);
    EXPECT_EQ(GetSphereListPICT(rt.spherePixList, id), picture);
    DisposeSpherePixData(rt.spherePixList, id);
}

TEST_F(BodyEditorTest, RingsFromAPictureAndBackToNone) {
    BodyInfoStruct b = Named("Saturn");
    backend.chosenFiles = {WritePicture("ring.pict", 0x808040, 64, 1)};
    const int32_t before = LiveHandleCount();
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    ASSERT_NE(b.ringPix, kNoHandle);
    EXPECT_EQ(GetHandleSize(b.ringPix), 4096);
    EXPECT_EQ(LiveHandleCount(), before + 1);  // the profile only; the picture was freed
    EXPECT_TRUE(Shown().values[kBodyRingsCheckItem]);
    EXPECT_EQ(Shown().Pixel(kBodyRingItem, 100, 15), 0x808040u);
    EXPECT_EQ(Shown().Pixel(kBodyRingItem, 0, 0), 0x000000u);  // frame
    // Cancel leaves the record's profile alone and frees the private copy.
    const Handle ring = b.ringPix;
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditCancelItem}}), 0);
    EXPECT_EQ(b.ringPix, ring);
    EXPECT_TRUE(IsValidHandle(ring));
    EXPECT_EQ(LiveHandleCount(), before + 1);
    // Unchecked and confirmed: the profile is gone.
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.ringPix, kNoHandle);
    EXPECT_EQ(LiveHandleCount(), before);
}

TEST_F(BodyEditorTest, AnUnreadablePictureFileChangesNothing) {
    BodyInfoStruct b = Named("Pluto");
    backend.chosenFiles = {(scratch / "missing.pict").string(), (scratch / "missing.pict").string()};
    ASSERT_EQ(Run(b, 0, {{{}, kBodyRingsCheckItem}, {{}, kBodyPictureCheckItem}, {{}, kEditOkItem}}), 1);
    EXPECT_EQ(b.ringPix, kNoHandle);
    EXPECT_EQ(b.spherePixID, 0);
    EXPECT_EQ(backend.alerts.size(), 2u);
}

TEST_F(BodyEditorTest, DeleteAndCancelLeaveTheRecord) {
    BodyInfoStruct b = Named("Ceres");
    const BodyInfoStruct before = b;
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditDeleteItem}}), -1);
    EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
    EXPECT_EQ(Run(b, 0, {{{{kEditMassItem, "9"}}, kEditCancelItem}}), 0);
    EXPECT_EQ(std::memcmp(&b, &before, sizeof b), 0);
}

TEST_F(BodyEditorTest, NoRecordNoDialogAndNoMemoryCountAsCancel) {
    EXPECT_EQ(EditBodyDialog(nullptr, 0), 0);
    EXPECT_EQ(backend.opened, 0u);
    BodyInfoStruct b = Named("Ringed");
    b.ringPix = NewHandle(4096);
    // No room for the private copy of the profile.
    SetMemoryLimitForTesting(LiveHandleBytes());
    EXPECT_EQ(EditBodyDialog(&b, 0), 0);
    EXPECT_EQ(backend.opened, 0u);
    EXPECT_EQ(backend.beeps, 1);
    SetMemoryLimitForTesting(0);
    // A platform without dialogs: Cancel, and the copy is freed again.
    SetPlatformBackend(nullptr);
    const int32_t handles = LiveHandleCount();
    EXPECT_EQ(EditBodyDialog(&b, 0), 0);
    EXPECT_EQ(LiveHandleCount(), handles);
    SetPlatformBackend(&backend);
    DisposeHandle(b.ringPix);
}

TEST_F(BodyEditorTest, LayoutHasEveryItemOnceInsideTheDialog) {
    for (const DialogLayout& layout : {BodyDialogLayout(), CraftDialogLayout()}) {
        std::map<int16_t, int> seen;
        for (const DialogItem& item : layout.items) {
            ++seen[item.number];
            EXPECT_GE(item.box.left, 0);
            EXPECT_LE(item.box.right, layout.width) << item.number;
            EXPECT_LE(item.box.bottom, layout.height) << item.number;
            EXPECT_LT(item.box.top, item.box.bottom);
        }
        for (const auto& [number, n] : seen) EXPECT_EQ(n, 1) << layout.title << " item " << number;
        for (int16_t needed : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23})
            EXPECT_EQ(seen.count(needed), 1u) << layout.title << " lacks " << needed;
    }
    const DialogLayout body = BodyDialogLayout();
    for (const DialogItem& item : body.items) {
        if (item.number == kEditParentItem || item.number == kBodyColorItem || item.number == kBodyPictureItem ||
            item.number == kBodyRingItem) {
            EXPECT_EQ(item.kind, DialogItemKind::UserItem);
        }
        if (item.number == kBodyPictureCheckItem || item.number == kBodyRingsCheckItem) {
            EXPECT_EQ(item.kind, DialogItemKind::CheckBox);
        }
        if (item.number >= 100) {
            EXPECT_EQ(item.kind, DialogItemKind::StaticText);
        }
    }
}
