// File › Open Recent: the list follows what was opened and saved, survives a
// restart through the settings, drops files that are gone with a message
// naming them, and opens through the same question and path as File › Open.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "DocumentFixture.h"
#include "core/RecentFiles.h"
#include "core/RecentFilesMenu.h"

namespace {

struct RecentFilesTest : DocumentTest {
    // A saved universe with one body of the given name.
    std::string SavedUniverse(const char* leaf, const char* body) {
        DeallocateAllPushMemory();
        EXPECT_EQ(AddABody(EditorTest::Named(body)), 1);
        EXPECT_TRUE(SaveAllSettingsTo(File(leaf), true));
        DeallocateAllPushMemory();
        return File(leaf);
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> texts;
        for (const MenuItemModel& item : GetMenu(kRecentFilesMenu)->items) texts.push_back(item.text);
        return texts;
    }
    static std::string FirstBodyName() { return BodyList() && BodyList()->count ? Name(BodyList()->body[0]) : ""; }
};

}  // namespace

TEST_F(RecentFilesTest, MostRecentFirstOnceEachAndNoMoreThanTen) {
    RecentFilesStruct list;
    for (int k = 0; k < 12; ++k) AddRecentFile(list, File(("u" + std::to_string(k) + ".universe").c_str()));
    ASSERT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(list.paths.front(), File("u11.universe"));
    EXPECT_EQ(list.paths.back(), File("u2.universe")) << "the two oldest fell off";
    // The same file again, reached through "..", a "." and a symbolic link: it moves up, once.
    std::filesystem::create_directory(scratch / "sub");
    std::ofstream(File("u5.universe")) << "x";
    AddRecentFile(list, (scratch / "sub" / ".." / "." / "u5.universe").string());
    ASSERT_EQ(::symlink(File("u5.universe").c_str(), File("link.universe").c_str()), 0);
    AddRecentFile(list, File("link.universe"));
    EXPECT_EQ(list.paths.size(), kMaxRecentFiles);
    EXPECT_EQ(list.paths.front(), File("u5.universe"));
    EXPECT_EQ(std::count(list.paths.begin(), list.paths.end(), File("u5.universe")), 1);
    EXPECT_EQ(list.paths[1], File("u11.universe"));
    // A relative path is made absolute against the working folder.
    RecentFilesStruct relative;
    AddRecentFile(relative, "some.universe");
    ASSERT_EQ(relative.paths.size(), 1u);
    EXPECT_EQ(relative.paths[0], (std::filesystem::current_path() / "some.universe").string());
    AddRecentFile(relative, "");
    EXPECT_EQ(relative.paths.size(), 1u) << "an empty name is no file";
}

TEST_F(RecentFilesTest, NamesAloneUnlessTwoAreAlike) {
    RecentFilesStruct list;
    AddRecentFile(list, "/a/solar.universe");
    AddRecentFile(list, "/b/solar.universe");
    AddRecentFile(list, "/a/moons.universe");
    EXPECT_EQ(RecentFileTitles(list),
              (std::vector<std::string>{"moons.universe", "solar.universe \u2014 /b", "solar.universe \u2014 /a"}));
}

TEST_F(RecentFilesTest, OpenedAndSavedFilesEnterTheMenuAndSurviveARestart) {
    const std::string sun = SavedUniverse("sun.universe", "Sun");
    EXPECT_EQ(Titles(), (std::vector<std::string>{"No Recent Files", "-", "Clear Menu"}));
    EXPECT_FALSE(GetMenu(kRecentFilesMenu)->items.back().enabled) << "nothing to clear";
    ASSERT_TRUE(OpenDocumentFile(sun));
    backend.savePaths = {File("copy.universe")};
    Choose(kFileMenu, kSaveAsItem);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"copy.universe", "sun.universe", "-", "Clear Menu"}));
    EXPECT_TRUE(GetMenu(kRecentFilesMenu)->items.back().enabled);

    // A restart: the list in memory is gone, the settings are not.
    recentFiles = {};
    DisposeMenus();
    SetupMenus();
    EXPECT_EQ(Titles().front(), "No Recent Files");
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (std::vector<std::string>{File("copy.universe"), sun}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"copy.universe", "sun.universe", "-", "Clear Menu"}));
}

