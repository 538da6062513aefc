// Universe files: the bytes of each resource, every field surviving a save and an
// open, and files whose values, names or sizes must not reach the simulation.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "core/Limits.h"
#include "core/Strings.h"
#include "io/ByteOrder.h"
#include "io/Universe.h"
#include "io/UniverseImage.h"
#include "io/UniverseStrings.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

// A sun, a craft and a ringed planet with a picture, and a two-entry schedule.
struct Scenario {
    Bytes bodies = Bytes(8 + 176 * 4, 0), thrust = Bytes(8 + 16 * 3, 0);
    Handle picture = NewHandle(10), ring = NewHandle(kRingProfileBytes);
    UniverseSaveInput in;
    BodyInfoStruct& Body(int k) { return reinterpret_cast<BodyListStruct*>(bodies.data())->body[k]; }
    Scenario() {
        reinterpret_cast<BodyListStruct*>(bodies.data())->count = 3;
        for (int k = 0; k < 3; ++k) {
            BodyInfoStruct& b = Body(k);  // pos, vel, mass, radius, axes, spin and ring ratio: 13 doubles
            for (int i = 0; i < 13; ++i) (&b.pos[0])[i] = 1000.0 * (k + 1) + i;
            b.bodyFlags = k == 1 ? kCraftFlag : 0, b.parent = k, b.color = {0x1234, 0x5678, 0x9ABC};
            CToPStr31(b.name, k ? "Body" + std::to_string(k) : "Sun");
        }
        std::memset(Body(0).reserved120, 0xEE, sizeof Body(0).reserved120), Body(0).padding174[0] = 9;
        std::memset(HandlePtr(picture), 0x77, 10), std::memset(HandlePtr(ring), 0x33, kRingProfileBytes);
        Body(2).spherePixID = 7, Body(2).ringPix = ring;
        in.picture = [this](int32_t id) { return id == 7 ? picture : kNoHandle; };
        auto* T = reinterpret_cast<TimedThrustListStruct*>(thrust.data());
        T->count = 2, T->entry[0] = {12.5, 100, 0}, T->entry[1] = {-3.0, 200, 0};
        SettingsStruct& s = in.settings;
        s.gravConstant = 6.674e-11, s.powerLaw = -2, s.timeStep = 3600, s.viewAngle = 70;
        s.pushMethod = 4, s.pushesPerFrame = 4, s.labelFlags = 0xA5, s.starAzimuth = 0.25;
        in.bodies = reinterpret_cast<BodyListStruct*>(bodies.data()), in.bodiesBlockSize = bodies.size();
        in.thrust = T, in.thrustBlockSize = thrust.size();
        in.eyeDistance = 4e11, in.cameraIJK.k[1] = in.cameraIJK.k[2] = 46341;
    }
    ~Scenario() { DisposeHandle(picture), DisposeHandle(ring); }
    ResourceFile Build() {
        ResourceFile rf;
        EXPECT_TRUE(BuildUniverseResources(in, rf));
        return rf;
    }
};

// Through the container, as a file would go.
bool Load(const ResourceFile& rf, LoadedUniverse& u, std::string& err) {
    const Bytes bytes = rf.Serialize();
    ResourceFile back;
    return back.Parse(bytes.data(), bytes.size(), err) && ReadUniverseResources(back, u, err);
}

// The resource with `bytes` written at `at`, then cut to `size` bytes.
ResourceFile Patched(ResourceFile rf, uint32_t type, int16_t id, size_t at, const Bytes& bytes, size_t size = SIZE_MAX) {
    Resource r = *rf.Get(type, id);
    std::copy(bytes.begin(), bytes.end(), r.data.begin() + ptrdiff_t(at));
    r.data.resize(std::min(size, r.data.size()));
    rf.Add(type, id, r.name, r.data.data(), r.data.size());
    return rf;
}
ResourceFile Moved(ResourceFile rf, uint32_t type, int16_t from, int16_t to) {
    const Resource r = *rf.Get(type, from);
    rf.Remove(type, from), rf.Add(type, to, r.name, r.data.data(), r.data.size());
    return rf;
}
Bytes BE(uint64_t v, int n) {
    Bytes b;
    while (n--) b.push_back(uint8_t(v >> 8 * n));
    return b;
}
Bytes BE(double d) { return BE(std::bit_cast<uint64_t>(d), 8); }

}  // namespace

