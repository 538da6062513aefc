#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "io/ByteOrder.h"
#include "io/UniverseEndian.h"
#include "io/UniverseImage.h"
#include "io/UniverseStrings.h"

namespace {

void SetName(Str31 s, const std::string& n) {
    s[0] = uint8_t(n.size());
    std::memcpy(s + 1, n.data(), n.size());
}

struct Scenario {
    std::vector<uint8_t> bodies;
    std::vector<uint8_t> thrust;
    Handle picture = kNoHandle;
    Handle ring = kNoHandle;
    UniverseSaveInput in;

    Scenario(int count, bool withThrust) {
        bodies.assign(kBodyListHeaderSize + sizeof(BodyInfoStruct) * (count + 1), 0);
        auto* L = reinterpret_cast<BodyListStruct*>(bodies.data());
        L->count = count;
        for (int k = 0; k < count; ++k) {
            BodyInfoStruct& b = L->body[k];
            b.pos[0] = 1.5e11 * k;
            b.vel[1] = 29780.0 + k;
            b.mass = 5.97e24;
            b.radius = 6.371e6;
            b.ringRatio = 2.5;
            b.bodyFlags = k == 1 ? kCraftFlag : 0;
            b.parent = k;
            b.color = {0x1234, 0x5678, 0x9ABC};
            SetName(b.name, "Body" + std::to_string(k));
        }
        in.settings.gravConstant = 6.674e-11;
        in.settings.timeStep = 3600;
        in.settings.viewAngle = 70;
        in.settings.pushMethod = 4;
        in.settings.labelFlags = 0xA5;
        in.settings.starAzimuth = 0.25;
        in.bodies = L;
        in.bodiesBlockSize = bodies.size();
        in.eyeDistance = 4e11;
        in.cameraIJK.k[0] = 0;
        in.cameraIJK.k[1] = 46341;
        in.cameraIJK.k[2] = 46341;
        if (withThrust) {
            thrust.assign(kTTListHeaderSize + 16 * 3, 0);
            auto* T = reinterpret_cast<TimedThrustListStruct*>(thrust.data());
            T->count = 2;
            T->entry[0] = {12.5, 100, 0};
            T->entry[1] = {-3.0, 200, 0};
            in.thrust = T;
            in.thrustBlockSize = thrust.size();
        }
    }
    ~Scenario() {
        DisposeHandle(picture);
        DisposeHandle(ring);
    }
    BodyInfoStruct& Body(int k) { return reinterpret_cast<BodyListStruct*>(bodies.data())->body[k]; }
    void GivePictureAndRing(int k) {
        picture = NewHandle(10);
        std::memset(HandlePtr(picture), 0x77, 10);
        ring = NewHandle(kRingProfileBytes);
        std::memset(HandlePtr(ring), 0x33, kRingProfileBytes);
        Body(k).spherePixID = 7;
        Body(k).ringPix = ring;
        in.picture = [this](int32_t id) { return id == 7 ? picture : kNoHandle; };
    }
    ResourceFile Build() {
        ResourceFile rf;
        EXPECT_TRUE(BuildUniverseResources(in, rf));
        return rf;
    }
};

bool Load(const ResourceFile& rf, LoadedUniverse& u, std::string& err) {
    const auto bytes = rf.Serialize();  // through the container, as a file would go
    ResourceFile back;
    EXPECT_TRUE(back.Parse(bytes.data(), bytes.size(), err)) << err;
    return ReadUniverseResources(back, u, err);
}

}  // namespace

