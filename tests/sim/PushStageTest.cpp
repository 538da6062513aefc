// One frame of simulation: engine, thrust schedule, spin, counters, collisions (stop, merge, contact
// memory), re-centring and trails; the body list and the thrust schedule.
#include <array>
#include <random>

#include "SimFixture.h"
#include "core/Control.h"
#include "platform/Platform.h"
#include "sim/ContactMemory.h"
#include "sim/PushStage.h"
#include "sim/ReferenceFrame.h"

namespace {
// A craft 6.8e6 m along +x from an Earth-like planet, moving at 7650 m/s along +y; one push with
// `control` held (-1: none) and a timed thrust of deltaV at push 0. Returns its velocity and acceleration.
std::array<double, 6> CraftFrame(int control, bool option = false, double mass = 1000, double deltaV = 0) {
    DeallocateAllPushMemory();
    DisposeTTHandle(set.timedThrust);
    set.timedThrust = NewTTHandle();
    const TimedThrustInfoStruct e{deltaV, 0, 0};
    AddTTData(set.timedThrust, &e);
    AddABody(SimTest::Body(0, 0, 0, 0, 0, 0, 6e24, 6.4e6));
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    c.pos[0] = 6.8e6, c.vel[1] = 7650, c.mass = mass;
    AddABody(c);
    if (control >= 0) SetControl(control);
    if (option) SetControl(kOptionKeyControl);
    DoPushStage();
    if (control >= 0) ClearControl(control);
    ClearControl(kOptionKeyControl);
    const BodyRTStruct& r = SimTest::RT(1);
    return {r.vel[0], r.vel[1], r.vel[2], r.acc[0], r.acc[1], r.acc[2]};
}

// 100 N on 1000 kg for a 10 s push: 1 m/s along the velocity (right, left) or the attraction (down,
// up: the planet lies along -x), ten times that with Option; none without mass. Timed thrust: along v.
class CraftEngine : public SimTest, public ::testing::WithParamInterface<std::tuple<int, bool, double, double, double, double>> {};

TEST_P(CraftEngine, ThrustsAlongTheRightDirection) {
    const auto [control, option, mass, deltaV, dvx, dvy] = GetParam();
    const auto coast = CraftFrame(-1, false, mass), burn = CraftFrame(control, option, mass, deltaV);
    const double dv[3] = {dvx, dvy, 0}, slack = 0.02 * std::hypot(dvx, dvy) + 1e-9;  // the velocity turns 0.01 rad a push
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(burn[n] - coast[n], dv[n], slack) << n;
        EXPECT_NEAR(burn[3 + n] - coast[3 + n], dv[n] / set.timeStep, slack / set.timeStep) << n;  // shown as acceleration
    }
}
INSTANTIATE_TEST_SUITE_P(Controls, CraftEngine,
                         ::testing::Values(std::tuple{int(kDownArrowControl), false, 1000.0, 0.0, -1.0, 0.0},
                                           std::tuple{int(kUpArrowControl), false, 1000.0, 0.0, 1.0, 0.0},
                                           std::tuple{int(kRightArrowControl), false, 1000.0, 0.0, 0.0, 1.0},
                                           std::tuple{int(kLeftArrowControl), false, 1000.0, 0.0, 0.0, -1.0},
                                           std::tuple{int(kRightArrowControl), true, 1000.0, 0.0, 0.0, 10.0},
                                           std::tuple{int(kDownArrowControl), false, 0.0, 0.0, 0.0, 0.0},
                                           std::tuple{-1, false, 1000.0, 5.0, 0.0, 5.0}));

class PushStage : public SimTest {};