TEST(UniverseFile, ResourcesHoldTheClassicBytesAndEveryFieldReadsBack) {
    Scenario s;
    const ResourceFile rf = s.Build();
    const Resource *st = rf.Get(kSettingsResType, 0), *b = rf.Get(kBodiesResType, 1024), *t = rf.Get(kThrustResType, 1024);
    ASSERT_TRUE(st && b && t);
    EXPECT_EQ(st->name + b->name + t->name, "SettingsBodies" + UniverseString(6));
    ASSERT_EQ(st->data.size(), 184u);
    EXPECT_EQ(Bytes(&st->data[8], &st->data[16]), BE(6.674e-11));
    EXPECT_EQ(Bytes(&st->data[40], &st->data[44]), BE(4, 4));
    EXPECT_EQ(Bytes(&st->data[60], &st->data[64]), BE(0xA5, 4));
    EXPECT_EQ(Bytes(&st->data[72], &st->data[80]), (Bytes{0, 4, 0, 0, 0, 0, 4, 0}));  // the body list ID is little-endian
    ASSERT_EQ(b->data.size(), 8u + 176 * 4);  // one spare entry
    EXPECT_EQ(GetBE32(b->data.data()), 3u);
    const uint8_t* e1 = b->data.data() + 8 + 176;
    EXPECT_EQ(Bytes(e1 + 104, e1 + 120), (Bytes{0, 0, 0, kCraftFlag, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Bytes(e1 + 136, e1 + 148), (Bytes{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 5, 'B', 'o', 'd', 'y', '1'}));
    EXPECT_EQ(Bytes(e1 + 176 + 108, e1 + 176 + 116), (Bytes{0, 0, 4, 2, 0, 0, 4, 2}));  // picture and ring: 1024 + index
    EXPECT_EQ(rf.Get(kPictResType, 1026)->name + rf.Get(kRingResType, 1026)->name,
              "Body2" + UniverseString(4) + UniverseString(5) + "Body2");
    EXPECT_EQ(Bytes(t->data.begin(), t->data.begin() + 12), (Bytes{0, 0, 0, 2, 0, 0, 0, 0, 0x40, 0x29, 0, 0}));
    EXPECT_EQ(GetBE32(t->data.data() + 8 + 16 + 8), 200u);
    Str31 name;  // 31 characters leave room for the whole picture suffix
    CToPStr31(name, std::string(31, 'x'));
    EXPECT_EQ(PictureResourceName(name), std::string(31 - UniverseString(4).size(), 'x') + UniverseString(4));
    // Every field read back.
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(rf, u, err)) << err;
    EXPECT_FALSE(u.usedFallback);
    ASSERT_EQ(u.bodies.size(), 3u);
    EXPECT_EQ(std::pair(u.bodies[2].info.spherePixID, u.bodies[2].info.ringPix), std::pair(int32_t(1026), Handle(1026)));
    u.bodies[2].info.spherePixID = s.Body(2).spherePixID, u.bodies[2].info.ringPix = s.Body(2).ringPix;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(std::memcmp(&u.bodies[k].info, &s.Body(k), sizeof(BodyInfoStruct)), 0) << k;
    EXPECT_EQ(u.bodies[2].picture, Bytes(10, 0x77));
    EXPECT_EQ(u.bodies[2].ring, Bytes(kRingProfileBytes, 0x33));
    EXPECT_TRUE(u.bodies[0].picture.empty());
    SettingsStruct expect = s.in.settings;
    expect.bodies = expect.timedThrust = 1024;
    expect.savedEyeDistance = 4e11, expect.savedCameraTilt = std::acos(46341 / 65536.0), expect.savedCameraAzimuth = M_PI / 2;
    EXPECT_EQ(std::memcmp(&u.settings, &expect, sizeof expect), 0);
    ASSERT_GE(u.thrust.size(), kTTListHeaderSize + 16 * 3);
    EXPECT_EQ(Bytes(u.thrust.begin(), u.thrust.begin() + 8 + 32), Bytes(s.thrust.begin(), s.thrust.begin() + 8 + 32));
    // No schedule and no bodies: ID 0 in both fields, and the file does not open.
    s.in.thrust = nullptr, reinterpret_cast<BodyListStruct*>(s.bodies.data())->count = 0;
    const ResourceFile empty = s.Build();
    EXPECT_EQ(Bytes(&empty.Get(kSettingsResType, 0)->data[72], &empty.Get(kSettingsResType, 0)->data[80]), Bytes(8, 0));
    EXPECT_FALSE(Load(empty, u, err));
    EXPECT_EQ(err, "it has no body list resource");
}

TEST(UniverseFile, SubstitutesAreFoundAndMissingPartsCostOnlyThemselves) {
    Scenario s;
    const ResourceFile good = s.Build();
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(Moved(good, kSettingsResType, 0, 5), u, err)) << err;
    EXPECT_TRUE(u.usedFallback);
    // The schedule under the ID in the low 16 bits at offset 76; when nothing names it, none.
    const ResourceFile tt = Moved(good, kThrustResType, 1024, 1500);
    ASSERT_TRUE(Load(Patched(tt, kSettingsResType, 0, 76, BE(0x10000 + 1500, 4)), u, err)) << err;
    EXPECT_FALSE(u.thrust.empty());
    ASSERT_TRUE(Load(tt, u, err));
    EXPECT_TRUE(u.thrust.empty());
    // A schedule too short for its count is dropped; a missing picture, a cut ring profile and
    // IDs past 16 bits (which would alias 1026 if cut) cost the planet its picture and ring.
    ResourceFile partial = Patched(Patched(good, kThrustResType, 1024, 0, {}, 8 + 16), kRingResType, 1026, 0, {}, 100);
    partial.Remove(kPictResType, 1026);
    const ResourceFile wide = Patched(good, kBodiesResType, 1024, 8 + 2 * 176 + 108, {0, 1, 4, 2, 0, 1, 4, 2});
    for (const ResourceFile* rf : std::initializer_list<const ResourceFile*>{&partial, &wide}) {
        ASSERT_TRUE(Load(*rf, u, err)) << err;
        EXPECT_TRUE(u.bodies[2].picture.empty() && u.bodies[2].ring.empty());
        EXPECT_TRUE(u.bodies[2].info.spherePixID == 0 && u.bodies[2].info.ringPix == 0);
        EXPECT_EQ(u.thrust.empty(), rf == &partial);
    }
}

