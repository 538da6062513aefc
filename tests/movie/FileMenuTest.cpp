// The File menu's demo universes, "Save Picture As…" and "Record Movie…", chosen through the menu dispatch;
// the movies are read back and checked frame by frame count, size and rate.
#include <gtest/gtest.h>

#include "QtTestApp.h"
#include "ScratchDir.h"

#include <QImage>
#include <fstream>

#include "MovieDecode.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "core/Epoch.h"
#include "core/Menus.h"
#include "io/MovieRecording.h"
#include "platform/qt/QtBackend.h"
#include "render/RenderBuffer.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

namespace fs = std::filesystem;

namespace {

// Scripted dialogs and save choices (none left: cancel); PNG encoding by the real Qt backend.
struct Backend : ScriptedDialogBackend {
    std::string appDir;
    std::vector<std::string> savePaths, saveMessages;
    QtBackend qt;
    std::string ApplicationDirectory() override { return appDir; }
    int32_t ChooseSaveFile(const std::string& message, const std::string&, uint32_t, std::string& path) override {
        saveMessages.push_back(message);
        return saveMessages.size() <= savePaths.size() ? (path = savePaths[saveMessages.size() - 1], 1) : 0;
    }
    PictureBytes EncodePicture(const PixelSurface& surface) override { return qt.EncodePicture(surface); }
};

struct FileMenu : ::testing::Test {
    ScratchDir dir;
    Backend backend;
    SettingsStruct saved = set;
    void SetUp() override {
        TestApplication();
        backend.appDir = dir.path().string(), SetPlatformBackend(&backend);
        set.bodies = set.timedThrust = 0, rt.bodyRT = 0;
        SetupMenus();
    }
    void TearDown() override {
        StopMovieRecording(), DisposeMenus(), DisposeMyRenderGW(), DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust), SetPlatformBackend(nullptr);
        set = saved;
    }
    void FillRenderBuffer(int w, int h, int shift = 0) {  // detail in every channel
        ASSERT_EQ(SetupRenderGW(h, w), 0);
        const PixelSurface s = RenderSurface();
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                s.base[y * (s.rowBytes / 4) + x] =
                    (uint32_t((x + shift) * 255 / w) << 16) | (uint32_t(y * 255 / h) << 8) | (((x + y) & 8) ? 200u : 40u);
    }
    void Record(const char* w, const char* h, const char* fps, const char* secs) {
        backend.Expect({{{{kSheetFirstFieldItem, w}, {kSheetFirstFieldItem + 1, h}, {kSheetFirstFieldItem + 2, fps},
                          {kSheetFirstFieldItem + 3, secs}}, kSheetOkayItem}});
        HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));
    }
    std::string RecordItemText() { return MarkMenus(1), GetMenuItem(kFileMenu, kRecordMovieItem)->text; }
};

}  // namespace

TEST_F(FileMenu, OpenDemoListsTheUniversesBesideTheApplicationAndOpensOne) {
    ASSERT_EQ(GetMenu(kDemoMenu)->items.size(), 1u);
    EXPECT_FALSE(GetMenu(kDemoMenu)->items[0].enabled);  // none yet: the submenu says so
    DisposeMenus();
    fs::create_directories(dir / "universes");
    for (const char* name : {"sun-earth-moon.universe", "solar-system.universe"})
        fs::copy_file(fs::path(GRAVITAS_SOURCE_DIR) / "data/universes" / name, dir / "universes" / name);
    std::ofstream(dir / "universes/notes.txt") << "not a universe";
    SetupMenus();
    EXPECT_EQ(GetMenuItem(kFileMenu, kOpenDemoItem)->submenu, kDemoMenu);
    const MenuModel* demos = GetMenu(kDemoMenu);
    ASSERT_EQ(demos->items.size(), 2u);
    EXPECT_EQ(demos->items[0].text + "/" + demos->items[1].text, "Solar System/Sun Earth Moon");
    HandleMenuEv(MenuChoice(kDemoMenu, 1));
    ASSERT_NE(BodyList(), nullptr);
    EXPECT_EQ(std::pair(BodyList()->count, set.timeStep), std::pair(int32_t(16), 600.0));
    EXPECT_TRUE(epoch.known && epoch.tdbSeconds == 0.0);  // the file says its states are J2000's
    HandleMenuEv(MenuChoice(kDemoMenu, 2)), HandleMenuEv(MenuChoice(kDemoMenu, 3));  // no third item: no change
    EXPECT_EQ(BodyList()->count, 4);
    EXPECT_FALSE(epoch.known);  // a universe without a date shows none
}