TEST(UniverseLayout, SettingsResourceIsBigEndianExceptOffset72) {
    Scenario s(2, true);
    const ResourceFile rf = s.Build();
    const auto* r = rf.Get(kSettingsResType, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, "Settings");
    ASSERT_EQ(r->data.size(), 184u);
    const uint8_t* d = r->data.data();
    EXPECT_EQ(GetBE32(d), 0u);
    EXPECT_EQ(GetBE32(d + 40), 4u);    // pushMethod
    EXPECT_EQ(GetBE32(d + 60), 0xA5u);  // labelFlags
    EXPECT_EQ(std::vector<uint8_t>(d + 72, d + 76), (std::vector<uint8_t>{0x00, 0x04, 0x00, 0x00}));
    EXPECT_EQ(std::vector<uint8_t>(d + 76, d + 80), (std::vector<uint8_t>{0x00, 0x00, 0x04, 0x00}));
    double g;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | d[8 + i];
    std::memcpy(&g, &bits, 8);
    EXPECT_EQ(g, 6.674e-11);
    // Camera saved as distance, tilt acos(k.z) and azimuth atan2(k.y, k.x).
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(s.Build(), u, err)) << err;
    EXPECT_EQ(u.settings.savedEyeDistance, 4e11);
    EXPECT_NEAR(u.settings.savedCameraTilt, std::acos(46341 / 65536.0), 1e-12);
    EXPECT_NEAR(u.settings.savedCameraAzimuth, M_PI / 2, 1e-12);
}

TEST(UniverseLayout, NoScheduleAndNoBodiesWriteZeroIds) {
    Scenario s(0, false);
    ResourceFile rf = s.Build();
    EXPECT_EQ(rf.Get(kBodiesResType, 1024), nullptr);
    EXPECT_EQ(rf.Get(kThrustResType, 1024), nullptr);
    const uint8_t* d = rf.Get(kSettingsResType, 0)->data.data();
    EXPECT_EQ(GetBE32(d + 72), 0u);
    EXPECT_EQ(GetBE32(d + 76), 0u);
    // Opening it is an error: no body list.
    LoadedUniverse u;
    std::string err;
    EXPECT_FALSE(Load(rf, u, err));
    EXPECT_EQ(err, "it has no body list resource");
}

TEST(UniverseLayout, BodyEntriesAndScheduleBytes) {
    Scenario s(2, true);
    ResourceFile rf = s.Build();
    const auto* b = rf.Get(kBodiesResType, 1024);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->name, "Bodies");
    ASSERT_EQ(b->data.size(), 8u + 176 * 3);  // one spare entry of zeros
    const uint8_t* d = b->data.data();
    EXPECT_EQ(GetBE32(d), 2u);
    const uint8_t* e1 = d + 8 + 176;
    EXPECT_EQ(GetBE32(e1 + 104), kCraftFlag);
    EXPECT_EQ(GetBE32(e1 + 116), 1u);  // parent
    EXPECT_EQ(GetBE16(e1 + 136), 0x1234);
    EXPECT_EQ(GetBE16(e1 + 140), 0x9ABC);
    EXPECT_EQ(e1[142], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e1 + 143), 5), "Body1");
    for (int i = 0; i < 176; ++i) EXPECT_EQ(d[8 + 176 * 2 + i], 0) << i;
    const auto* t = rf.Get(kThrustResType, 1024);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->name, UniverseString(6));
    EXPECT_EQ(GetBE32(t->data.data()), 2u);
    EXPECT_EQ(GetBE32(t->data.data() + 8 + 16 + 8), 200u);
    EXPECT_EQ(t->data[8], 0x40);  // 12.5 = 0x4029000000000000, big-endian
    EXPECT_EQ(t->data[9], 0x29);
}

TEST(UniverseLayout, PictureAndRingResourcesAndNames) {
    Scenario s(2, false);
    s.GivePictureAndRing(1);
    SetName(s.Body(1).name, std::string(31, 'x'));
    ResourceFile rf = s.Build();
    const auto* p = rf.Get(kPictResType, 1025);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->data, std::vector<uint8_t>(10, 0x77));
    const std::string suffix = UniverseString(4);
    EXPECT_EQ(p->name, std::string(31 - suffix.size(), 'x') + suffix);
    EXPECT_EQ(p->name.size(), 31u);
    const auto* r = rf.Get(kRingResType, 1025);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->name, UniverseString(5) + std::string(31, 'x'));
    const uint8_t* e1 = rf.Get(kBodiesResType, 1024)->data.data() + 8 + 176;
    EXPECT_EQ(GetBE32(e1 + 108), 1025u);
    EXPECT_EQ(GetBE32(e1 + 112), 1025u);
    // A picture id the list does not know is saved as no picture.
    s.in.picture = [](int32_t) { return kNoHandle; };
    ResourceFile rf2 = s.Build();
    EXPECT_EQ(rf2.Get(kPictResType, 1025), nullptr);
    EXPECT_EQ(GetBE32(rf2.Get(kBodiesResType, 1024)->data.data() + 8 + 176 + 108), 0u);
}

