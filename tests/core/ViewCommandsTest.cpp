// What a new user meets in the View menu and on opening a universe: Fit All, a camera body
// chosen alone, stereo without a separation, the note after opening, labels beside a globe.
#include <gtest/gtest.h>

#include <cmath>

#include "FrameServices.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Menus.h"
#include "shell/Document.h"
#include "render/LabelPlacement.h"
#include "render/RenderBuffer.h"

namespace {

struct Backend : ScriptedDialogBackend {
    uint32_t ticks = 1000;
    uint32_t TickCount() override { return ticks; }
};
struct NoteSink : MainWindowSink {
    std::string note = "none";
    void ShowNoteInMainWindow(const std::string& t) override { note = t; }
};

struct ViewCommands : FrameFixture {
    Backend backend;
    NoteSink notes;
    int32_t sun = 0, planet = 0, moon = 0;
    void SetUp() override {
        FrameFixture::SetUp();
        SetPlatformBackend(&backend), SetMainWindowServices(&notes);
        SetupMenus();
        // Seen from far out on +x: the planet off to the screen's right, the moon nearer and up.
        sun = AddBody("Sun", 0, 0, 2e30, 5e9);  // large, so that each is a disc some 15 pixels across
        planet = AddBody("Planet", 0, 0, 6e24, 4e9, 1.5e11);
        moon = AddBody("Moon", 8e10, 0, 7e22, 3e9), BodyList()->body[moon].pos[2] = 3e10;
        set.displayFlags |= kStarFieldOffFlag, set.eyeRadius = 0, set.labelFlags = 0;
        SetControl(kPausedControl);
        Pass();
    }
    void TearDown() override {
        DisposeMenus();
        FrameFixture::TearDown();
    }
    Point At(int32_t b) { return BodyRTList()->body[b].screenPos; }
    void CtrlKey(uint8_t ch) { Key(kKeyDownEvent, ch, 0, kCmdKeyModifier), Key(kKeyUpEvent, ch, 0, kCmdKeyModifier); }
};

TEST_F(ViewCommands, FitAllBringsEveryBodyIntoViewAndStereoThenProposesASeparationWithDepth) {
    const int32_t w = renderGWRect.right, h = renderGWRect.bottom;
    EXPECT_GT(At(planet).h, w) << "the planet starts out of view";
    CtrlKey('0');
    Pass(60);
    int32_t widest = 0;
    for (int32_t b : {sun, planet, moon}) {
        EXPECT_TRUE(At(b).h >= 0 && At(b).h < w && At(b).v >= 0 && At(b).v < h) << b << ": " << At(b).h << "," << At(b).v;
        widest = std::max(widest, std::abs(At(b).h - w / 2));
    }
    EXPECT_GT(widest, w / 4) << "framed snugly, not from afar";
    backend.Expect({{{}, kSheetOkayItem}});  // the proposed separation accepted as it stands
    CtrlKey('3');
    ASSERT_EQ(backend.opened, 1u);
    EXPECT_NE(backend.dialogs[0].textsAtHit.at(0).at(kSheetFirstFieldItem), "0");
    EXPECT_TRUE(set.eyeRadius > 0 && (set.displayFlags & kStereoOnFlag));
    Pass();
    int split = 0;  // pixels where the red eye's view and the cyan eye's differ
    for (int32_t t = 0; t < w * h; ++t) split += std::abs(int((renderGW[t] >> 16) & 255) - int((renderGW[t] >> 8) & 255)) > 40;
    EXPECT_GT(split, 50);
}

TEST_F(ViewCommands, ACameraBodyChosenAloneIsFollowed) {
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, int16_t(3 + planet)));
    EXPECT_EQ(set.cameraMode, 1);
    Pass(60);
    EXPECT_NEAR(At(planet).h, renderGWRect.right / 2, 1);
    EXPECT_NEAR(At(planet).v, renderGWRect.bottom / 2, 1);
}

TEST_F(ViewCommands, AnOpenedUniverseSaysWhetherItRunsUntilPausedOrForAFewSeconds) {
    ClearControl(kPausedControl);
    backend.chosenFiles = {GRAVITAS_SOURCE_DIR "/data/universes/sun-earth-moon.universe"};
    for (const bool pause : {true, false}) {
        backend.Expect({{{}, kSaveChangesDiscardItem}});  // the bodies added are not kept
        HandleMenuEv(MenuChoice(kFileMenu, kOpenItem));
        EXPECT_EQ(notes.note.rfind(pause ? "Running" : "Paused", 0), 0u) << notes.note;
        EXPECT_NE(notes.note.find("Fit All"), std::string::npos);
        Pass(3);
        EXPECT_NE(notes.note, "");
        if (pause) Key(kKeyDownEvent, ' '), Key(kKeyUpEvent, ' ');
        else backend.ticks += 8 * 60;
        Pass();
        EXPECT_EQ(notes.note, "");
        backend.nextFile = 0;
    }
}

// A label hung from a disc's square is moved in to the disc's edge in the rows it takes.
TEST(LabelBeside, ADiscNarrowsItsSquareToItsWidthInTheLabelsRows) {
    struct Case { int32_t r, top, bottom; } cases[] = {{300, 2, 18}, {300, 150, 170}, {300, 290, 320}, {8, 2, 34}, {40, -60, -40}};
    for (const Case& c : cases) {
        const Rect square{0, 100, 600, 700};  // the disc's square, centre (400, 300)
        const Rect r = DiscWidthInRows(square, 400, 300, c.r, c.top, c.bottom);
        double widest = 0;  // the disc's half width over the rows
        for (int32_t y = c.top; y < c.bottom; ++y) {
            const double dy = y - 300;
            if (std::fabs(dy) < c.r) widest = std::max(widest, std::sqrt(double(c.r) * c.r - dy * dy));
        }
        EXPECT_LE(std::fabs(r.right - 400 - widest), 1.0) << c.r << " " << c.top;
        EXPECT_LE(std::fabs(400 - r.left - widest), 1.0) << c.r << " " << c.top;
    }
}

}  // namespace
