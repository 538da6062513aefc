// Every writer of gravitas-sim against every kind of target. A file is written whole
// (links followed, permissions kept) or refused at once with the reason, leaving the
// target as it was and no temporary file behind. Save Picture writes as --render does,
// Record Movie as --movie does.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <set>
#include <tuple>

namespace {

namespace fs = std::filesystem;

enum class Target { NewFile, ExistingFile, ReadOnlyFile, Symlink, DanglingSymlink, Fifo, DeviceNode, ReadOnlyFolder,
                    FullDisk, EmptyPath };

struct TargetCase {
    const char* name;
    Target kind;
    const char* reason;  // in the message when refused; null when the file is written
};

struct Writer {
    const char* name;
    const char* option;  // the value is the target, or its folder for a sequence of frames
    const char* leaf;
    std::string magic;  // the written file's first bytes
    bool folderValue = false;
};

// Test names stay readable and the same from build to build.
void PrintTo(const TargetCase& t, std::ostream* os) { *os << t.name; }
void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

const TargetCase kTargets[] = {
        {"NewFile", Target::NewFile, nullptr},
        {"ExistingFile", Target::ExistingFile, nullptr},
        {"ReadOnlyFile", Target::ReadOnlyFile, "read-only"},
        {"Symlink", Target::Symlink, nullptr},
        {"DanglingSymlink", Target::DanglingSymlink, nullptr},
        {"Fifo", Target::Fifo, "pipe"},
        {"DeviceNode", Target::DeviceNode, "device"},
        {"ReadOnlyFolderAsNobody", Target::ReadOnlyFolder, "Permission denied"},
        {"FullDisk", Target::FullDisk, "No space left on device"},
        {"EmptyPath", Target::EmptyPath, "bad or missing value"},
};

const Writer kWriters[] = {
        {"Render", "--render", "out.png", "\x89PNG"},
        {"ExportJson", "--export-json", "out.json", "{"},
        {"SaveUniverse", "--save", "out.universe", ""},
        {"Movie", "--frames 2 --movie", "out.mp4", ""},
        {"PngSequence", "--frames 1 --png-sequence", "frame-00000.png", "\x89PNG", true},
};

// A small tmpfs over `at`, filled to the last byte; unmounted before the scratch folder goes.
struct FullDisk {
    std::string at;
    bool mounted = false;
    explicit FullDisk(const std::string& path) : at(path) {
        mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted) return;
        const int fd = ::open((at + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {}
        ::close(fd);
    }
    ~FullDisk() {
        if (mounted) ::umount(at.c_str());
    }
};

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) names.insert(e.path().filename().string());
    return names;
}

// The kind of what is at path itself, or the permissions of what it leads to.
mode_t Kind(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}
mode_t Permissions(const std::string& path) { return mode_t(fs::status(path).permissions() & fs::perms::mask); }

bool HaveNobody() { return ::geteuid() == 0 && std::system("setpriv --version >/dev/null 2>&1") == 0; }

class OutputTarget : public ::testing::TestWithParam<std::tuple<Writer, TargetCase>> {};

TEST_P(OutputTarget, IsWrittenWholeOrRefusedWithTheReason) {
    const Writer& w = std::get<0>(GetParam());
    const TargetCase& t = std::get<1>(GetParam());
    ScratchDir dir;
    const std::string scenario = WriteText((dir / "s.json").string(), kTwoBodies);
    const std::string folder = (dir / "t").string();
    fs::create_directory(folder);
    const std::string path = folder + "/" + w.leaf;
    std::string landed = path, prefix;
    std::unique_ptr<FullDisk> full;
    auto oldFile = [&](const std::string& p, mode_t mode) {
        WriteText(p, "old");
        ::chmod(p.c_str(), mode);
    };
    switch (t.kind) {
        case Target::NewFile: case Target::EmptyPath: break;
        case Target::ExistingFile: oldFile(path, 0640); break;
        case Target::ReadOnlyFile: oldFile(path, 0444); break;
        case Target::Symlink:
            oldFile(landed = folder + "/real.bin", 0640);
            fs::create_symlink("real.bin", path);
            break;
        case Target::DanglingSymlink:
            fs::create_symlink("absent.bin", path);
            landed = folder + "/absent.bin";
            break;
        case Target::Fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
        case Target::DeviceNode:
            // A null device of our own: the system's is never a test target.
            if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node";
            break;
        case Target::ReadOnlyFolder:
            if (!HaveNobody()) GTEST_SKIP() << "needs root and setpriv to run as an unprivileged user";
            prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
            break;
        case Target::FullDisk:
            full = std::make_unique<FullDisk>(folder);
            if (!full->mounted) GTEST_SKIP() << "cannot mount a tmpfs here";
            break;
    }
    const std::set<std::string> before = Entries(folder);
    const mode_t kindBefore = Kind(path);
    const std::string value = t.kind == Target::EmptyPath ? "''" : w.folderValue ? folder : path;
    const SimRun r = Sim(dir, scenario + " " + w.option + " " + value, prefix);
    if (std::string(w.name) == "Movie" && r.err.find("FFmpeg") != std::string::npos) GTEST_SKIP() << r.err;

    for (const std::string& name : Entries(folder)) EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
    if (!t.reason) {
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string bytes = ReadText(landed);
        EXPECT_GT(bytes.size(), 100u);
        EXPECT_EQ(bytes.compare(0, w.magic.size(), w.magic), 0);
        if (std::string(w.name) == "Movie") {
            EXPECT_EQ(bytes.substr(4, 4), "ftyp");
        }
        if (t.kind == Target::ExistingFile || t.kind == Target::Symlink) {
            EXPECT_EQ(Permissions(landed), 0640u);
        }
        if (t.kind == Target::Symlink || t.kind == Target::DanglingSymlink) {
            EXPECT_EQ(Kind(path), mode_t(S_IFLNK));
        }
    } else {
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(t.reason), std::string::npos) << r.err;
        EXPECT_EQ(Entries(folder), before);
        EXPECT_EQ(Kind(path), kindBefore);
        if (t.kind == Target::ReadOnlyFile) {
            EXPECT_EQ(ReadText(path), "old");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
        WritersByTargets, OutputTarget, ::testing::Combine(::testing::ValuesIn(kWriters), ::testing::ValuesIn(kTargets)),
        [](const ::testing::TestParamInfo<OutputTarget::ParamType>& info) {
            return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
        });

// The state printed on stdout is the run's result: a full device takes none of it, and the run fails.
TEST(StateOnStdout, AFullDeviceFailsTheRunWithTheReason) {
    ScratchDir dir;
    const std::string device = (dir / "full").string();
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) GTEST_SKIP() << "cannot make a device node";
    const std::string scenario = WriteText((dir / "s.json").string(), kTwoBodies);
    const SimRun r = Sim(dir, scenario + " --frames 2", "", device);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("standard output: No space left on device"), std::string::npos) << r.err;
    const SimRun ok = Sim(dir, scenario + " --frames 2");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_NE(ok.out.find("\"simTime\""), std::string::npos) << ok.out;
    EXPECT_TRUE(ok.out.ends_with("}\n")) << ok.out;
}

}  // namespace
