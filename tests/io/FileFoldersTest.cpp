// Each kind of file dialog opens where a file of its kind was last chosen,
// also after a restart, and never in a folder that is gone or was never one.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScratchDir.h"
#include "io/FileFolders.h"
#include "io/FileTypes.h"
#include "io/Pictures.h"
#include "platform/Platform.h"

namespace {

// File dialogs that note the folder they were opened in and answer from a list.
struct FolderBackend : PlatformBackend {
    std::vector<std::string> openedIn;
    std::vector<std::string> answers;  // in turn; empty = cancel
    size_t next = 0;
    bool Answer(std::string& path) {
        const std::string a = next < answers.size() ? answers[next++] : std::string();
        if (a.empty()) return false;
        path = a;
        return true;
    }
    bool ChooseFileIn(const std::string& folder, const std::vector<uint32_t>&, std::string& path) override {
        openedIn.push_back(folder);
        return Answer(path);
    }
    int32_t ChooseSaveFileIn(const std::string& folder, const std::string&, const std::string&, uint32_t,
                             std::string& path) override {
        openedIn.push_back(folder);
        return Answer(path) ? 1 : 0;
    }
};

struct FileFoldersTest : ::testing::Test {
    FolderBackend backend;
    SettingsStore store;
    ScratchDir scratch;
    void SetUp() override {
        SetPlatformBackend(&backend);
        SetSettingsStore(&store);
        for (const char* d : {"universes", "pictures", "movies", "stars"})
            std::filesystem::create_directory(scratch / d);
    }
    void TearDown() override {
        SetPlatformBackend(nullptr);
        SetSettingsStore(nullptr);
    }
    std::string In(const char* folder, const char* leaf) { return (scratch / folder / leaf).string(); }
    std::string Folder(const char* folder) { return (scratch / folder).string(); }
};

}  // namespace

TEST_F(FileFoldersTest, EachKindOfFileKeepsItsOwnFolder) {
    std::string path;
    backend.answers = {In("universes", "a.universe"), In("pictures", "p.png"), In("movies", "m.mp4"),
                       In("stars", "s.stars")};
    ASSERT_TRUE(ChooseFileRemembered({kUniverseFileType}, path));
    ASSERT_TRUE(ChooseSaveFileRemembered("Save the picture as", "x.png", kPngFileType, path));
    ASSERT_TRUE(ChooseSaveFileRemembered("Record", "x.mp4", kMovieFileType, path));
    ASSERT_TRUE(ChooseFileRemembered({kStarDataFileType}, path));
    EXPECT_EQ(backend.openedIn, std::vector<std::string>(4, "")) << "nothing remembered yet";
    backend.openedIn.clear();
    // The open and the save dialog of universes share one folder; pictures read
    // for a surface share theirs with pictures saved.
    ChooseSaveFileRemembered("Save", "u.universe", kUniverseFileType, path);
    NavChooseOneFile({kPictFileType}, path);
    ChooseSaveFileRemembered("Record", "x.mp4", kMovieFileType, path);
    ChooseFileRemembered({kStarDataFileType}, path);
    EXPECT_EQ(backend.openedIn, (std::vector<std::string>{Folder("universes"), Folder("pictures"), Folder("movies"),
                                                          Folder("stars")}));
}

TEST_F(FileFoldersTest, ACancelledDialogKeepsTheFolder) {
    std::string path;
    backend.answers = {In("universes", "a.universe"), "", ""};
    ChooseFileRemembered({kUniverseFileType}, path);
    EXPECT_FALSE(ChooseFileRemembered({kUniverseFileType}, path));
    ChooseFileRemembered({kUniverseFileType}, path);
    EXPECT_EQ(backend.openedIn.back(), Folder("universes"));
}

TEST_F(FileFoldersTest, AFolderThatIsGoneOrNoFolderIsNotOffered) {
    std::string path;
    backend.answers = {In("movies", "m.mp4")};
    ChooseSaveFileRemembered("Record", "x.mp4", kMovieFileType, path);
    EXPECT_EQ(RememberedFolder(kMovieFileType), Folder("movies"));
    std::filesystem::remove(scratch / "movies");
    EXPECT_EQ(RememberedFolder(kMovieFileType), "");
    ChooseSaveFileRemembered("Record", "x.mp4", kMovieFileType, path);
    EXPECT_EQ(backend.openedIn.back(), "");
    for (const std::string& hostile : {std::string("relative/folder"), std::string(""), In("pictures", "none.png"),
                                       std::string("/tmp\0/etc", 9)}) {
        store.WriteSetting(RememberedFolderKey(kPngFileType), hostile);
        EXPECT_EQ(RememberedFolder(kPngFileType), "") << hostile;
    }
}