TEST_F(RecentFilesTest, ChoosingAFileOpensItAsOpenDoes) {
    const std::string sun = SavedUniverse("sun.universe", "Sun");
    const std::string moon = SavedUniverse("moon.universe", "Moon");
    ASSERT_TRUE(OpenDocumentFile(sun));
    ASSERT_TRUE(OpenDocumentFile(moon));
    ASSERT_EQ(FirstBodyName(), "Moon");
    ChangePushesPerFrame(3);
    // sun.universe is item 2. With changes unsaved, the question comes first; Cancel keeps all.
    Answer(kSaveChangesCancelItem);
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(FirstBodyName(), "Moon");
    EXPECT_EQ(set.pushesPerFrame, 3);
    EXPECT_TRUE(IsDocumentModified());
    EXPECT_NE(backend.dialogs.back().texts.at(kSaveChangesQuestionItem).find("moon"), std::string::npos);
    // Don't Save: the file opens as the document and moves to the top.
    Answer(kSaveChangesDiscardItem);
    Choose(kRecentFilesMenu, 2);
    EXPECT_EQ(FirstBodyName(), "Sun");
    EXPECT_EQ(DocumentName(), "sun");
    EXPECT_FALSE(IsDocumentModified());
    EXPECT_EQ(recentFiles.paths.front(), sun);
    EXPECT_TRUE(backend.cautions.empty());
}

TEST_F(RecentFilesTest, AFileThatIsGoneIsRemovedWithAMessageNamingIt) {
    const std::string sun = SavedUniverse("sun.universe", "Sun");
    const std::string gone = SavedUniverse("gone.universe", "Ghost");
    ASSERT_TRUE(OpenDocumentFile(gone));
    ASSERT_TRUE(OpenDocumentFile(sun));  // the document now: Sun, unmodified
    ChangePushesPerFrame(4);             // and modified, so a wrongly asked question would show
    std::filesystem::remove(gone);
    const size_t dialogs = backend.opened;
    Choose(kRecentFilesMenu, 2);
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("gone.universe"), std::string::npos) << backend.cautions[0];
    EXPECT_NE(backend.cautions[0].find(scratch.path().string()), std::string::npos) << "names where it was";
    EXPECT_EQ(backend.opened, dialogs) << "nothing to save for a file that cannot be opened";
    EXPECT_EQ(FirstBodyName(), "Sun");
    EXPECT_EQ(set.pushesPerFrame, 4);
    EXPECT_EQ(recentFiles.paths, std::vector<std::string>{sun});
    // Gone from the settings too.
    RecentFilesStruct after;
    LoadRecentFiles(after, settings);
    EXPECT_EQ(after.paths, std::vector<std::string>{sun});
    // A folder where the file was is no file either.
    Answer(kSaveChangesDiscardItem);
    ASSERT_TRUE(OpenDocumentFile(sun));
    std::filesystem::remove(sun);
    std::filesystem::create_directory(sun);
    Choose(kRecentFilesMenu, 1);
    EXPECT_EQ(backend.cautions.size(), 2u);
    EXPECT_TRUE(recentFiles.paths.empty());
}

TEST_F(RecentFilesTest, ClearMenuEmptiesTheListAndTheSettings) {
    ASSERT_TRUE(OpenDocumentFile(SavedUniverse("a.universe", "A")));
    ASSERT_TRUE(OpenDocumentFile(SavedUniverse("b.universe", "B")));
    ASSERT_EQ(Titles().size(), 4u);
    Choose(kRecentFilesMenu, 4);  // Clear Menu is the last item
    EXPECT_TRUE(recentFiles.paths.empty());
    EXPECT_EQ(Titles().front(), "No Recent Files");
    RecentFilesStruct after;
    LoadRecentFiles(after, settings);
    EXPECT_TRUE(after.paths.empty());
    std::string anything;
    EXPECT_FALSE(settings.ReadSetting("recent/file1", anything));
}

TEST_F(RecentFilesTest, HostileStoredEntriesAreSkipped) {
    settings.WriteSetting("recent/file1", "relative/path.universe");
    settings.WriteSetting("recent/file2", "");
    settings.WriteSetting("recent/file3", "/kept/one.universe");
    settings.WriteSetting("recent/file4", "/kept/one.universe");
    settings.WriteSetting("recent/file5", std::string("/with\0nul", 9));
    settings.WriteSetting("recent/file6", "/two\nlines");
    settings.WriteSetting("recent/file7", "/" + std::string(10000, 'x'));
    settings.WriteSetting("recent/file8", "/kept/two.universe");
    settings.WriteSetting("recent/file11", "/beyond/ten.universe");
    RecallRecentFiles();
    EXPECT_EQ(recentFiles.paths, (std::vector<std::string>{"/kept/one.universe", "/kept/two.universe"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"one.universe", "two.universe", "-", "Clear Menu"}));
}