TEST(UniverseRoundTrip, EveryFieldSurvives) {
    Scenario s(3, true);
    s.GivePictureAndRing(2);
    std::memset(s.Body(0).reserved120, 0xEE, sizeof s.Body(0).reserved120);
    s.Body(0).padding174[0] = 9;
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(s.Build(), u, err)) << err;
    EXPECT_FALSE(u.usedFallback);
    ASSERT_EQ(u.bodies.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        BodyInfoStruct expect = s.Body(k);
        BodyInfoStruct got = u.bodies[k].info;
        if (k == 2) {
            EXPECT_EQ(got.spherePixID, 1026);
            EXPECT_EQ(got.ringPix, 1026u);
            got.spherePixID = expect.spherePixID;
            got.ringPix = expect.ringPix;
        }
        EXPECT_EQ(std::memcmp(&got, &expect, sizeof got), 0) << k;
    }
    EXPECT_EQ(u.bodies[2].picture, std::vector<uint8_t>(10, 0x77));
    EXPECT_EQ(u.bodies[2].ring, std::vector<uint8_t>(kRingProfileBytes, 0x33));
    EXPECT_TRUE(u.bodies[0].picture.empty());
    EXPECT_EQ(u.settings.gravConstant, 6.674e-11);
    EXPECT_EQ(u.settings.labelFlags, 0xA5u);
    EXPECT_EQ(u.settings.starAzimuth, 0.25);
    EXPECT_EQ(u.settings.bodies, 1024u);
    ASSERT_GE(u.thrust.size(), kTTListHeaderSize + 16 * 3);
    const auto* T = reinterpret_cast<const TimedThrustListStruct*>(u.thrust.data());
    EXPECT_EQ(T->count, 2);
    EXPECT_EQ(T->entry[1].deltaV, -3.0);
    EXPECT_EQ(T->entry[1].pushIndex, 200);
}

TEST(UniverseLoad, FallbacksAndFailures) {
    Scenario s(2, true);
    const ResourceFile good = s.Build();
    LoadedUniverse u;
    std::string err;
    auto moved = [&](uint32_t type, int16_t from, int16_t to) {
        ResourceFile rf = good;
        const Resource r = *rf.Get(type, from);
        rf.Remove(type, from);
        rf.Add(type, to, r.name, r.data.data(), r.data.size());
        return rf;
    };
    // Settings under another ID: caution, then loads.
    ASSERT_TRUE(Load(moved(kSettingsResType, 0, 5), u, err)) << err;
    EXPECT_TRUE(u.usedFallback);
    EXPECT_EQ(u.bodies.size(), 2u);
    // Bodies under another ID are found.
    ASSERT_TRUE(Load(moved(kBodiesResType, 1024, 2000), u, err));
    EXPECT_TRUE(u.usedFallback);
    // Schedule under the ID named in the settings' low 16 bits.
    {
        ResourceFile rf = moved(kThrustResType, 1024, 1500);
        Resource st = *rf.Get(kSettingsResType, 0);
        PutBE32(&st.data[76], 1500);
        rf.Add(kSettingsResType, 0, st.name, st.data.data(), st.data.size());
        ASSERT_TRUE(Load(rf, u, err));
        EXPECT_FALSE(u.thrust.empty());
        ASSERT_TRUE(Load(moved(kThrustResType, 1024, 1500), u, err));
        EXPECT_TRUE(u.thrust.empty());  // nothing names 1500
    }
    // No settings at all / no bodies at all.
    for (uint32_t type : {kSettingsResType, kBodiesResType}) {
        ResourceFile rf = good;
        rf.Remove(type, type == kSettingsResType ? 0 : 1024);
        EXPECT_FALSE(Load(rf, u, err));
        EXPECT_EQ(err, type == kSettingsResType ? "it has no settings resource" : "it has no body list resource");
    }
    // Too short resources.
    auto shortened = [&](uint32_t type, int16_t id, size_t n) {
        ResourceFile rf = good;
        Resource r = *rf.Get(type, id);
        r.data.resize(n);
        rf.Add(type, id, r.name, r.data.data(), r.data.size());
        return rf;
    };
    EXPECT_FALSE(Load(shortened(kSettingsResType, 0, 183), u, err));
    EXPECT_FALSE(Load(shortened(kBodiesResType, 1024, 183), u, err));
    // Body list shorter than its count (two bodies need 8 + 176 * 3 bytes).
    EXPECT_FALSE(Load(shortened(kBodiesResType, 1024, 8 + 176 * 3 - 1), u, err));
    EXPECT_TRUE(Load(shortened(kBodiesResType, 1024, 8 + 176 * 3), u, err));
    // A schedule too small for its count is dropped; the rest loads.
    ASSERT_TRUE(Load(shortened(kThrustResType, 1024, 8 + 16), u, err));
    EXPECT_TRUE(u.thrust.empty());
    EXPECT_EQ(u.bodies.size(), 2u);
    // Negative counts are refused rather than read.
    {
        ResourceFile rf = good;
        Resource r = *rf.Get(kBodiesResType, 1024);
        PutBE32(&r.data[0], 0xFFFFFFFF);
        rf.Add(kBodiesResType, 1024, r.name, r.data.data(), r.data.size());
        EXPECT_FALSE(Load(rf, u, err));
    }
}