// Entries at 2 and 2^31 - 1 with the 64-bit counter run past 2^31: the late one fires once, and at
// 2^32 + 2 (2 in a 32-bit counter) the early one does not fire.
TEST_F(PushStage, TimedThrustFiresOnceAtItsPushPastTheThirtyTwoBitRange) {
    BodyInfoStruct c;
    FillDefaultCraftInfo(c);
    AddABody(c);
    TransferICsToRT();
    RT(0).vel[1] = 1000.0;  // a lone craft is re-centred to rest
    set.timedThrust = NewTTHandle();
    const TimedThrustInfoStruct late{5.0, INT32_MAX, 0}, early{7.0, 2, 0};
    AddTTData(set.timedThrust, &late);
    AddTTData(set.timedThrust, &early);
    rt.pushCount = int64_t(INT32_MAX) - 1;
    set.pushesPerFrame = 4;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, int64_t(INT32_MAX) + 3);
    EXPECT_DOUBLE_EQ(rt.simTime, 40.0);
    EXPECT_NEAR(RT(0).vel[1], 1005.0, 1e-9);
    rt.pushCount = (int64_t(1) << 32) + 1;
    DoPushStage();
    EXPECT_NEAR(RT(0).vel[1], 1005.0, 1e-9);
    // At rest and unattracted the craft has no direction to thrust along.
    RT(0).vel[1] = 0;
    for (int c : {kRightArrowControl, kDownArrowControl}) SetControl(c);
    DoPushStage();
    for (int c : {kRightArrowControl, kDownArrowControl}) ClearControl(c);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(RT(0).vel[n], 0.0) << n;
}

// Spin turns the axes by rate times step (a non-finite rate leaves them); trails are taken once a
// frame, and a frame has at least one push.
TEST_F(PushStage, SpinTrailsAndPushesPerFrame) {
    BodyInfoStruct b = Body(0, 0, 0, 0, 1, 0, 1, 1), still = Body(1e9, 0, 0, 0, 0, 0, 1, 1);
    b.spinRate = 0.01, still.spinRate = std::nan("");
    AddABody(b);
    AddABody(still);
    set.trailLength = 10;
    set.pushesPerFrame = 4;
    DoPushStage();
    DoPushStage();  // 8 pushes of 10 s: 0.8 rad about z
    EXPECT_NEAR(std::atan2(double(RT(0).axes.i[1]), double(RT(0).axes.i[0])), 0.8, 2e-4);
    EXPECT_NEAR(std::atan2(double(RT(0).axes.j[1]), double(RT(0).axes.j[0])), 0.8 + M_PI / 2, 2e-4);
    EXPECT_TRUE(RT(1).axes.i[0] == kFixedOne && RT(1).axes.k[2] == kFixedOne);
    EXPECT_EQ(GetRTListAlloc(rt.trailList), 10);
    EXPECT_EQ(GetRTListValidCount(rt.trailList), 2);
    set.pushesPerFrame = 0;
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 9);
}

// Touching is a crash and a hair apart is not. Crash stop pauses after the push that made the
// contact and says who met when; resumed, the pair still touching does not stop the run again.
TEST_F(PushStage, CrashStopPausesOncePerContact) {
    struct : PlatformBackend {
        int played = 0;
        bool PlaySoundResource(int16_t) override { return ++played > 0; }
    } sound;
    SetPlatformBackend(&sound);
    ClearControl(kPausedControl);
    AddABody(Body(0, 0, 0, 0, 0, 0, 1, 10, "Ann"));
    AddABody(Body(20, 0, 0, 0, 0, 0, 1, 10, "Bob"));
    TransferICsToRT();
    GravityPairPass(BodyRTList());
    EXPECT_TRUE(CheckForCrash(BodyRTList(), kCrashIgnore));
    RT(1).pos[0] += 1e-9;
    GravityPairPass(BodyRTList());
    EXPECT_FALSE(CheckForCrash(BodyRTList(), kCrashIgnore));
    RT(1).pos[0] = RT(0).pos[0] + 15;
    set.onCrash = kCrashStop;
    set.pushesPerFrame = 5;
    DoPushStage();
    EXPECT_TRUE(rt.pushCount == 1 && GetControl(kPausedControl) && sound.played >= 1) << rt.pushCount;
    CollisionStopNote note;
    ASSERT_TRUE(TakeCollisionStopNote(note));
    EXPECT_EQ(std::min(note.first, note.second) + std::max(note.first, note.second), "AnnBob");
    EXPECT_DOUBLE_EQ(note.simTime, 10.0);
    note.simTime = 86400.0 + 3600.0 + 60.0 + 1.0;  // as the statistics window writes a time
    EXPECT_NE(CollisionStopText(note).find(" at t = 1 d 1 h 1 min 1 s."), std::string::npos) << CollisionStopText(note);
    EXPECT_FALSE(TakeCollisionStopNote(note));
    ClearControl(kPausedControl);
    DoPushStage();
    EXPECT_TRUE(rt.pushCount == 6 && !GetControl(kPausedControl)) << rt.pushCount;
    set.onCrash = kCrashIgnore;  // runs every push
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 11);
    SetPlatformBackend(nullptr);
}

