// Sheets, the unit-cycling dialog, the keyboard filter and the progress bar.
#include <gtest/gtest.h>

#include <cmath>

#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Events.h"
#include "core/Strings.h"
#include "core/Units.h"

namespace {

struct DialogsTest : ::testing::Test {
    ScriptedDialogBackend backend;
    void SetUp() override { SetPlatformBackend(&backend); }
    void TearDown() override { SetPlatformBackend(nullptr); }
};

const DialogItem* FindItem(const DialogLayout& layout, int16_t number) {
    for (const DialogItem& item : layout.items)
        if (item.number == number) return &item;
    return nullptr;
}

int CountKind(const DialogLayout& layout, DialogItemKind kind) {
    int n = 0;
    for (const DialogItem& item : layout.items) n += item.kind == kind;
    return n;
}

}  // namespace

TEST_F(DialogsTest, SheetFieldEmptiedByTheUserKeepsTheShownValue) {
    backend.Expect({{{{kSheetFirstFieldItem, ""}, {kSheetFirstFieldItem + 1, "7.5"}}, kSheetOkayItem}});
    double values[2] = {3.25, 1.0};
    ASSERT_EQ(DoSimpleDialogSheet(values, {"a", "b"}, nullptr, 1, 2, 2), 1);
    EXPECT_DOUBLE_EQ(values[0], 3.25);
    EXPECT_DOUBLE_EQ(values[1], 7.5);
    // The fields showed the values with the digits asked for; the first field has the focus.
    EXPECT_EQ(backend.dialogs[0].textsAtHit[0][kSheetFirstFieldItem], MyRealFixed2String(3.25, 2));
    EXPECT_EQ(backend.dialogs[0].selected, kSheetFirstFieldItem);
}

TEST_F(DialogsTest, SheetCancelAndEditsLeaveValues) {
    backend.Expect({{{{kSheetFirstFieldItem, "99"}}, 0}, {{}, kSheetCancelItem}});
    double v = 4.0;
    EXPECT_EQ(DoSimpleDialogSheet(&v, {"p"}, nullptr, 1, 1, 0), 0);
    EXPECT_DOUBLE_EQ(v, 4.0);
    // No platform dialog at all counts as Cancel.
    SetPlatformBackend(nullptr);
    EXPECT_EQ(DoSimpleDialogSheet(&v, {"p"}, nullptr, 1, 1, 0), 0);
}

TEST_F(DialogsTest, SheetTextIsCutTo255AndNonNumbersReadAsNaN) {
    backend.Expect({{{{kSheetFirstFieldItem, std::string(300, 'x')}}, kSheetOkayItem}});
    std::vector<std::string> strings{"old"};
    ASSERT_EQ(ModalSimpleStringSheetDialog(1, strings, {"p"}, nullptr, 1), 1);
    EXPECT_EQ(strings[0].size(), 255u);
    backend.Expect({{{{kSheetFirstFieldItem, "abc"}}, kSheetOkayItem}});
    double v = 1.0;
    ASSERT_EQ(DoSimpleDialogSheet(&v, {"p"}, nullptr, 1, 1, 0), 1);
    EXPECT_TRUE(std::isnan(v));
}

TEST(SheetLayout, FieldsAreCappedAtFourAndPlacedByLines) {
    const std::vector<std::string> units{"u1", "u2"};
    DialogLayout one = SimpleSheetLayout(1, {"p"}, &units, 2);
    // Prompt from 24 to 264 right-aligned, 32 high for two lines; field 16 high ending with it; units beside.
    const DialogItem* prompt = FindItem(one, 10);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->box.top, 20);
    EXPECT_EQ(prompt->box.bottom, 52);
    EXPECT_EQ(prompt->justify, TextJustify::Right);
    const DialogItem* field = FindItem(one, kSheetFirstFieldItem);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->box.top, 36);
    EXPECT_EQ(field->box.right, 356);
    EXPECT_NE(FindItem(one, 20), nullptr);
    const DialogItem* okay = FindItem(one, kSheetOkayItem);
    EXPECT_EQ(okay->box.top, 52 + 24);
    EXPECT_EQ(okay->text, "Okay");
    EXPECT_EQ(one.height, okay->box.bottom + 24);
    EXPECT_EQ(one.width, 440);

    DialogLayout five = SimpleSheetLayout(5, {"a", "b", "c", "d", "e"}, nullptr, 1);
    EXPECT_EQ(CountKind(five, DialogItemKind::EditText), 4);
    EXPECT_EQ(FindItem(five, kSheetFirstFieldItem)->box.right, 416);  // no units: wider fields
    EXPECT_EQ(FindItem(five, kSheetFirstFieldItem + 1)->box.top, 20 + 16 + 16);
}

TEST_F(DialogsTest, UnitButtonCyclesTimeUnitsAndConvertsTheShownValue) {
    // Press the unit button four times, looking at the field each time, then OK.
    backend.Expect({{{}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{}, kFlipUnitItem}, {{}, kFlipUnitItem},
                    {{}, kFlipUnitItem}, {{}, kFlipOkItem}});
    double step = 120.0;
    ASSERT_EQ(DoSimpleEntryFlipUnitsDialog(RotateTimeUnit, &step, 1, 16, 1026, "Time step:", "Time Step"), 1);
    const DialogRecord& d = backend.dialogs[0];
    EXPECT_DOUBLE_EQ(String2MyReal(d.textsAtHit[0].at(kFlipValueItem)), 120.0);
    EXPECT_EQ(d.textsAtHit[0].at(kFlipUnitItem), GetIndString(kTimeUnitList, 1));
    EXPECT_DOUBLE_EQ(String2MyReal(d.textsAtHit[1].at(kFlipValueItem)), 2.0);  // minutes
    EXPECT_EQ(d.textsAtHit[1].at(kFlipUnitItem), GetIndString(kTimeUnitList, 2));
    EXPECT_EQ(d.textsAtHit[2].at(kFlipUnitItem), GetIndString(kTimeUnitList, 3));
    EXPECT_EQ(d.textsAtHit[4].at(kFlipUnitItem), GetIndString(kTimeUnitList, 1));  // four presses: seconds again
    EXPECT_NEAR(String2MyReal(d.textsAtHit[4].at(kFlipValueItem)), 120.0, 1e-9);
    // OK after a fifth press: the value comes back in SI, whatever unit is shown.
    EXPECT_NEAR(step, 120.0, 1e-9);
    EXPECT_EQ(d.layout.title, "Time Step");
}

