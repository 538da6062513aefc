// The settings kept by QSettings, in a settings folder of the test's own:
// values survive a restart, and a damaged or edited file gives nothing
// rather than nonsense.
#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <fstream>

#include "QtTestApp.h"
#include "ScratchDir.h"
#include "core/RecentFiles.h"
#include "core/ViewPreferences.h"
#include "platform/qt/QtSettingsStore.h"

namespace {

struct QtSettingsStoreTest : ::testing::Test {
    ScratchDir scratch;
    void SetUp() override {
        TestApplication();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(scratch.path()));
    }
    std::filesystem::path File() const { return scratch / "Gravitas" / "Gravitas.conf"; }
    void WriteFile(const std::string& text) {
        std::filesystem::create_directories(File().parent_path());
        std::ofstream(File(), std::ios::binary) << text;
    }
    std::string FileText() const {
        std::ifstream in(File(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

}  // namespace

TEST_F(QtSettingsStoreTest, TheRecentListSurvivesARestartInTheSettingsFile) {
    RecentFilesStruct list;
    AddRecentFile(list, "/data/b.universe");
    AddRecentFile(list, "/data/caf\u00e9, \"quoted\" = a.universe");
    {
        QtSettingsStore run1;
        SaveRecentFiles(list, run1);
        // On disk at once, while the run goes on: a crash later loses nothing.
        ASSERT_TRUE(std::filesystem::exists(File())) << "written to the test's own folder";
        EXPECT_NE(FileText().find("b.universe"), std::string::npos);
    }
    QtSettingsStore run2;
    RecentFilesStruct read;
    LoadRecentFiles(read, run2);
    EXPECT_EQ(read.paths, list.paths);
    // Removing is written through as well.
    SaveRecentFiles(RecentFilesStruct{}, run2);
    EXPECT_EQ(FileText().find("b.universe"), std::string::npos);
}

TEST_F(QtSettingsStoreTest, ValuesThatAreNotTextAreNotRead) {
    WriteFile("[recent]\n"
              "file1=one, two\n"
              "file2=@ByteArray(/bytes.universe)\n"
              "file3=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x2garbage)\n"
              "file4=/fine.universe\n"
              "[view]\n"
              "labels=@Rect(1 2 3 4)\n"
              "trailLength=12\n");
    QtSettingsStore store;
    std::string value;
    EXPECT_FALSE(store.ReadSetting("recent/file1", value)) << "a list";
    EXPECT_FALSE(store.ReadSetting("recent/file2", value)) << "bytes";
    EXPECT_FALSE(store.ReadSetting("recent/file3", value)) << "a damaged variant";
    EXPECT_FALSE(store.ReadSetting("view/labels", value)) << "a rectangle";
    EXPECT_FALSE(store.ReadSetting("view/nothing", value));
    ASSERT_TRUE(store.ReadSetting("recent/file4", value));
    EXPECT_EQ(value, "/fine.universe");
    ViewPreferencesStruct prefs;
    LoadViewPreferences(prefs, store);
    EXPECT_EQ(prefs.labelFlags, 0u);
    EXPECT_EQ(prefs.trailLength, 12);
}

TEST_F(QtSettingsStoreTest, AGarbledFileGivesNothingAndIsRepairedByTheNextWrite) {
    std::string garbage;
    for (int k = 0; k < 4096; ++k) garbage.push_back(char((k * 7919) & 0xFF));
    WriteFile(garbage);
    QtSettingsStore store;
    RecentFilesStruct read;
    LoadRecentFiles(read, store);
    ViewPreferencesStruct prefs;
    LoadViewPreferences(prefs, store);
    for (const std::string& p : read.paths) EXPECT_EQ(p.front(), '/');
    EXPECT_LE(prefs.labelFlags, 255u);
    EXPECT_GE(prefs.minPointSize, 1);
    store.WriteSetting("view/trailLength", "40");
    std::string value;
    ASSERT_TRUE(QtSettingsStore().ReadSetting("view/trailLength", value));
    EXPECT_EQ(value, "40");
}
