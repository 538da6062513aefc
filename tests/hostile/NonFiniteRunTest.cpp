// A push that leaves a body without finite values is undone: the run pauses at the last
// finite state, for every integration method, and the note names the body and the push
// (its whole text is checked through the tool in MessagesTest).
#include <gtest/gtest.h>

#include "ScriptedDialog.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/Control.h"
#include "core/Dialogs.h"
#include "core/Menus.h"
#include "core/Records.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/FiniteGuard.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"

namespace {

void AddBody(const char* name, double x, double vy, double mass) {
    BodyInfoStruct b;
    FillDefaultBodyInfo(b);
    b.pos[0] = x;
    b.vel[1] = vy;
    b.mass = mass;
    b.radius = 1;
    b.name[0] = uint8_t(std::strlen(name));
    std::memcpy(b.name + 1, name, b.name[0]);
    AddABody(b);
}

std::vector<double> State() {
    std::vector<double> s;
    for (int32_t i = 0; i < BodyRTList()->count; ++i) {
        const BodyRTStruct& b = BodyRTList()->body[i];
        s.insert(s.end(), {b.pos[0], b.pos[1], b.pos[2], b.vel[0], b.vel[1], b.vel[2]});
    }
    return s;
}

class NonFiniteRun : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        set.gravConstant = 6.672e-11;
        set.timeStep = 10.0;
        set.pushMethod = GetParam();
        NonFiniteStopNote stale;
        TakeNonFiniteStopNote(stale);
    }
    void TearDown() override {
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        DisposeScratchSpace();
        ClearControl(kPausedControl);
    }
};

// Force growing as r^10 between bodies 1e30 m apart: the first pushes stay finite, then
// the acceleration overflows. Whatever the method, the run must stop at the push that
// overflowed, with the bodies exactly as the last finite push left them.
TEST_P(NonFiniteRun, StopsAtTheLastFiniteStateAndNamesBodyAndPush) {
    set.powerLaw = 10.0;
    AddBody("Near", 0, 0, 1);
    AddBody("Far", 1e30, 1, 1);
    TransferICsToRT();
    set.pushesPerFrame = 1;
    std::vector<double> lastFinite;
    int64_t finitePushes = 0;
    for (; finitePushes < 10 && !GetControl(kPausedControl); ++finitePushes) {
        lastFinite = State();
        DoPushStage();
    }
    ASSERT_TRUE(GetControl(kPausedControl)) << "the overflow never stopped the run";
    --finitePushes;
    EXPECT_EQ(rt.pushCount, finitePushes);
    EXPECT_DOUBLE_EQ(rt.simTime, finitePushes * set.timeStep);
    EXPECT_EQ(State(), lastFinite);
    for (double v : State()) EXPECT_TRUE(std::isfinite(v));

    NonFiniteStopNote note;
    ASSERT_TRUE(TakeNonFiniteStopNote(note));
    EXPECT_EQ(note.push, finitePushes + 1);
    EXPECT_TRUE(note.body == "Near" || note.body == "Far") << note.body;
    EXPECT_FALSE(TakeNonFiniteStopNote(note)) << "the note is handed out once";

    // Running on with the same step stops again at once, without losing the state.
    ClearControl(kPausedControl);
    set.pushesPerFrame = 5;
    DoPushStage();
    EXPECT_TRUE(GetControl(kPausedControl));
    EXPECT_EQ(rt.pushCount, finitePushes);
    EXPECT_EQ(State(), lastFinite);
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, NonFiniteRun, ::testing::Values(0, 1, 2, 3, 4, 5));

// Simulation › Time Step… refuses steps that cannot give a finite run, naming the field.
TEST(TimeStepDialog, RefusesStepsThatCannotRunFinitely) {
    ScriptedDialogBackend backend;
    SetPlatformBackend(&backend);
    SetupMenus();
    set = SettingsStruct{};
    set.timeStep = 10.0;
    struct Case {
        const char* typed;
        double stored;
    };
    for (const Case& c : {Case{"1e300", 10.0}, Case{"2e12", 10.0}, Case{"0", 10.0}, Case{"86400", 86400.0}}) {
        backend.cautions.clear();
        backend.Expect({DialogStep{{{kFlipValueItem, c.typed}}, kFlipOkItem}});
        HandleMenuEv(MenuChoice(kSimulationMenu, 3));
        EXPECT_EQ(set.timeStep, c.stored) << c.typed;
        if (c.stored == 10.0) {
            ASSERT_EQ(backend.cautions.size(), 1u) << c.typed;
            EXPECT_NE(backend.cautions[0].find("time step"), std::string::npos) << backend.cautions[0];
            EXPECT_NE(backend.cautions[0].find("1e12"), std::string::npos) << backend.cautions[0];
        } else {
            EXPECT_TRUE(backend.cautions.empty()) << c.typed;
        }
    }
    DisposeMenus();
    SetPlatformBackend(nullptr);
}

}  // namespace
