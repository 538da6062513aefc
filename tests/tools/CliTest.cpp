// gravitas-sim on universe files and --render: a file that cannot be opened or simulated is refused
// in one line on stderr with status 2 and never a hang; pictures and rings survive --load and --save,
// and are drawn by --render (the options' limits and unwritable targets: tests/outputs).
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <QImage>
#include <cmath>
#include <fstream>
#include <set>
#include <sys/stat.h>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

struct Outcome {
    int status;
    std::string err;
};
Outcome Sim(const std::string& args) {  // stderr only, with a time limit
    FILE* p = popen(("timeout 60 " GRAVITAS_SIM_BINARY " " + args + " 2>&1 >/dev/null").c_str(), "r");
    Outcome r{0, {}};
    for (char buf[4096]; size_t n = fread(buf, 1, sizeof buf, p);) r.err.append(buf, n);
    return r.status = WEXITSTATUS(pclose(p)), r;
}
const std::string kData = GRAVITAS_SOURCE_DIR "/data/", kGiant = kData + "universes/ringed-giant.universe";
ResourceFile Read(const std::string& path) {
    ResourceFile rf;
    std::string error;
    EXPECT_TRUE(rf.ReadFromFile(path, error)) << path << ": " << error;
    return rf;
}
std::string Write(const ResourceFile& rf, const std::string& path) {
    std::string error;
    EXPECT_TRUE(rf.WriteToFile(path, error)) << error;
    return path;
}
int Lit(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
    return lit;
}

}  // namespace