namespace {

// A hostile file: the resource, the bytes written at the offset (none: the resource is cut
// to `offset` bytes), and what the refusal names.
struct Hostile {
    std::string what;
    uint32_t type;
    size_t offset;
    Bytes bytes;
    friend std::ostream& operator<<(std::ostream& o, const Hostile& h) { return o << h.what; }
};
ResourceFile Apply(const ResourceFile& good, const Hostile& h) {
    const int16_t id = h.type == kSettingsResType ? 0 : 1024;
    return h.bytes.empty() ? Patched(good, h.type, id, 0, {}, h.offset) : Patched(good, h.type, id, h.offset, h.bytes);
}

std::vector<Hostile> HostileCases() {
    std::vector<Hostile> cases = {
        {"settings resource is 183 bytes", kSettingsResType, 183, {}},
        {"body list resource is 183 bytes", kBodiesResType, 183, {}},
        {"holds only 2", kBodiesResType, 8 + 176 * 4 - 1, {}},
        {"body count -1 is negative", kBodiesResType, 0, BE(0xFFFFFFFF, 4)},
        {"body 1 \"Sun\": mass is negative", kBodiesResType, 8 + 48, BE(-1.0)},
        {"radius is negative", kBodiesResType, 8 + 56, BE(-1.0)},
        {"viewAngle", kSettingsResType, 32, BE(180.0)},
        {"timed thrust entry 1: deltaV", kThrustResType, 8, BE(kNaN)},
        {"pushesPerFrame", kSettingsResType, 44, BE(kMaxPushesPerFrame + 1, 4)},
        {"minPointSize", kSettingsResType, 48, BE(0xFFFFFFFF, 4)},
        {"eyeRadius", kSettingsResType, 64, BE(0x7FFFFFFF, 4)},
        {"trailLength", kSettingsResType, 68, BE(kMaxTrailLength + 1, 4)},
        {"trailLength", kSettingsResType, 68, BE(uint32_t(-5), 4)}};
    const std::pair<const char*, size_t> settings[] = {
        {"gravConstant", 8},  {"powerLaw", 16},     {"timeStep", 24},         {"viewAngle", 32},
        {"craftThrust", 80},  {"autoRotation", 88}, {"savedEyeDistance", 96}, {"savedCameraTilt", 104},
        {"savedCameraAzimuth", 112}, {"starInclination", 152}, {"starAzimuth", 160}};
    for (const auto& [name, at] : settings)
        for (double bad : {kNaN, kInf, -kInf}) cases.push_back({name, kSettingsResType, at, BE(bad)});
    const std::pair<const char*, size_t> body[] = {{"pos.x", 0},  {"pos.z", 16},     {"vel.y", 32},       {"mass", 48},
                                                   {"radius", 56}, {"axisTilt", 64}, {"axisAzimuth", 72}, {"spinPhase", 80},
                                                   {"spinRate", 88}, {"ringRatio", 96}};
    for (const auto& [name, at] : body)
        for (double bad : {kNaN, kInf}) cases.push_back({std::string("body 2 \"Body1\": ") + name, kBodiesResType, 8 + 176 + at, BE(bad)});
    return cases;
}

struct RecordingBackend : PlatformBackend {
    std::vector<std::string> stops, cautions;
    void StopAlert(const std::string& text) override { stops.push_back(text); }
    void CautionAlert(const std::string& text) override { cautions.push_back(text); }
};

// The application's own open, over a scenario in memory.
struct OpenUniverse : ::testing::Test {
    Scenario scenario;
    const ResourceFile good = scenario.Build();
    ScratchDir scratch;
    RecordingBackend backend;
    void SetUp() override {
        SetPlatformBackend(&backend), rt.spherePixList = 0;
        ASSERT_TRUE(Open(good, "good.universe"));
    }
    void TearDown() override {
        DisposeTTHandle(set.timedThrust), set.timedThrust = 0;
        DeallocateAllPushMemory(), SetPlatformBackend(nullptr);
    }
    bool Open(const ResourceFile& rf, const std::string& name) {
        std::string error;
        EXPECT_TRUE(rf.WriteToFile(scratch.prefix() + name, error)) << error;
        backend.stops.clear(), backend.cautions.clear();
        return LoadAllSettingsFrom(scratch.prefix() + name);
    }
};
struct HostileUniverse : OpenUniverse, ::testing::WithParamInterface<Hostile> {};

Bytes BodyBlock() { return Bytes(static_cast<uint8_t*>(HandlePtr(set.bodies)), static_cast<uint8_t*>(HandlePtr(set.bodies)) + GetHandleSize(set.bodies)); }

}  // namespace