TEST(UniverseLoad, MissingPictureOrRingOnlyCostsThatBody) {
    Scenario s(2, false);
    s.GivePictureAndRing(0);
    ResourceFile rf = s.Build();
    rf.Remove(kPictResType, 1024);
    Resource ring = *rf.Get(kRingResType, 1024);
    ring.data.resize(100);  // not a whole profile
    rf.Add(kRingResType, 1024, ring.name, ring.data.data(), ring.data.size());
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(rf, u, err));
    EXPECT_EQ(u.bodies[0].info.spherePixID, 0);
    EXPECT_EQ(u.bodies[0].info.ringPix, 0u);
    EXPECT_TRUE(u.bodies[0].picture.empty());
    EXPECT_TRUE(u.bodies[0].ring.empty());
}

TEST(UniverseEndian, ConvertersAreInversesAndSkipNames) {
    BodyInfoStruct b{};
    b.mass = 1.0;
    b.color = {1, 2, 3};
    SetName(b.name, "Io");
    b.padding174[1] = 0x5A;
    BodyInfoStruct c = b;
    EndianBodyInfoStruct_NtoB(c);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&c)[48], 0x3F);  // 1.0 big-endian starts 3F F0
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&c)[137], 1);
    EXPECT_EQ(c.name[1], 'I');
    EXPECT_EQ(c.padding174[1], 0x5A);
    EndianBodyInfoStruct_BtoN(c);
    EXPECT_EQ(std::memcmp(&b, &c, sizeof b), 0);
    SettingsStruct s{};
    s.bodies = 1024;
    s.timedThrust = 1024;
    EndianSettingsStruct_NtoB(s);
    const auto* p = reinterpret_cast<uint8_t*>(&s);
    EXPECT_EQ(p[73], 0x04);
    EXPECT_EQ(p[78], 0x04);
    // A list block too small for its count converts only what fits.
    std::vector<uint8_t> tt(8 + 16, 0);
    PutBE32(tt.data(), 5);
    EXPECT_EQ(EndianTTListStruct_BtoN(tt.data(), tt.size()), 1u);
}

TEST(UniverseLoad, OutOfRangeIdsNameNoResource) {
    Scenario s(1, false);
    s.GivePictureAndRing(0);
    ResourceFile rf = s.Build();
    Resource b = *rf.Get(kBodiesResType, 1024);
    PutBE32(&b.data[8 + 108], 0x10000 + 1024);  // would alias ID 1024 if cut to 16 bits
    PutBE32(&b.data[8 + 112], 0x10000 + 1024);
    rf.Add(kBodiesResType, 1024, b.name, b.data.data(), b.data.size());
    LoadedUniverse u;
    std::string err;
    ASSERT_TRUE(Load(rf, u, err));
    EXPECT_TRUE(u.bodies[0].picture.empty());
    EXPECT_TRUE(u.bodies[0].ring.empty());
    EXPECT_EQ(u.bodies[0].info.spherePixID, 0);
}