class Merge : public SimTest {
public:
    // Bodies {x, y, mass, radius, vx, vy, vz}, merging on; velocities set after re-centring.
    static void Bodies(std::vector<std::array<double, 7>> b, double g, double dt) {
        for (const auto& x : b) AddABody(Body(x[0], x[1], 0, 0, 0, 0, x[2], x[3]));
        TransferICsToRT();
        for (size_t i = 0; i < b.size(); ++i)
            for (int n = 0; n < 3; ++n) RT(int(i)).vel[n] = b[i][4 + n];
        set.gravConstant = g;
        set.timeStep = dt;
        set.onCrash = kCrashMerge;
    }
    // Mass, momentum and centre of mass of the live bodies.
    static std::array<double, 7> LiveSums() {
        std::array<double, 7> s{};
        for (int i = 0; i < Count(); ++i)
            for (int n = 0; n < 3 && IsLiveBody(RT(i)); ++n)
                s[0] += n == 0 ? RT(i).mass : 0, s[1 + n] += RT(i).mass * RT(i).vel[n], s[4 + n] += RT(i).mass * RT(i).pos[n];
        for (int n = 4; n < 7; ++n) s[n] /= s[0];
        return s;
    }
};

TEST_F(Merge, KeepsMassMomentumCentreAndVolumeAndTheAbsorbedBodyStops) {
    Bodies({{0, 0, 3, 10, 2, 1, 0}, {12, 0, 1, 6, -4, 3, 1}}, 1.0, 0.5);
    const auto s0 = LiveSums();
    DoPushStage();
    EXPECT_EQ(rt.pushCount, 1);  // a merge ends the frame
    EXPECT_EQ(RT(1).statusFlags & 3u, kAbsorbedStatus | kNotDrawnStatus);
    const auto s1 = LiveSums();
    EXPECT_DOUBLE_EQ(s1[0], 4.0);
    EXPECT_DOUBLE_EQ(RT(0).radius, std::cbrt(1000.0 + 216.0));
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(s1[1 + n], s0[1 + n], 1e-12) << n;  // carried by the combined body alone
        // Internal forces leave the centre of mass moving uniformly through the push.
        EXPECT_NEAR(s1[4 + n], s0[4 + n] + set.timeStep * s0[1 + n] / s0[0], 1e-12) << n;
    }
    const std::vector<double> frozen(RT(1).pos, RT(1).pos + 3);
    DoPushStage();
    for (int n = 0; n < 3; ++n) EXPECT_EQ(RT(1).pos[n], frozen[n]);
    SetICsToRT();  // initial conditions from the run keep the combined body, drop the absorbed one
    ASSERT_EQ(BodyList()->count, 1);
    EXPECT_DOUBLE_EQ(BodyList()->body[0].mass, 4.0);
    EXPECT_DOUBLE_EQ(BodyList()->body[0].radius, std::cbrt(1216.0));
}

TEST_F(Merge, EqualMassesAbsorbTheHigherIndexAndMasslessPairsStayFinite) {
    Bodies({{0, 0, 1, 10, 0, 1, 0}, {15, 0, 1, 10, 0, -1, 0}}, 6.672e-11, 10);
    DoPushStage();
    EXPECT_EQ(RT(1).statusFlags & kAbsorbedStatus, kAbsorbedStatus);
    EXPECT_EQ(RT(0).statusFlags, 0u);
    EXPECT_NEAR(RT(0).vel[1], 0.0, 1e-6);
    DeallocateAllPushMemory();
    Bodies({{0, 0, 0, 10, 0, 1, 0}, {15, 0, 0, 10, 0, -1, 0}}, 6.672e-11, 10);
    DoPushStage();
    for (int i = 0; i < 2; ++i)
        for (int n = 0; n < 3; ++n) EXPECT_TRUE(std::isfinite(RT(i).vel[n]) && std::isfinite(RT(i).pos[n]));
}

