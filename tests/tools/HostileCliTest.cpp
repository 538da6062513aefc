// gravitas-sim on hostile universe files: one line on stderr naming the file
// and the field, exit status 2, and never a hang; pictures and rings survive
// --load/--save and are drawn by --render.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <sys/wait.h>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

struct SimRun {
    int status;
    std::string err;
};

// Runs the tool with a time limit, keeping stderr.
SimRun Sim(const std::string& args) {
    const std::string cmd = "timeout 60 " + std::string(GRAVITAS_SIM_BINARY) + " " + args + " 2>&1 >/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    return SimRun{WEXITSTATUS(pclose(p)), text};
}

int Lines(const std::string& s) { return int(std::count(s.begin(), s.end(), '\n')); }

std::string Demo(const char* name) { return std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/" + name; }

ResourceFile ReadUniverse(const std::string& path) {
    ResourceFile rf;
    std::string error;
    EXPECT_TRUE(rf.ReadFromFile(path, error)) << path << ": " << error;
    return rf;
}

void WriteUniverse(const ResourceFile& rf, const std::string& path) {
    std::string error;
    ASSERT_TRUE(rf.WriteToFile(path, error)) << error;
}

void PutBEDouble(uint8_t* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 7; i >= 0; --i, bits >>= 8) p[i] = uint8_t(bits);
}

// The demo universe with the settings changed.
template <class F>
std::string PatchedDemo(const ScratchDir& scratch, const std::string& name, F change) {
    ResourceFile rf = ReadUniverse(Demo("ringed-giant.universe"));
    Resource s = *rf.Get(FourCC("ORSt"), 0);
    change(rf, s.data.data());
    rf.Add(FourCC("ORSt"), 0, s.name, s.data.data(), s.data.size());
    const std::string path = scratch.prefix() + name;
    WriteUniverse(rf, path);
    return path;
}

}  // namespace

TEST(HostileCli, FilesThatAreNotUniversesAreRefusedAtOnce) {
    ScratchDir scratch;
    const std::string fifo = scratch.prefix() + "pipe.universe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    { std::ofstream(scratch.prefix() + "text.universe") << "not a resource file"; }
    const std::pair<std::string, std::string> cases[] = {{scratch.path().string(), "folder"},
                                                         {"/dev/zero", "device"},
                                                         {fifo, "pipe"},
                                                         {scratch.prefix() + "text.universe", "resource"},
                                                         {scratch.prefix() + "missing.universe", "No such file"}};
    for (const auto& [path, reason] : cases) {
        const SimRun r = Sim("--load " + path + " --frames 2");
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(Lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
}

TEST(HostileCli, ValuesThatCannotBeSimulatedNameTheField) {
    ScratchDir scratch;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SimRun r = Sim("--load " + PatchedDemo(scratch, "g.universe", [&](ResourceFile&, uint8_t* d) { PutBEDouble(d + 8, nan); }));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("gravConstant"), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err), 1) << r.err;
    // Every frame would run two thousand million pushes.
    r = Sim("--load " + PatchedDemo(scratch, "p.universe", [](ResourceFile&, uint8_t* d) { PutBE32(d + 44, 0x7FFFFFFF); }) +
            " --frames 2");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("pushesPerFrame"), std::string::npos) << r.err;
}

