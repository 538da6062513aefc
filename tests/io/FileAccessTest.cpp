// Reading only regular files below a cap, and replacing files without losing
// their permissions, their links or the earlier contents.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "io/FileAccess.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

mode_t ModeOf(const fs::path& p) {
    struct stat st;
    EXPECT_EQ(::stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
}

bool Replace(const fs::path& p, const std::string& text, std::string& error) {
    return ReplaceFileContents(p.string(), reinterpret_cast<const uint8_t*>(text.data()), text.size(), error);
}

size_t EntriesIn(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

TEST(ReadRegularFile, RefusesFoldersDevicesAndPipesWithoutBlocking) {
    ScratchDir scratch;
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(ReadRegularFile(scratch.path().string(), 1024, bytes, error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_FALSE(ReadRegularFile("/dev/zero", 1024, bytes, error));
    EXPECT_NE(error.find("device"), std::string::npos) << error;
    // Nobody writes to this pipe: a blocking open would never return.
    const fs::path fifo = scratch / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadRegularFile(fifo.string(), 1024, bytes, error));
    EXPECT_NE(error.find("pipe"), std::string::npos) << error;
    EXPECT_FALSE(ReadRegularFile((scratch / "missing").string(), 1024, bytes, error));
    EXPECT_TRUE(bytes.empty());
}

TEST(ReadRegularFile, ReadsUpToTheCapAndRefusesMore) {
    ScratchDir scratch;
    Write(scratch / "a", std::string(100, 'x'));
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadRegularFile((scratch / "a").string(), 100, bytes, error)) << error;
    EXPECT_EQ(bytes, std::vector<uint8_t>(100, 'x'));
    EXPECT_FALSE(ReadRegularFile((scratch / "a").string(), 99, bytes, error));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty());
    Write(scratch / "empty", "");
    EXPECT_TRUE(ReadRegularFile((scratch / "empty").string(), 100, bytes, error));
    EXPECT_TRUE(bytes.empty());
}

TEST(ReplaceFileContents, KeepsPermissionsAndLeavesNoTemporaryFile) {
    ScratchDir scratch;
    const fs::path p = scratch / "private.universe";
    Write(p, "old");
    ASSERT_EQ(::chmod(p.c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(Replace(p, "new contents", error)) << error;
    EXPECT_EQ(Read(p), "new contents");
    EXPECT_EQ(ModeOf(p), 0600u);
    EXPECT_EQ(EntriesIn(scratch.path()), 1u);
    // A new file gets the usual permissions (not the 0600 of a private temporary file).
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(Replace(scratch / "fresh", "x", error)) << error;
    ::umask(mask);
    EXPECT_EQ(ModeOf(scratch / "fresh"), 0644u);
}

TEST(ReplaceFileContents, WritesThroughALinkToItsTarget) {
    ScratchDir scratch;
    fs::create_directories(scratch / "real");
    Write(scratch / "real" / "target.universe", "old");
    fs::create_symlink("real/target.universe", scratch / "link.universe");
    std::string error;
    ASSERT_TRUE(Replace(scratch / "link.universe", "through the link", error)) << error;
    EXPECT_TRUE(fs::is_symlink(scratch / "link.universe"));
    EXPECT_EQ(Read(scratch / "real" / "target.universe"), "through the link");
    EXPECT_EQ(EntriesIn(scratch.path()), 2u);
    EXPECT_EQ(EntriesIn(scratch / "real"), 1u);
}

TEST(ReplaceFileContents, RefusesReadOnlyTargetsAndFolders) {
    ScratchDir scratch;
    const fs::path p = scratch / "locked.universe";
    Write(p, "keep me");
    ASSERT_EQ(::chmod(p.c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(Replace(p, "overwritten", error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(Read(p), "keep me");
    EXPECT_EQ(EntriesIn(scratch.path()), 1u);
    fs::create_directories(scratch / "folder");
    EXPECT_FALSE(Replace(scratch / "folder", "x", error));
    EXPECT_TRUE(fs::is_directory(scratch / "folder"));
    EXPECT_FALSE(Replace(scratch / "no-such-folder" / "x", "x", error));
}

TEST(PlainFileName, OnlyNamesInsideTheFolder) {
    EXPECT_TRUE(IsPlainFileName("Earth pic"));
    EXPECT_TRUE(IsPlainFileName("..hidden"));
    EXPECT_FALSE(IsPlainFileName(""));
    EXPECT_FALSE(IsPlainFileName("."));
    EXPECT_FALSE(IsPlainFileName(".."));
    EXPECT_FALSE(IsPlainFileName("../../../../etc/services"));
    EXPECT_FALSE(IsPlainFileName("/etc/services"));
    EXPECT_FALSE(IsPlainFileName(std::string("a\0b", 3)));
}
