#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "io/FileTypes.h"
#include "io/Pictures.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

// Records alerts and answers file dialogs from a script.
struct ScriptedBackend : PlatformBackend {
    std::vector<std::string> stops;
    std::vector<std::vector<uint32_t>> asked;
    std::string answer;  // empty = cancel
    std::string appDir, dataDir;
    void StopAlert(const std::string& t) override { stops.push_back(t); }
    bool ChooseFile(const std::vector<uint32_t>& types, std::string& path) override {
        asked.push_back(types);
        if (answer.empty()) return false;
        path = answer;
        return true;
    }
    std::string ApplicationDirectory() override { return appDir; }
    std::string UserDataDirectory() override { return dataDir; }
};

struct PicturesTest : ::testing::Test {
    ScriptedBackend backend;
    ScratchDir scratch;
    fs::path dir = scratch.path();
    void SetUp() override {
        fs::create_directories(dir / "app");
        fs::create_directories(dir / "data");
        backend.appDir = (dir / "app").string();
        backend.dataDir = (dir / "data").string();
        SetPlatformBackend(&backend);
    }
    void TearDown() override {
        SetPlatformBackend(nullptr);
    }
    void WriteFile(const fs::path& p, size_t n, uint8_t fill) {
        std::ofstream(p, std::ios::binary) << std::string(n, char(fill));
    }
};

}  // namespace

TEST_F(PicturesTest, WriteOverLongerFileCutsItAndZeroesHeader) {
    const fs::path p = dir / "a.pict";
    WriteFile(p, 5000, 0xFF);
    Handle pict = NewHandle(1000);
    std::memset(HandlePtr(pict), 0x42, 1000);
    ASSERT_TRUE(WritePICTFile(pict, p.string()));
    EXPECT_EQ(fs::file_size(p), 1512u);
    std::ifstream in(p, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.substr(0, 512), std::string(512, '\0'));
    EXPECT_EQ(bytes.substr(512), std::string(1000, '\x42'));
    Handle back = ReadPICTFile(p.string());
    ASSERT_NE(back, kNoHandle);
    EXPECT_EQ(GetHandleSize(back), 1000);
    EXPECT_EQ(std::memcmp(HandlePtr(back), HandlePtr(pict), 1000), 0);
    EXPECT_TRUE(backend.stops.empty());
    DisposeHandle(back);
    EXPECT_FALSE(WritePICTFile(kNoHandle, p.string()));
    EXPECT_FALSE(WritePICTFile(pict, (dir / "missing" / "b.pict").string()));
    DisposeHandle(pict);
}

TEST_F(PicturesTest, HeaderOnlyShortAndMissingFiles) {
    WriteFile(dir / "empty.pict", 512, 0);
    Handle h = ReadPICTFile((dir / "empty.pict").string());
    ASSERT_NE(h, kNoHandle);  // an empty picture block
    EXPECT_EQ(GetHandleSize(h), 0);
    DisposeHandle(h);
    WriteFile(dir / "short.pict", 100, 1);
    EXPECT_EQ(ReadPICTFile((dir / "short.pict").string()), kNoHandle);
    EXPECT_TRUE(backend.stops.empty());
    EXPECT_EQ(ReadPICTFile((dir / "none.pict").string()), kNoHandle);
    ASSERT_EQ(backend.stops.size(), 1u);
    EXPECT_EQ(backend.stops[0].rfind("PICT file is unavailable.", 0), 0u) << backend.stops[0];
    EXPECT_NE(backend.stops[0].find("none.pict"), std::string::npos) << backend.stops[0];
    // Out of memory: no picture, no alert.
    WriteFile(dir / "big.pict", 512 + 4096, 1);
    SetMemoryLimitForTesting(LiveHandleBytes() + 100);
    EXPECT_EQ(ReadPICTFile((dir / "big.pict").string()), kNoHandle);
    SetMemoryLimitForTesting(0);
    EXPECT_EQ(backend.stops.size(), 1u);
}

TEST_F(PicturesTest, UserGetPICTFileAsksForPicturesOnly) {
    EXPECT_EQ(UserGetPICTFile(), kNoHandle);  // cancelled
    ASSERT_EQ(backend.asked.size(), 1u);
    EXPECT_EQ(backend.asked[0], std::vector<uint32_t>{kPictFileType});
    WriteFile(dir / "s.pict", 520, 3);
    backend.answer = (dir / "s.pict").string();
    Handle h = UserGetPICTFile();
    ASSERT_NE(h, kNoHandle);
    EXPECT_EQ(GetHandleSize(h), 8);
    DisposeHandle(h);
}

TEST_F(PicturesTest, SearchByTypePrefersApplicationFolderAndSkipsFolders) {
    std::string path;
    EXPECT_FALSE(SearchForFileWithType(kStarDataFileType, path));
    fs::create_directories(dir / "app" / "folder.stars");  // a folder never matches
    WriteFile(dir / "data" / "b.stars", 4, 0);
    ASSERT_TRUE(SearchForFileWithType(kStarDataFileType, path));
    EXPECT_EQ(path, (dir / "data" / "b.stars").string());
    WriteFile(dir / "app" / "z.stars", 4, 0);
    WriteFile(dir / "app" / "a.stars", 4, 0);
    ASSERT_TRUE(SearchForFileWithType(kStarDataFileType, path));
    EXPECT_EQ(path, (dir / "app" / "a.stars").string());
    EXPECT_FALSE(SearchForFileWithType(kUniverseFileType, path));
    EXPECT_STREQ(ExtensionForFileType(kUniverseFileType), ".universe");
    EXPECT_EQ(ExtensionForFileType(0x3F3F3F3F), nullptr);
}

TEST_F(PicturesTest, CopyToClipboardNeedsARenderBuffer) {
    struct Clip : ScriptedBackend {
        int puts = 0;
        bool PutPictureOnClipboard(const PixelSurface&) override { return ++puts, true; }
    } clip;
    SetPlatformBackend(&clip);
    CopyPictureToScrap();
    EXPECT_EQ(clip.puts, 0);  // no render buffer
    SetPlatformBackend(&backend);
}