TEST(Cli, FilesThatCannotBeOpenedOrSimulatedAreRefusedInOneLine) {
    ScratchDir scratch;
    ASSERT_EQ(::mkfifo((scratch.prefix() + "pipe.universe").c_str(), 0600), 0);
    { std::ofstream(scratch.prefix() + "text.universe") << "not a resource file"; }
    ResourceFile pushes = Read(kGiant), moved = Read(kGiant);
    Resource s = *pushes.Get(FourCC("ORSt"), 0);
    moved.Remove(s.type, 0), moved.Add(s.type, 7, s.name, s.data.data(), s.data.size());  // unchanged, another ID
    PutBE32(s.data.data() + 44, 0x7FFFFFFF);  // every frame would run two thousand million pushes
    pushes.Add(s.type, 0, s.name, s.data.data(), s.data.size());
    const std::pair<std::string, std::string> cases[] = {  // other files that are no regular file: FilesTest
        {scratch.prefix() + "pipe.universe", "pipe"}, {scratch.prefix() + "text.universe", "resource"},
        {scratch.prefix() + "missing.universe", "No such file"},
        {Write(pushes, scratch.prefix() + "pushes.universe"), "pushesPerFrame"}};
    for (const auto& [path, reason] : cases) {
        const Outcome r = Sim("--load " + path + " --frames 2");
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
    // Settings under another ID: a warning naming the file, and the run goes on.
    const Outcome r = Sim("--load " + Write(moved, scratch.prefix() + "moved.universe") + " --frames 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("moved.universe"), std::string::npos) << r.err;
}

// JSON export and import keep every field: tests/outputs.
TEST(Cli, LoadAndSaveKeepEveryPictureAndRing) {
    ScratchDir scratch;
    ASSERT_EQ(Sim("--load " + kGiant + " --frames 1 --save " + scratch.prefix() + "b.universe").status, 0);
    const ResourceFile before = Read(kGiant), after = Read(scratch.prefix() + "b.universe");
    std::set<uint32_t> kinds;
    for (const Resource& res : before.All())
        if (res.type == FourCC("PICT") || res.type == FourCC("RgDt")) {
            kinds.insert(res.type);
            ASSERT_NE(after.Get(res.type, res.id), nullptr) << res.id;
            EXPECT_EQ(after.Get(res.type, res.id)->data, res.data) << res.id;
        }
    EXPECT_EQ(kinds.size(), 2u) << "the giant has pictures and a ring";
}

TEST(Cli, RenderDrawsTheSurfacePicturesAndStars) {
    ScratchDir scratch;
    const auto render = [&](const std::string& args) {
        EXPECT_EQ(Sim(args + " --render " + scratch.prefix() + "x.png").status, 0) << args;
        return QImage(QString::fromStdString(scratch.prefix() + "x.png"));
    };
    // The same universe with and without its pictures.
    ResourceFile bare = Read(kGiant);
    while (const Resource* p = bare.GetFirstOfType(FourCC("PICT"))) bare.Remove(p->type, p->id);
    const std::string view = " --frames 1 --camera-mode 1 --camera-body 0 --no-stars --width 160 --height 120";
    const QImage textured = render("--load " + kGiant + view);
    const QImage plain = render("--load " + Write(bare, scratch.prefix() + "bare.universe") + view);
    ASSERT_TRUE(textured.size() == QSize(160, 120) && plain.size() == textured.size());
    int differing = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) differing += textured.pixel(x, y) != plain.pixel(x, y);
    EXPECT_GT(differing, 200);
    EXPECT_GT(Lit(plain), 200);
    EXPECT_EQ(textured.pixel(0, 0) & 0xFFFFFF, 0u);  // no stars: the corners stay black
    // A JSON scenario's picture files are read beside it; one that is missing is told, and not drawn.
    std::filesystem::copy_file(kData + "scenarios/ringed-giant.json", scratch.prefix() + "giant.json");
    const Outcome missing = Sim(scratch.prefix() + "giant.json" + view + " --render " + scratch.prefix() + "y.png");
    EXPECT_NE(missing.err.find("warning: body 1 \"Giant\": surface picture " + scratch.prefix() + "giant-bands.png"), std::string::npos) << missing.err;
    EXPECT_NE(render(kData + "scenarios/ringed-giant.json" + view), QImage(QString::fromStdString(scratch.prefix() + "y.png")));
    // Stars unless --no-stars (trails are drawn in the golden frames, their option kept by tests/outputs).
    const std::string giant = kData + "scenarios/ringed-giant.json --frames 1 --width 200 --height 150 --labels 0";
    EXPECT_GT(Lit(render(giant)), Lit(render(giant + " --no-stars")) + 20);
}

// Particles on circular orbits at 2.05, 2.15 (three) and 2.45 au about a lone sun fall in their bins;
// one unbound particle is counted outside; the chart shows the 3:1 resonance (2.50 au) in red.
TEST(Cli, TheBeltHistogramCountsOsculatingSemiMajorAxes) {
    ScratchDir scratch;
    const double au = 1.495978707e11, gm = 6.674e-11 * 2e30;
    std::string bodies = R"({"name": "Sun", "pos": [0, 0, 0], "vel": [0, 0, 0], "mass": 2e30, "radius": 7e8})";
    for (double a : {2.05, 2.15, 2.15, 2.15, 2.45, -1.0}) {
        const double r = std::fabs(a) * au, v = std::sqrt(gm / r) * (a < 0 ? 2.0 : 1.0);
        bodies += R"(, {"name": "p", "pos": [)" + std::to_string(r) + R"(, 0, 0], "vel": [0, )" + std::to_string(v) +
                  R"(, 0], "mass": 0, "radius": 1})";
    }
    const std::string json = (scratch / "s.json").string(), csv = (scratch / "h.csv").string();
    std::ofstream(json) << R"({"physics": {"gravConstant": 6.674e-11}, "bodies": [)" << bodies << "]}";
    ASSERT_EQ(Sim(json + " --frames 0 --histogram " + csv + " --histogram-bins 6 --histogram-range 2.0:2.6").status, 0);
    std::ifstream in(csv);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "low_au,high_au,particles\n2.000000,2.100000,1\n2.100000,2.200000,3\n2.200000,2.300000,0\n"
                    "2.300000,2.400000,0\n2.400000,2.500000,1\n2.500000,2.600000,0\n");
    const QImage chart((scratch / "h.png").string().c_str());
    ASSERT_FALSE(chart.isNull());
    int red = 0;
    for (int y = 0; y < chart.height(); ++y) red += (chart.pixel(60 + (chart.width() - 80) * 5 / 6, y) & 0xFFFFFF) == 0xD00000;
    EXPECT_GT(red, chart.height() / 2) << "the 3:1 line at 2.50 au";
    EXPECT_NE(Sim(json + " --histogram-range 3:2 --histogram " + csv).err.find("LOW:HIGH"), std::string::npos);
}