TEST(HostileCli, CautionsAreToldAndTheRunGoesOn) {
    ScratchDir scratch;
    const std::string path = PatchedDemo(scratch, "moved.universe", [](ResourceFile& rf, uint8_t* d) {
        Resource s = *rf.Get(FourCC("ORSt"), 0);
        rf.Remove(FourCC("ORSt"), 0);
        rf.Add(FourCC("ORSt"), 7, s.name, d, s.data.size());
    });
    // The patch above re-adds ID 0 as well; take it away again.
    ResourceFile rf = ReadUniverse(path);
    rf.Remove(FourCC("ORSt"), 0);
    WriteUniverse(rf, path);
    const SimRun r = Sim("--load " + path + " --frames 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("moved.universe"), std::string::npos) << r.err;
}

TEST(HostileCli, LoadAndSaveKeepEveryPictureAndRing) {
    ScratchDir scratch;
    for (const char* name : {"ringed-giant.universe", "sun-earth-moon.universe"}) {
        const std::string out = scratch.prefix() + name;
        const SimRun r = Sim("--load " + Demo(name) + " --frames 1 --save " + out);
        ASSERT_EQ(r.status, 0) << r.err;
        const ResourceFile before = ReadUniverse(Demo(name)), after = ReadUniverse(out);
        int pictures = 0;
        for (const Resource& res : before.All()) {
            if (res.type != FourCC("PICT") && res.type != FourCC("RgDt")) continue;
            ++pictures;
            const Resource* kept = after.Get(res.type, res.id);
            ASSERT_NE(kept, nullptr) << name << " " << res.id;
            EXPECT_EQ(kept->data, res.data) << name << " " << res.id;
        }
        EXPECT_GT(pictures, 0) << name;
    }
}

// The same universe drawn with and without its pictures: the pictures change the frame.
TEST(HostileCli, LoadedUniversesRenderTextured) {
    ScratchDir scratch;
    ResourceFile bare = ReadUniverse(Demo("ringed-giant.universe"));
    while (const Resource* p = bare.GetFirstOfType(FourCC("PICT"))) bare.Remove(p->type, p->id);
    WriteUniverse(bare, scratch.prefix() + "bare.universe");
    const std::string view = " --frames 1 --camera-mode 1 --camera-body 0 --no-stars --width 160 --height 120 --render ";
    ASSERT_EQ(Sim("--load " + Demo("ringed-giant.universe") + view + scratch.prefix() + "textured.png").status, 0);
    ASSERT_EQ(Sim("--load " + scratch.prefix() + "bare.universe" + view + scratch.prefix() + "bare.png").status, 0);
    const QImage textured(QString::fromStdString(scratch.prefix() + "textured.png"));
    const QImage plain(QString::fromStdString(scratch.prefix() + "bare.png"));
    ASSERT_EQ(textured.size(), plain.size());
    int differing = 0;
    for (int y = 0; y < textured.height(); ++y)
        for (int x = 0; x < textured.width(); ++x) differing += textured.pixel(x, y) != plain.pixel(x, y);
    EXPECT_GT(differing, 200);
}

TEST(HostileCli, SavesRefuseReadOnlyTargetsAndFollowLinks) {
    ScratchDir scratch;
    const std::string locked = scratch.prefix() + "locked.universe";
    { std::ofstream(locked) << "keep"; }
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    SimRun r = Sim("--load " + Demo("ringed-giant.universe") + " --save " + locked);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("read-only"), std::string::npos) << r.err;
    std::ifstream in(locked);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    std::filesystem::create_symlink("real.universe", scratch.path() / "link.universe");
    r = Sim("--load " + Demo("ringed-giant.universe") + " --save " + scratch.prefix() + "link.universe");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_symlink(scratch.path() / "link.universe"));
    EXPECT_NE(ReadUniverse(scratch.prefix() + "real.universe").Get(FourCC("Bdez"), 1024), nullptr);
}

TEST(HostileCli, NamesOfAnyBytesExportAsText) {
    ScratchDir scratch;
    ResourceFile rf = ReadUniverse(Demo("ringed-giant.universe"));
    Resource b = *rf.Get(FourCC("Bdez"), 1024);
    uint8_t* name = b.data.data() + 8 + 142;
    const uint8_t roman[] = {255, 'C', 'a', 'f', 0x8E};
    std::memcpy(name, roman, sizeof roman);
    rf.Add(b.type, b.id, b.name, b.data.data(), b.data.size());
    WriteUniverse(rf, scratch.prefix() + "names.universe");
    const SimRun r = Sim("--load " + scratch.prefix() + "names.universe --frames 1 --export-json " + scratch.prefix() + "n.json");
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(scratch.prefix() + "n.json");
    const std::string json(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(json.find("Caf\u00e9"), std::string::npos);
}