TEST_P(HostileUniverse, IsRefusedWithOneAlertNamingFileAndFieldAndChangesNothing) {
    const SettingsStruct before = set;
    const Bytes bodies = BodyBlock();
    EXPECT_FALSE(Open(Apply(good, GetParam()), "hostile.universe"));
    ASSERT_EQ(backend.stops.size(), 1u);
    EXPECT_NE(backend.stops[0].find("hostile.universe"), std::string::npos) << backend.stops[0];
    EXPECT_NE(backend.stops[0].find(GetParam().what), std::string::npos) << backend.stops[0];
    EXPECT_EQ(std::memcmp(&before, &set, sizeof set), 0);
    EXPECT_EQ(BodyBlock(), bodies);
}
INSTANTIATE_TEST_SUITE_P(Values, HostileUniverse, ::testing::ValuesIn(HostileCases()));

TEST_F(OpenUniverse, NamesOfAnyBytesAreReadAndNoPictureReadFromOutside) {
    // A length byte of 255 is cut to the record's 31; bytes that are not UTF-8 are Mac Roman.
    Bytes name(32, 'A');
    std::copy_n("\xFF" "Caf\x8E\xDB", 6, name.begin());
    ASSERT_TRUE(Open(Patched(good, kBodiesResType, 1024, 8 + 142, name), "names.universe"));
    EXPECT_EQ(PToCStr(BodyList()->body[0].name), "Caf\u00e9\u20ac" + std::string(26, 'A'));
    ASSERT_TRUE(Open(Moved(good, kSettingsResType, 0, 5), "moved.universe"));
    ASSERT_EQ(backend.cautions.size(), 1u);
    EXPECT_NE(backend.cautions[0].find("moved.universe"), std::string::npos);
    // The sun names a picture file by a path out of the folder: it is not read.
    std::filesystem::create_directories(scratch / "inner");
    { std::ofstream(scratch / "secret.pict") << std::string(512, '\0') << "secret bytes"; }
    for (const std::string& file : {std::string("../secret.pict"), scratch.prefix() + "secret.pict"}) {
        ResourceFile rf = Patched(good, kBodiesResType, 1024, 8 + 108, BE(1024, 4));
        const std::string str = char(file.size()) + file;  // a Pascal string
        rf.Add(kStringResType, 1024, "Sun pic", reinterpret_cast<const uint8_t*>(str.data()), str.size());
        ASSERT_TRUE(Open(rf, "inner/u.universe"));
        EXPECT_EQ(BodyList()->body[0].spherePixID, 0) << file;
        ASSERT_EQ(backend.cautions.size(), 1u);
        EXPECT_NE(backend.cautions[0].find("not in the universe's folder"), std::string::npos) << backend.cautions[0];
    }
}
