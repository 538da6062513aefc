// Universe files carrying values that cannot be simulated or drawn, names of
// any bytes and picture names pointing out of the folder, opened the way the
// application opens them.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sys/stat.h>

#include "core/Limits.h"
#include "core/Strings.h"
#include "io/ByteOrder.h"
#include "io/Universe.h"
#include "io/UniverseImage.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

namespace fs = std::filesystem;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class RecordingBackend : public PlatformBackend {
public:
    std::vector<std::string> stops, cautions;
    void StopAlert(const std::string& text) override { stops.push_back(text); }
    void CautionAlert(const std::string& text) override { cautions.push_back(text); }
};

void PutBEDouble(uint8_t* p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 7; i >= 0; --i, bits >>= 8) p[i] = uint8_t(bits);
}

void SetName(Str31 s, const std::string& n) {
    s[0] = uint8_t(n.size());
    std::memcpy(s + 1, n.data(), n.size());
}

// A two-body universe with a schedule, as the application saves one.
ResourceFile GoodUniverse() {
    std::vector<uint8_t> block(kBodyListHeaderSize + sizeof(BodyInfoStruct) * 3, 0);
    auto* L = reinterpret_cast<BodyListStruct*>(block.data());
    L->count = 2;
    for (int k = 0; k < 2; ++k) {
        BodyInfoStruct& b = L->body[k];
        b.pos[0] = 1.5e11 * k;
        b.vel[1] = 29780.0 * k;
        b.mass = k ? 5.97e24 : 1.989e30;
        b.radius = k ? 6.371e6 : 6.96e8;
        b.bodyFlags = k ? kCraftFlag : 0;
        SetName(b.name, k ? "Earth" : "Sun");
    }
    std::vector<uint8_t> tt(kTTListHeaderSize + 16 * 2, 0);
    auto* T = reinterpret_cast<TimedThrustListStruct*>(tt.data());
    T->count = 1;
    T->entry[0] = {12.5, 100, 0};
    UniverseSaveInput in;
    in.settings.gravConstant = 6.674e-11;
    in.settings.powerLaw = -2;
    in.settings.timeStep = 3600;
    in.settings.viewAngle = 70;
    in.settings.pushesPerFrame = 4;
    in.settings.minPointSize = 2;
    in.bodies = L;
    in.bodiesBlockSize = block.size();
    in.thrust = T;
    in.thrustBlockSize = tt.size();
    in.eyeDistance = 4e11;
    in.cameraIJK = IJK{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    ResourceFile rf;
    EXPECT_TRUE(BuildUniverseResources(in, rf));
    return rf;
}

// Changes the bytes of one resource in place.
template <class F>
ResourceFile Patched(uint32_t type, int16_t id, F change) {
    ResourceFile rf = GoodUniverse();
    Resource r = *rf.Get(type, id);
    change(r.data.data());
    rf.Add(type, id, r.name, r.data.data(), r.data.size());
    return rf;
}

struct Field {
    const char* name;
    size_t offset;
};

class HostileUniverse : public ::testing::Test {
protected:
    void SetUp() override {
        SetPlatformBackend(&backend);
        rt.spherePixList = 0;
        // A scenario in memory that no refused file may touch.
        ASSERT_TRUE(Write(GoodUniverse(), "good.universe"));
        ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "good.universe"));
        ASSERT_TRUE(backend.stops.empty());
    }
    void TearDown() override {
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = 0;
        DeallocateAllPushMemory();
        SetPlatformBackend(nullptr);
    }
    bool Write(const ResourceFile& rf, const std::string& name) {
        std::string error;
        return rf.WriteToFile(scratch.prefix() + name, error);
    }
    // Opening the file is refused with one alert naming the file and the field,
    // and the scenario in memory stays as it was.
    void ExpectRefused(const ResourceFile& rf, const std::string& field) {
        ASSERT_TRUE(Write(rf, "hostile.universe"));
        backend.stops.clear();
        const SettingsStruct before = set;
        const std::vector<uint8_t> bodiesBefore(static_cast<uint8_t*>(HandlePtr(set.bodies)),
                                                static_cast<uint8_t*>(HandlePtr(set.bodies)) + GetHandleSize(set.bodies));
        EXPECT_FALSE(LoadAllSettingsFrom(scratch.prefix() + "hostile.universe")) << field;
        ASSERT_EQ(backend.stops.size(), 1u) << field;
        const std::string& text = backend.stops[0];
        EXPECT_NE(text.find("hostile.universe"), std::string::npos) << text;
        EXPECT_NE(text.find(field), std::string::npos) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;
        EXPECT_EQ(std::memcmp(&before, &set, sizeof set), 0) << field;
        ASSERT_EQ(size_t(GetHandleSize(set.bodies)), bodiesBefore.size());
        EXPECT_EQ(std::memcmp(HandlePtr(set.bodies), bodiesBefore.data(), bodiesBefore.size()), 0) << field;
    }
    ScratchDir scratch;
    RecordingBackend backend;
};

}  // namespace

