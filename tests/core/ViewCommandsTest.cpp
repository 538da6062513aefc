// What a new user meets in the View menu and on opening a universe: Fit All, a camera body
// chosen alone, stereo without a separation, the note after opening.
#include <gtest/gtest.h>

#include "FrameServices.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Menus.h"
#include "shell/Document.h"
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
        SetPlatformBackend(&backend), SetMainWindowServices(&notes), SetupMenus();
        // Seen from far out on +x: the planet off to the screen's right, the moon nearer and up.
        sun = AddBody("Sun", 0, 0, 2e30, 5e9);  // large, so that each is a disc some 15 pixels across
        planet = AddBody("Planet", 0, 0, 6e24, 4e9, 1.5e11);
        moon = AddBody("Moon", 8e10, 0, 7e22, 3e9), BodyList()->body[moon].pos[2] = 3e10;
        set.displayFlags |= kStarFieldOffFlag, set.eyeRadius = 0, set.labelFlags = 0;
        SetControl(kPausedControl), Pass();
    }
    void TearDown() override { DisposeMenus(), FrameFixture::TearDown(); }
    Point At(int32_t b) { return BodyRTList()->body[b].screenPos; }
    void CtrlKey(uint8_t ch) { Key(kKeyDownEvent, ch, 0, kCmdKeyModifier), Key(kKeyUpEvent, ch, 0, kCmdKeyModifier); }
};

// Choosing a camera body alone follows it; Fit All then frames every body from there, and stereo
// without a separation proposes one that splits the eyes' views.
TEST_F(ViewCommands, ACameraBodyIsFollowedFitAllShowsEveryBodyAndStereoProposesDepth) {
    const int32_t w = renderGWRect.right, h = renderGWRect.bottom;
    EXPECT_GT(At(planet).h, w) << "the planet starts out of view";
    HandleMenuEv(MenuChoice(kCameraSelectionMenu, int16_t(3 + planet)));
    Pass(60);
    EXPECT_TRUE(set.cameraMode == 1 && std::abs(At(planet).h - w / 2) <= 1 && std::abs(At(planet).v - h / 2) <= 1);
    CtrlKey('0');
    Pass(60);
    for (int32_t b : {sun, planet, moon})
        EXPECT_TRUE(At(b).h >= 0 && At(b).h < w && At(b).v >= 0 && At(b).v < h) << b << ": " << At(b).h << "," << At(b).v;
    EXPECT_LT(At(sun).h, w / 4) << "framed snugly, not from afar";
    backend.Expect({{{}, kSheetOkayItem}});  // the proposed separation accepted as it stands
    CtrlKey('3');
    EXPECT_NE(backend.dialogs.at(0).textsAtHit.at(0).at(kSheetFirstFieldItem), "0");
    Pass();
    int split = 0;  // pixels where the red eye's view and the cyan eye's differ
    for (int32_t t = 0; t < w * h; ++t) split += std::abs(int((renderGW[t] >> 16) & 255) - int((renderGW[t] >> 8) & 255)) > 40;
    EXPECT_GT(split, 50);
}

TEST_F(ViewCommands, AnOpenedUniverseSaysWhetherItRunsUntilPausedOrForAFewSeconds) {
    ClearControl(kPausedControl);
    for (const bool pause : {true, false}) {
        backend.chosenFiles = {GRAVITAS_SOURCE_DIR "/data/universes/sun-earth-moon.universe"}, backend.nextFile = 0;
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
    }
}

}  // namespace
