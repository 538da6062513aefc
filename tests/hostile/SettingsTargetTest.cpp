// The settings file is written by QSettings, but only over a target that the application's
// own check allows: a pipe, a device or a read-only file is left as it was, a link is
// written through, and nothing waits on a pipe.
#include <gtest/gtest.h>

#include "SimRun.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>

#include "platform/qt/QtSettingsStore.h"

namespace {

namespace fs = std::filesystem;

struct SettingsCase {
    const char* name;
    mode_t kind;  // what is at the settings file's place beforehand
    bool written;
};
void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }

class SettingsTarget : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsTarget, IsWrittenOnlyWhereAFileMayBeReplaced) {
    const SettingsCase& c = GetParam();
    ScratchDir dir;
    const fs::path folder = dir / "Gravitas";
    fs::create_directories(folder);
    const std::string file = (folder / "Gravitas.conf").string(), real = (dir / "real.conf").string();
    const std::string old = "[General]\nkept=old\n";
    if (c.kind == S_IFIFO) {
        ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    }
    if (c.kind == S_IFCHR && ::mknod(file.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "no mknod";
    if (c.kind == S_IFREG) std::ofstream(file) << old;
    if (c.kind == 0444) std::ofstream(file) << old, ::chmod(file.c_str(), 0444);
    if (c.kind == S_IFLNK) std::ofstream(real) << old, fs::create_symlink(real, file);
    // QSettings settles on the configuration folder once per process: each case runs in its own.
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);  // a write that waits on the pipe ends the child, and the case fails
        ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
        QtSettingsStore store;
        store.WriteSetting("fresh", "new");
        store.FlushSettings();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the settings write did not finish";
    struct stat st;
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    const std::string landed = c.kind == S_IFLNK ? real : file;
    EXPECT_EQ(st.st_mode & S_IFMT, c.kind == 0444 ? S_IFREG : c.kind);
    if (c.kind == S_IFREG || c.kind == 0444 || c.kind == S_IFLNK) {
        const std::string text = ReadText(landed);
        EXPECT_EQ(text.find("fresh=new") != std::string::npos, c.written) << text;
        EXPECT_NE(text.find("kept=old"), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsTarget,
                         ::testing::Values(SettingsCase{"ExistingFile", S_IFREG, true},
                                           SettingsCase{"Symlink", S_IFLNK, true},
                                           SettingsCase{"ReadOnlyFile", 0444, false},
                                           SettingsCase{"Fifo", S_IFIFO, false},
                                           SettingsCase{"DeviceNode", S_IFCHR, false}),
                         [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

}  // namespace