// A test particle touching a planet is absorbed and leaves the planet's mass, radius and motion
// exactly as they were; two overlapping particles are no collision at all.
TEST_F(Merge, AParticleHittingAPlanetIsAbsorbedAndParticlesNeverCollide) {
    Bodies({{0, 0, 1e3, 10, 0.5, 0, 0}, {14, 0, 0, 5, -1, 0, 0}, {500, 0, 0, 5, 0, 1, 0}, {503, 0, 0, 5, 0, -1, 0}}, 1e-3,
           0.1);
    DoPushStage();
    EXPECT_EQ(RT(1).statusFlags & kAbsorbedStatus, kAbsorbedStatus);
    EXPECT_EQ((RT(0).statusFlags | RT(2).statusFlags | RT(3).statusFlags) & kAbsorbedStatus, 0u);
    EXPECT_TRUE(RT(0).mass == 1e3 && RT(0).radius == 10.0 && RT(0).vel[0] == 0.5 && RT(0).vel[1] == 0.0);
    EXPECT_EQ(rt.pushCount, 1);  // a merge ends the frame
}

// Masses 5, 1, 2: 2 meets 1 first and absorbs it, and 0, whose nearest is now absorbed, stays
// apart. Re-centring then weighs the live bodies only; the absorbed one moves along with them.
TEST_F(Merge, ChainsSkipAbsorbedPartnersAndRecentringWeighsOnlyLiveBodies) {
    Bodies({{0, 0, 5, 5, 1, 0.5, 0}, {8, 0, 1, 5, -3, 2, 0}, {16, 0, 2, 5, 0.5, -1, 2}}, 1e-3, 0.01);
    const auto s0 = LiveSums();
    DoPushStage();
    EXPECT_EQ(RT(1).statusFlags & kAbsorbedStatus, kAbsorbedStatus);
    EXPECT_EQ(RT(0).statusFlags | RT(2).statusFlags, 0u);
    EXPECT_TRUE(RT(0).mass == 5.0 && RT(2).mass == 3.0);
    const auto s1 = LiveSums();
    double offset[3];
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(s1[1 + n], s0[1 + n], 1e-12) << n;
        offset[n] = RT(1).pos[n] - RT(0).pos[n];
    }
    RealignInertialReferenceFrame();
    const auto s2 = LiveSums();
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(s2[1 + n], 0.0, 1e-12) << n;
        EXPECT_NEAR(s2[4 + n], 0.0, 1e-12) << n;
        EXPECT_NEAR(RT(1).pos[n] - RT(0).pos[n], offset[n], 1e-12) << n;
    }
}

TEST_F(PushStage, BodyListRefusesWhenFullAndChildrenStartInTheSpunParentsFrame) {
    BodyInfoStruct p = Body(0, 0, 0, 0, 0, 0, 1e30, 1), m = Body(1000, 0, 0, 0, 10, 0, 0, 1), c;
    BodyInfoStruct self = Body(5, 6, 7, 0, 0, 0, 0, 1), tilted = Body(1e9, 0, 0, 0, 0, 0, 0, 1);
    FillDefaultCraftInfo(c);
    p.spinPhase = M_PI / 2;
    m.parent = 1;
    self.parent = 3;  // names itself: absolute
    tilted.axisTilt = 0.5, tilted.axisAzimuth = 1.0, tilted.spinPhase = 0.8;
    for (const BodyInfoStruct& b : {p, m, self, c, tilted, c}) ASSERT_EQ(AddABody(b), 1);
    SetMemoryLimitForTesting(LiveHandleBytes());
    EXPECT_EQ(AddABody(p), 0);  // out of memory: refused, the list unchanged
    SetMemoryLimitForTesting(0);
    EXPECT_EQ(GetCraftIndex(), 3);
    DeleteABody(3);
    DeleteABody(7);  // no such body
    EXPECT_EQ(BodyList()->count, 5);
    EXPECT_EQ(GetCraftIndex(), 4);
    TransferICsToRT();
    EXPECT_NEAR(RT(1).pos[0], 0.0, 0.1);
    EXPECT_NEAR(RT(1).pos[1], 1000.0, 0.1);
    EXPECT_NEAR(RT(1).vel[0], -10.0, 1e-3);
    EXPECT_NEAR(RT(2).pos[2], 7.0, 1e-9);
    SetICsToRT();
    ASSERT_NE(rt.bodyRT, 0u);  // nothing deleted: the run continues
    const BodyInfoStruct& t = BodyList()->body[3];
    EXPECT_NEAR(t.axisTilt, 0.5, 1e-3);
    EXPECT_NEAR(t.axisAzimuth, 1.0, 1e-3);
    EXPECT_NEAR(t.spinPhase, 0.8, 1e-3);
    EXPECT_EQ(BodyList()->body[1].parent, 0);
}
// The thrust schedule: sorted, merged per push, cleaned of entries that do nothing, and its copy
// equal to adding every entry one by one (the schedule's definition).
std::vector<int32_t> Pushes(Handle h) {
    std::vector<int32_t> out;
    for (int32_t k = 0; k < GetTTCount(h); ++k) out.push_back(TTList(h)->entry[k].pushIndex);
    return out;
}
// The entries added one by one, or stored as they are.
Handle List(const std::vector<TimedThrustInfoStruct>& entries, bool byAdding) {
    Handle h = byAdding ? NewTTHandle() : NewHandle(kTTListHeaderSize + sizeof(TimedThrustInfoStruct) * (entries.size() + 1));
    if (!byAdding) TTList(h)->count = int32_t(entries.size());
    for (size_t k = 0; k < entries.size(); ++k) byAdding ? void(AddTTData(h, &entries[k])) : void(TTList(h)->entry[k] = entries[k]);
    return h;
}