TEST_F(HostileUniverse, NonFiniteSettingsAreRefused) {
    const Field fields[] = {{"gravConstant", 8},      {"powerLaw", 16},         {"timeStep", 24},
                            {"viewAngle", 32},        {"craftThrust", 80},      {"autoRotation", 88},
                            {"savedEyeDistance", 96}, {"savedCameraTilt", 104}, {"savedCameraAzimuth", 112},
                            {"starInclination", 152}, {"starAzimuth", 160}};
    for (const Field& f : fields)
        for (double bad : {kNaN, kInf, -kInf})
            ExpectRefused(Patched(FourCC("ORSt"), 0, [&](uint8_t* d) { PutBEDouble(d + f.offset, bad); }), f.name);
}

TEST_F(HostileUniverse, AbsurdCountsAndSizesAreRefused) {
    auto setting = [](size_t offset, uint32_t value) {
        return Patched(FourCC("ORSt"), 0, [=](uint8_t* d) { PutBE32(d + offset, value); });
    };
    ExpectRefused(setting(44, 0x7FFFFFFF), "pushesPerFrame");
    ExpectRefused(setting(44, uint32_t(kMaxPushesPerFrame + 1)), "pushesPerFrame");
    ExpectRefused(setting(48, uint32_t(-1)), "minPointSize");
    ExpectRefused(setting(64, 0x7FFFFFFF), "eyeRadius");
    ExpectRefused(setting(68, uint32_t(kMaxTrailLength + 1)), "trailLength");
    ExpectRefused(setting(68, uint32_t(-5)), "trailLength");
    ExpectRefused(Patched(FourCC("ORSt"), 0, [](uint8_t* d) { PutBEDouble(d + 32, 180.0); }), "viewAngle");
    // At the bound it loads; below 1 it runs as one push.
    ASSERT_TRUE(Write(setting(44, uint32_t(kMaxPushesPerFrame)), "bound.universe"));
    EXPECT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "bound.universe"));
    EXPECT_EQ(set.pushesPerFrame, kMaxPushesPerFrame);
}

TEST_F(HostileUniverse, NonFiniteOrNegativeBodyValuesAreRefused) {
    const Field fields[] = {{"pos.x", 0},      {"pos.z", 16},      {"vel.y", 32},       {"mass", 48},
                            {"radius", 56},    {"axisTilt", 64},   {"axisAzimuth", 72}, {"spinPhase", 80},
                            {"spinRate", 88},  {"ringRatio", 96}};
    for (const Field& f : fields)
        for (double bad : {kNaN, kInf}) {
            ExpectRefused(Patched(FourCC("Bdez"), 1024,
                                  [&](uint8_t* d) { PutBEDouble(d + 8 + 176 + f.offset, bad); }),
                          std::string("body 2 \"Earth\": ") + f.name);
        }
    ExpectRefused(Patched(FourCC("Bdez"), 1024, [](uint8_t* d) { PutBEDouble(d + 8 + 48, -1.0); }),
                  "body 1 \"Sun\": mass is negative");
    ExpectRefused(Patched(FourCC("Bdez"), 1024, [](uint8_t* d) { PutBEDouble(d + 8 + 56, -1.0); }),
                  "radius is negative");
}

TEST_F(HostileUniverse, NonFiniteThrustIsRefused) {
    for (double bad : {kNaN, kInf, -kInf})
        ExpectRefused(Patched(FourCC("TmTh"), 1024, [&](uint8_t* d) { PutBEDouble(d + 8, bad); }),
                      "timed thrust entry 1: deltaV");
}

TEST_F(HostileUniverse, DamagedContainersAndOtherFilesGiveTheReason) {
    auto refusedWith = [&](const std::string& path, const std::string& reason) {
        backend.stops.clear();
        const double g = set.gravConstant;
        EXPECT_FALSE(LoadAllSettingsFrom(path));
        ASSERT_EQ(backend.stops.size(), 1u);
        EXPECT_NE(backend.stops[0].find(path), std::string::npos) << backend.stops[0];
        EXPECT_NE(backend.stops[0].find(reason), std::string::npos) << backend.stops[0];
        EXPECT_EQ(set.gravConstant, g);
        EXPECT_EQ(BodyList()->count, 2);
    };
    refusedWith(scratch.path().string(), "folder");
    refusedWith("/dev/zero", "device");
    const std::string fifo = scratch.prefix() + "pipe.universe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    refusedWith(fifo, "pipe");
    { std::ofstream(scratch.prefix() + "text.universe") << "not a resource file at all, just text"; }
    refusedWith(scratch.prefix() + "text.universe", "resource");
    ResourceFile noBodies = GoodUniverse();
    noBodies.Remove(FourCC("Bdez"), 1024);
    ASSERT_TRUE(Write(noBodies, "nobodies.universe"));
    refusedWith(scratch.prefix() + "nobodies.universe", "no body list");
}

