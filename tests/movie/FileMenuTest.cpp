// The File menu's demo universes, "Save Picture As…" and "Record Movie…",
// chosen through the menu dispatch as the window does.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "MovieDecode.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Menus.h"
#include "core/Records.h"
#include "io/MovieRecording.h"
#include "platform/qt/QtBackend.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

namespace fs = std::filesystem;

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "gravitas-file-menu-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

// Scripted dialogs and file choices; PNG encoding by the real Qt backend.
struct Backend : ScriptedDialogBackend {
    std::string appDir;
    std::vector<std::string> savePaths;  // answers of the save dialog in turn (none left = cancel)
    size_t nextSave = 0;
    std::vector<std::string> saveMessages;
    QtBackend qt;
    std::string ApplicationDirectory() override { return appDir; }
    int32_t ChooseSaveFile(const std::string& message, const std::string&, uint32_t, std::string& path) override {
        saveMessages.push_back(message);
        if (nextSave >= savePaths.size()) return 0;
        path = savePaths[nextSave++];
        return 1;
    }
    PictureBytes EncodePicture(const PixelSurface& surface) override { return qt.EncodePicture(surface); }
};

class FileMenu : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        dir = fs::path(::testing::TempDir()) / ("file-menu-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        backend.appDir = dir.string();
        SetPlatformBackend(&backend);
        saved = set;
        set.bodies = set.timedThrust = 0;
        rt.bodyRT = 0;
        SetupMenus();
    }
    void TearDown() override {
        StopMovieRecording();
        DisposeMenus();
        DisposeMyRenderGW();
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set = saved;
        SetPlatformBackend(nullptr);
        fs::remove_all(dir);
    }
    // A render buffer holding a picture with detail in every channel.
    void FillRenderBuffer(int w, int h, int shift = 0) {
        ASSERT_EQ(SetupRenderGW(h, w), 0);
        const PixelSurface s = RenderSurface();
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                s.base[y * (s.rowBytes / 4) + x] =
                    (uint32_t((x + shift) * 255 / w) << 16) | (uint32_t(y * 255 / h) << 8) | uint32_t(((x + y) & 8) ? 200 : 40);
    }
    void AnswerMovieSheet(const std::string& w, const std::string& h, const std::string& fps, const std::string& secs) {
        backend.Expect({{{{kSheetFirstFieldItem, w}, {kSheetFirstFieldItem + 1, h}, {kSheetFirstFieldItem + 2, fps},
                          {kSheetFirstFieldItem + 3, secs}},
                         kSheetOkayItem}});
    }
    std::string RecordItemText() { return GetMenuItem(kFileMenu, kRecordMovieItem)->text; }

    Backend backend;
    fs::path dir;
    SettingsStruct saved;
};

TEST_F(FileMenu, OpenDemoListsTheUniversesBesideTheApplicationAndOpensOne) {
    DisposeMenus();
    fs::create_directories(dir / "universes");
    const fs::path source = fs::path(GRAVITAS_SOURCE_DIR) / "data" / "universes";
    fs::copy_file(source / "sun-earth-moon.universe", dir / "universes" / "sun-earth-moon.universe");
    fs::copy_file(source / "solar-system.universe", dir / "universes" / "solar-system.universe");
    std::ofstream(dir / "universes" / "notes.txt") << "not a universe";
    SetupMenus();
    const MenuItemModel* open = GetMenuItem(kFileMenu, kOpenDemoItem);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->submenu, kDemoMenu);
    const MenuModel* demos = GetMenu(kDemoMenu);
    ASSERT_NE(demos, nullptr);
    ASSERT_EQ(demos->items.size(), 2u);
    EXPECT_EQ(demos->items[0].text, "Solar System");
    EXPECT_EQ(demos->items[1].text, "Sun Earth Moon");
    HandleMenuEv(MenuChoice(kDemoMenu, 1));
    ASSERT_NE(BodyList(), nullptr);
    EXPECT_EQ(BodyList()->count, 16);
    EXPECT_EQ(set.timeStep, 600.0);
    HandleMenuEv(MenuChoice(kDemoMenu, 2));
    EXPECT_EQ(BodyList()->count, 4);
    HandleMenuEv(MenuChoice(kDemoMenu, 3));  // no such item: nothing changes
    EXPECT_EQ(BodyList()->count, 4);
}