TEST(TimedThrust, AddSortsMergesEqualPushesAndCleanUpDropsEntriesThatDoNothing) {
    Handle h = List({{1, 30, 0}, {1, 10, 0}, {1, 20, 0}, {5, 10, 0}, {3, 40, 0}, {-3, 40, 0}, {NAN, 4, 0}}, true);
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{4, 10, 20, 30, 40}));
    EXPECT_DOUBLE_EQ(TTList(h)->entry[1].deltaV, 6);
    EXPECT_EQ(GetTTIndex(h, 20), 2);
    EXPECT_EQ(GetTTIndex(h, 25) & GetTTIndex(h, (int64_t(1) << 32) + 20), -1);
    CleanUpTTData(h);
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{10, 20, 30}));
    const TimedThrustInfoStruct moved{1, 35, 0};
    EXPECT_EQ(SetTTData(h, &moved, 0), 2);
    EXPECT_EQ(Pushes(h), (std::vector<int32_t>{20, 30, 35}));
    EXPECT_EQ(SetTTData(h, &moved, -1) & SetTTData(0, &moved, 0) & AddTTData(h, nullptr), -1);
    TimedThrustInfoStruct out{};
    GetTTData(h, &out, 5);  // out of range: untouched
    EXPECT_EQ(out.pushIndex, 0);
    EXPECT_TRUE(GetTTCount(0) == 0 && MakeTTDataCopy(0) == 0u);  // no list
    DisposeTTHandle(h);
}

TEST(TimedThrust, CopyEqualsAddingOneByOne) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<TimedThrustInfoStruct> entries;
        for (int k = 0, n = int(rng() % 60); k < n; ++k) {
            const int kind = int(rng() % 10);  // nothing, NaN or a speed change, at pushes from -5 on
            entries.push_back({kind == 0 ? 0.0 : kind == 1 ? NAN : (int(rng() % 2001) - 1000) * 0.1 + 1e-3 * k, int32_t(rng() % 40) - 5, uint32_t(rng())});
        }
        const Handle raw = List(entries, false), fast = MakeTTDataCopy(raw), slow = List(entries, true);
        CleanUpTTData(slow);
        ASSERT_EQ(GetTTCount(fast), GetTTCount(slow));
        EXPECT_GT(GetHandleSize(fast), int32_t(kTTListHeaderSize + 16 * GetTTCount(fast)));  // a spare entry
        // Pushes, speed changes (summed in the same order) and the reserved field, bit for bit.
        EXPECT_EQ(0, std::memcmp(TTList(fast)->entry, TTList(slow)->entry, 16 * size_t(GetTTCount(fast))));
        for (Handle h : {raw, fast, slow}) DisposeTTHandle(h);
    }
}
}  // namespace