TEST_F(FileMenu, SavePictureWritesTheRenderBufferPixelForPixelOrSaysWhyNot) {
    FillRenderBuffer(123, 77);
    backend.savePaths = {dir.prefix() + "frame.png", dir.prefix() + "missing/frame.png"};
    for (int i = 0; i < 3; ++i) HandleMenuEv(MenuChoice(kFileMenu, kSavePictureItem));  // the last is cancelled
    ASSERT_EQ(backend.alerts.size(), 1u);
    EXPECT_NE(backend.alerts[0].find("Cannot write"), std::string::npos) << backend.alerts[0];
    const QImage image(QString::fromStdString(dir.prefix() + "frame.png"));
    ASSERT_EQ(image.size(), QSize(123, 77));
    const PixelSurface s = RenderSurface();
    for (int y = 0; y < 77; y += 7)
        for (int x = 0; x < 123; x += 5)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFFu, s.base[y * (s.rowBytes / 4) + x]) << x << "," << y;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "nothing but the picture";
}

TEST_F(FileMenu, RecordMovieForTheChosenLengthOrUntilStopped) {
    FillRenderBuffer(96, 64);
    backend.savePaths = {dir.prefix() + "clip.mp4", dir.prefix() + "long.mp4"};
    Record("96", "64", "10", "0.5");
    ASSERT_TRUE(IsRecordingMovie()) << (backend.alerts.empty() ? "" : backend.alerts[0]);
    EXPECT_NE(backend.saveMessages.at(0).find("H.264"), std::string::npos) << backend.saveMessages[0];
    EXPECT_EQ(RecordItemText(), "Stop Recording");
    for (int f = 0; f < 8; ++f) FillRenderBuffer(96, 64, f * 10), RecordMovieFrame();
    EXPECT_FALSE(IsRecordingMovie());  // stopped by itself after half a second
    EXPECT_EQ(RecordItemText(), "Record Movie\u2026");
    EXPECT_EQ(DecodeMovie(dir.prefix() + "clip.mp4").frames, 5);
    FillRenderBuffer(200, 150);
    Record("101", "77", "25", "0");  // odd sizes are rounded up (4:2:0 video); the window's frames are scaled
    for (int f = 0; f < 30; ++f) RecordMovieFrame();
    EXPECT_EQ(RecordingMarkText(), "\u25CF REC 1.2 s");
    HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));  // the same item stops
    EXPECT_FALSE(IsRecordingMovie());
    const DecodedMovie m = DecodeMovie(dir.prefix() + "long.mp4");
    EXPECT_EQ(std::tuple(m.frames, m.width, m.height), std::tuple(30, 102, 78));
    EXPECT_GT(m.first.at(39 * 102 + 92) >> 16 & 255, 200u);  // scaled, not cut: the red ramp spans the movie
    EXPECT_LT(m.first.at(39 * 102 + 1) >> 16 & 255, 40u);
    // A picture one row short of even is the movie's picture whole, over one black row.
    FillRenderBuffer(96, 63);
    backend.savePaths.push_back(dir.prefix() + "padded.mp4");
    Record("96", "63", "10", "0.3");
    for (int f = 0; f < 3; ++f) RecordMovieFrame();
    const DecodedMovie p = DecodeMovie(dir.prefix() + "padded.mp4");
    ASSERT_EQ(std::tuple(p.width, p.height), std::tuple(96, 64));
    EXPECT_GT(p.first.at(60 * 96 + 48) >> 8 & 255, 200u) << "the green ramp reaches the picture's last rows";
    EXPECT_LT(p.first.at(63 * 96 + 48) >> 8 & 255, 40u) << "the added row is black";
    EXPECT_TRUE(backend.alerts.empty());
    backend.savePaths.push_back(dir.prefix() + "empty.mp4");
    Record("96", "64", "10", "0"), HandleMenuEv(MenuChoice(kFileMenu, kRecordMovieItem));  // stopped before a frame
    ASSERT_EQ(backend.alerts.size(), 1u);
    EXPECT_NE(backend.alerts[0].find("no frames"), std::string::npos) << backend.alerts[0];
    EXPECT_FALSE(fs::exists(dir / "empty.mp4"));
}

TEST_F(FileMenu, RecordMovieRefusesBadAnswers) {
    FillRenderBuffer(64, 48);
    backend.savePaths = {dir.prefix() + "negative.mp4", dir.prefix() + "long.mp4"};
    for (const auto& a : {std::array{"64", "48", "0", "0"}, {"8", "48", "30", "0"}, {"64", "x", "30", "0"},
                          {"64", "48", "30", "-3"}, {"64", "48", "30", "90000"}})
        Record(a[0], a[1], a[2], a[3]);
    EXPECT_FALSE(IsRecordingMovie());
    EXPECT_EQ(backend.alerts.size(), 5u);
    EXPECT_EQ(backend.saveMessages.size(), 2u);  // the sizes and rate before the file; the length when starting
    EXPECT_TRUE(fs::is_empty(dir.path()));
}