TEST_F(FileMenu, WithoutDemosTheSubmenuSaysSo) {
    const MenuModel* demos = GetMenu(kDemoMenu);
    ASSERT_NE(demos, nullptr);
    ASSERT_EQ(demos->items.size(), 1u);
    EXPECT_FALSE(demos->items[0].enabled);
    HandleMenuEv(MenuChoice(kDemoMenu, 1));
    EXPECT_EQ(BodyList(), nullptr);
}

TEST_F(FileMenu, SavePictureWritesTheRenderBufferPixelForPixel) {
    FillRenderBuffer(123, 77);
    const std::string path = (dir / "frame.png").string();
    backend.savePaths = {path};
    HandleMenuEv(MenuChoice(kFileMenu, kSavePictureItem));
    EXPECT_TRUE(backend.alerts.empty());
    const QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.width(), 123);
    ASSERT_EQ(image.height(), 77);
    const PixelSurface s = RenderSurface();
    for (int y = 0; y < 77; y += 7)
        for (int x = 0; x < 123; x += 5)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFFu, s.base[y * (s.rowBytes / 4) + x]) << x << "," << y;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "no temporary file left";
}

TEST_F(FileMenu, SavePictureToABadPlaceSaysSoAndWritesNothing) {
    FillRenderBuffer(40, 30);
    backend.savePaths = {(dir / "missing" / "frame.png").string()};
    HandleMenuEv(MenuChoice(kFileMenu, kSavePictureItem));
    ASSERT_EQ(backend.alerts.size(), 1u);
    EXPECT_NE(backend.alerts[0].find("Cannot write"), std::string::npos);
    HandleMenuEv(MenuChoice(kFileMenu, kSavePictureItem));  // cancelled: nothing, no alert
    EXPECT_EQ(backend.alerts.size(), 1u);
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(FileMenu, RecordMovieStopsByItselfAfterTheChosenLength) {
    FillRenderBuffer(96, 64);
    const std::string path = (dir / "clip.mp4").string();
    AnswerMovieSheet("96", "64", "10", "0.5");
    backend.savePaths = {path};
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));
    ASSERT_TRUE(IsRecordingMovie()) << (backend.alerts.empty() ? "" : backend.alerts[0]);
    MarkMenus(1);
    EXPECT_EQ(RecordItemText(), "Stop Recording");
    for (int f = 0; f < 8; ++f) {
        FillRenderBuffer(96, 64, f * 10);
        RecordMovieFrame();
    }
    EXPECT_FALSE(IsRecordingMovie());
    MarkMenus(1);
    EXPECT_EQ(RecordItemText(), "Record Movie\u2026");
    const DecodedMovie m = DecodeMovie(path);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.frames, 5);  // half a second at 10 frames a second
    EXPECT_EQ(m.width, 96);
    EXPECT_EQ(m.height, 64);
    EXPECT_TRUE(backend.alerts.empty());
}

TEST_F(FileMenu, RecordMovieUntilStoppedScalesTheWindowsFrames) {
    FillRenderBuffer(200, 150);
    const std::string path = (dir / "long.mp4").string();
    AnswerMovieSheet("100", "76", "25", "0");
    backend.savePaths = {path};
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));
    ASSERT_TRUE(IsRecordingMovie());
    EXPECT_NE(backend.saveMessages.at(0).find("H.264"), std::string::npos) << backend.saveMessages[0];
    for (int f = 0; f < 30; ++f) RecordMovieFrame();
    EXPECT_TRUE(IsRecordingMovie());
    EXPECT_EQ(RecordingMarkText(), "\u25CF REC 1.2 s");
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));  // the same item stops
    EXPECT_FALSE(IsRecordingMovie());
    const DecodedMovie m = DecodeMovie(path);
    EXPECT_EQ(m.frames, 30);
    EXPECT_EQ(m.width, 100);
    EXPECT_EQ(m.height, 76);
}

TEST_F(FileMenu, RecordMovieRefusesBadAnswersBeforeAskingForAFile) {
    FillRenderBuffer(64, 48);
    AnswerMovieSheet("64", "48", "0", "0");
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));
    EXPECT_FALSE(IsRecordingMovie());
    ASSERT_EQ(backend.alerts.size(), 1u);
    EXPECT_TRUE(backend.saveMessages.empty());
    AnswerMovieSheet("64", "48", "30", "-3");
    backend.savePaths = {(dir / "neg.mp4").string()};
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));
    EXPECT_FALSE(IsRecordingMovie());
    EXPECT_EQ(backend.alerts.size(), 2u);
    EXPECT_TRUE(fs::is_empty(dir));
}

}  // namespace