TEST_F(DialogsTest, UnitDialogCancelChangesNothing) {
    backend.Expect({{{{kFlipValueItem, "5"}}, kFlipCancelItem}});
    double step = 10.0;
    EXPECT_EQ(DoSimpleEntryFlipUnitsDialog(RotateTimeUnit, &step, 1, 16, 1026, "p", "t"), 0);
    EXPECT_DOUBLE_EQ(step, 10.0);
}

TEST(DialogFilter, ReturnEnterEscapeAndCommandPeriod) {
    auto key = [](uint8_t ch, uint16_t modifiers) {
        EventRecord e{};
        e.what = kKeyDownEvent;
        e.message = ch;
        e.modifiers = modifiers;
        return e;
    };
    int16_t item = 0;
    EXPECT_TRUE(MyDefaultDialogFiltProc(key(13, 0), item));
    EXPECT_EQ(item, 1);
    EXPECT_TRUE(MyDefaultDialogFiltProc(key(3, 0), item));
    EXPECT_EQ(item, 1);
    EXPECT_TRUE(MyDefaultDialogFiltProc(key(27, 0), item));
    EXPECT_EQ(item, 2);
    item = 0;
    EXPECT_TRUE(MyDefaultDialogFiltProc(key('.', kCmdKeyModifier), item));
    EXPECT_EQ(item, 2);
    EXPECT_FALSE(MyDefaultDialogFiltProc(key('q', kCmdKeyModifier), item));
    EXPECT_FALSE(MyDefaultDialogFiltProc(key(13, kCmdKeyModifier), item));  // command keys other than period pass
    EXPECT_FALSE(MyDefaultDialogFiltProc(key('a', 0), item));
    EventRecord up = key(13, 0);
    up.what = kKeyUpEvent;
    EXPECT_FALSE(MyDefaultDialogFiltProc(up, item));
}

TEST_F(DialogsTest, GravitationalConstantDialogDimsOkWhileNotANumber) {
    backend.Expect({{{{kGravMantissaItem, "abc"}}, 0},
                    {{}, kGravOkItem},  // refused: still not a number
                    {{{kGravMantissaItem, "6.674"}, {kGravExponentItem, "-11"}}, 0},
                    {{}, kGravOkItem}});
    double g = 6.672e-11;
    ASSERT_EQ(DoGravitationalConstantDialog(&g), 1);
    EXPECT_NEAR(g, 6.674e-11, 1e-20);
    const DialogRecord& d = backend.dialogs[0];
    EXPECT_EQ(d.textsAtHit[0].at(kGravExponentItem), "-11");  // shown as mantissa and exponent
    EXPECT_TRUE(d.enabledAtHit[0].at(kGravOkItem));
    EXPECT_FALSE(d.enabledAtHit[1].at(kGravOkItem));
    EXPECT_FALSE(d.enabledAtHit[2].at(kGravOkItem));
    EXPECT_TRUE(d.enabledAtHit[3].at(kGravOkItem));
}

struct StatusRecorder : PlatformBackend {
    std::vector<std::pair<uint32_t, uint32_t>> draws;
    int opens = 0, closes = 0;
    std::string title;
    void StatusWindowOpen(uint32_t, const std::string& t) override {
        ++opens;
        title = t;
    }
    void StatusWindowDraw(uint32_t slot, uint32_t position, const std::string*) override {
        draws.emplace_back(slot, position);
    }
    void StatusWindowClose() override { ++closes; }
};

TEST(StatusWindow, BarPositionsAndOpeningDrawsEverySlotEmpty) {
    EXPECT_EQ(StatusBarPosition(5, 10), 250u);
    EXPECT_EQ(StatusBarPosition(20, 10), 500u);  // above its maximum: a full bar
    EXPECT_EQ(StatusBarPosition(1, 1), 500u);
    EXPECT_EQ(StatusBarPosition(0, 0), 0u);      // no maximum: empty, and no division by zero
    EXPECT_EQ(StatusBarPosition(4000000000u, 4000000000u), 500u);  // large maxima do not overflow
    EXPECT_EQ(StatusBarPosition(2000000000u, 4000000000u), 250u);

    StatusRecorder recorder;
    SetPlatformBackend(&recorder);
    NewStatusWindow(2, nullptr);
    EXPECT_EQ(recorder.title, "Progress\u2026");
    ASSERT_EQ(recorder.draws.size(), 3u);
    EXPECT_EQ(recorder.draws[0].first, 2u);  // from the last slot down to 0
    EXPECT_EQ(recorder.draws[2].first, 0u);
    EXPECT_EQ(recorder.draws[2].second, kStatusBarUnchanged);
    DrawStatusBar(0, 3, 4, nullptr);
    EXPECT_EQ(recorder.draws.back().second, 375u);
    DisposeStatusWindow();
    EXPECT_EQ(recorder.closes, 2);  // opening closed any earlier window first
    SetPlatformBackend(nullptr);
}