TEST_F(HostileUniverse, NamesOfAnyBytesAreCutAndShownSafely) {
    // A length byte of 255 in a 32-byte name record; the bytes after it belong to the next field.
    ResourceFile rf = Patched(FourCC("Bdez"), 1024, [](uint8_t* d) {
        uint8_t* name = d + 8 + 176 + 142;
        name[0] = 255;
        std::memset(name + 1, 'A', 31);
    });
    ASSERT_TRUE(Write(rf, "long.universe"));
    ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "long.universe"));
    EXPECT_EQ(BodyList()->body[1].name[0], 31);
    EXPECT_EQ(PToCStr(BodyList()->body[1].name), std::string(31, 'A'));
    // Bytes that are not UTF-8 are the classic Roman set: 0x8E is e-acute.
    rf = Patched(FourCC("Bdez"), 1024, [](uint8_t* d) {
        uint8_t* name = d + 8 + 176 + 142;
        const uint8_t roman[] = {5, 'C', 'a', 'f', 0x8E, 0xDB};
        std::memcpy(name, roman, sizeof roman);
    });
    ASSERT_TRUE(Write(rf, "roman.universe"));
    ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "roman.universe"));
    EXPECT_EQ(PToCStr(BodyList()->body[1].name), "Caf\u00e9\u20ac");
}

TEST_F(HostileUniverse, PictureNamesOutsideTheFolderAreNotRead) {
    // Body 1 names its picture with an STR resource, as the variant without embedded pictures does.
    auto withPictureName = [](const std::string& fileName) {
        ResourceFile rf = Patched(FourCC("Bdez"), 1024, [](uint8_t* d) { PutBE32(d + 8 + 108, 1024); });
        std::vector<uint8_t> str(1 + fileName.size());
        str[0] = uint8_t(fileName.size());
        std::memcpy(str.data() + 1, fileName.data(), fileName.size());
        rf.Add(FourCC("STR "), 1024, "Sun pic", str.data(), str.size());
        return rf;
    };
    // A readable file one folder up, named with "..", and by an absolute path.
    fs::create_directories(scratch / "inner");
    { std::ofstream(scratch / "secret.pict") << std::string(512, '\0') << "secret bytes"; }
    for (const std::string& name : {std::string("../secret.pict"), scratch.prefix() + "secret.pict"}) {
        std::string error;
        ASSERT_TRUE(withPictureName(name).WriteToFile(scratch.prefix() + "inner/u.universe", error));
        backend.cautions.clear();
        ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "inner/u.universe"));
        EXPECT_EQ(BodyList()->body[0].spherePixID, 0) << name;
        ASSERT_EQ(backend.cautions.size(), 1u);
        EXPECT_NE(backend.cautions[0].find("not in the universe's folder"), std::string::npos) << backend.cautions[0];
        // The next save carries nothing of that file.
        ASSERT_TRUE(SaveAllSettingsTo(scratch.prefix() + "inner/again.universe", true));
        ResourceFile again;
        ASSERT_TRUE(again.ReadFromFile(scratch.prefix() + "inner/again.universe", error)) << error;
        EXPECT_EQ(again.GetFirstOfType(FourCC("PICT")), nullptr);
    }
    // A plain name that is a pipe: read without blocking, the body loads without it.
    ASSERT_EQ(::mkfifo((scratch / "inner" / "pipe.pict").c_str(), 0600), 0);
    std::string error;
    ASSERT_TRUE(withPictureName("pipe.pict").WriteToFile(scratch.prefix() + "inner/p.universe", error));
    backend.cautions.clear();
    ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "inner/p.universe"));
    EXPECT_EQ(BodyList()->body[0].spherePixID, 0);
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("pipe"), std::string::npos) << backend.cautions[0];
}

TEST_F(HostileUniverse, SubstituteSettingsGiveACautionThatNamesTheFile) {
    ResourceFile rf = GoodUniverse();
    Resource settings = *rf.Get(FourCC("ORSt"), 0);
    rf.Remove(FourCC("ORSt"), 0);
    rf.Add(FourCC("ORSt"), 5, settings.name, settings.data.data(), settings.data.size());
    ASSERT_TRUE(Write(rf, "moved.universe"));
    backend.cautions.clear();
    ASSERT_TRUE(LoadAllSettingsFrom(scratch.prefix() + "moved.universe"));
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("moved.universe"), std::string::npos);
}

TEST_F(HostileUniverse, SaveKeepsPermissionsAndRefusesReadOnlyTargets) {
    const std::string path = scratch.prefix() + "mine.universe";
    ASSERT_TRUE(SaveAllSettingsTo(path, true));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(SaveAllSettingsTo(path, true));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    backend.stops.clear();
    EXPECT_FALSE(SaveAllSettingsTo(path, true));
    ASSERT_EQ(backend.stops.size(), 1u);
    EXPECT_NE(backend.stops[0].find("read-only"), std::string::npos) << backend.stops[0];
    EXPECT_NE(backend.stops[0].find("mine.universe"), std::string::npos) << backend.stops[0];
}
