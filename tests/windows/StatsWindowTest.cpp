// The statistics window: time and push lines, the selected body's values and
// the energy bar graph.
#include <cmath>
#include <limits>

#include "WindowsFixture.h"
#include "core/PushBudget.h"
#include "sim/PushStage.h"
#include "windows/StatsWindow.h"
#include "windows/StatsWindowGraph.h"

namespace {

constexpr uint32_t kBarPixel = 0x00FF8000u;  // the body's colour
constexpr uint32_t kGreyPixel = 0x00808080u;

struct StatsWindowTest : WindowsTest {
    PixelSurface surface{};
    void SetUp() override {
        WindowsTest::SetUp();
        windows.width = 240;
        windows.height = 250;
        surface = MainWindow().WindowSurface(kStatsWindowId);
        Fill(surface, 0x00123456u);  // stale content every redraw must cover
    }
    // One running body with the given potential and speed, selected.
    void RunBody(double potential, double speed, double acc = 0.0) {
        ASSERT_EQ(AddABody(Named("Probe")), 1);
        TransferICsToRT();
        ASSERT_NE(BodyRTList(), nullptr);
        BodyRTStruct& b = BodyRTList()->body[0];
        b.potential = potential;
        b.lastVel[0] = speed, b.lastVel[1] = 0, b.lastVel[2] = 0;
        b.acc[0] = 0, b.acc[1] = acc, b.acc[2] = 0;
        b.color = RGBColor{0xFFFF, 0x8000, 0x0000};
        rt.selectedBody = 0;
    }
    std::string TimeLine() {
        recorder.drawn.clear();
        RedrawStatsWindow();
        const DrawnText* t = recorder.Find("t = ");
        return t ? t->text : std::string("<none>");
    }
    // Rows of column x painted in the bar colour.
    std::pair<int, int> BarRows(int x) {
        int top = -1, bottom = -1;
        for (int y = 0; y < surface.height; ++y)
            if (Pixel(surface, x, y) == kBarPixel) {
                if (top < 0) top = y;
                bottom = y + 1;
            }
        return {top, bottom};
    }
    bool AllBlackFrom(int y0) {
        for (int y = y0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                if (Pixel(surface, x, y) != 0) return false;
        return true;
    }
};

}  // namespace

TEST_F(StatsWindowTest, WithoutBodiesOnlyTimeAndPushesAreShown) {
    rt.pushCount = 1234;
    RedrawStatsWindow();
    EXPECT_EQ(windows.presents, 1);
    ASSERT_EQ(recorder.drawn.size(), 2u);
    EXPECT_EQ(recorder.drawn[0].text, "t = 0.000000 s");
    EXPECT_TRUE(OnBaseline(recorder.drawn[0], 12));
    EXPECT_EQ(recorder.drawn[0].box.left, 1);
    EXPECT_EQ(recorder.drawn[1].text, "1234 pushes");
    EXPECT_TRUE(OnBaseline(recorder.drawn[1], 25));
    EXPECT_EQ(recorder.drawn[1].box.left, 5);
    EXPECT_EQ(recorder.drawn[1].pixel, 0x00FFFFFFu);
    EXPECT_TRUE(AllBlackFrom(0));
}

TEST_F(StatsWindowTest, PushLineTellsPushesPerSecondOnceMeasured) {
    rt.pushCount = 1234;
    pushBudget.pushesPerSecond = 2.5e6;
    RedrawStatsWindow();
    pushBudget = PushBudgetStruct{};
    ASSERT_EQ(recorder.drawn.size(), 2u);
    EXPECT_EQ(recorder.drawn[1].text, "1234 pushes, 2.5e+6/s");
}

TEST_F(StatsWindowTest, TimeShowsOnlyTheUnitsThatMatter) {
    rt.simTime = 12.5;
    EXPECT_EQ(TimeLine(), "t = 12.500000 s");
    rt.simTime = 125.5;
    EXPECT_EQ(TimeLine(), "t = 2 min 5.50 s");
    rt.simTime = 3725.75;
    EXPECT_EQ(TimeLine(), "t = 1 h 2 min 5.8 s");
    rt.simTime = 86400.0;
    EXPECT_EQ(TimeLine(), "t = 1 d 0 h 0 min 0 s");
    rt.simTime = 3 * 86400.0 + 5 * 3600.0 + 7 * 60.0 + 30.0;
    EXPECT_EQ(TimeLine(), "t = 3 d 5 h 7 min 30 s");
    rt.simTime = 1e18;  // beyond any 32-bit day count
    EXPECT_EQ(TimeLine().rfind("t = 11574074074074 d ", 0), 0u);
}

TEST_F(StatsWindowTest, SelectionOutsideTheBodiesClearsTheBodyPart) {
    RunBody(-5e7, 100.0);
    for (int32_t selection : {1, -1}) {
        rt.selectedBody = selection;  // 1 equals the body count
        Fill(surface, 0x00123456u);
        recorder.drawn.clear();
        RedrawStatsWindow();
        EXPECT_EQ(recorder.drawn.size(), 2u) << selection;
        EXPECT_TRUE(AllBlackFrom(39)) << selection;
    }
}

TEST_F(StatsWindowTest, BoundBodyHangsItsBarsFromTheTop) {
    // PE = -5.01e7, KE = 2.5e7: q gives a scale of 1e-8, 200 pixels per 1e8.
    RunBody(-5.01e7, std::sqrt(5e7), 3.0);
    RedrawStatsWindow();
    EXPECT_EQ(BarRows(3), std::make_pair(39, 139));   // thin PE bar
    EXPECT_EQ(BarRows(13), std::make_pair(39, 139));  // and its twin
    EXPECT_EQ(BarRows(8), std::make_pair(39, 89));    // wide total bar
    EXPECT_EQ(BarRows(1), std::make_pair(-1, -1));
    EXPECT_EQ(BarRows(15), std::make_pair(-1, -1));
    EXPECT_EQ(Pixel(surface, 20, 39), 0x00FFFFFFu);  // zero line
    EXPECT_EQ(Pixel(surface, 20, 59), kGreyPixel);   // tick -1
    EXPECT_EQ(Pixel(surface, 20, 60), 0u);
    EXPECT_EQ(Pixel(surface, 0, 150), kGreyPixel);   // the frame
    EXPECT_EQ(Pixel(surface, 27, 150), kGreyPixel);
    EXPECT_EQ(Pixel(surface, 28, 150), 0u);
    for (int n = 1; n <= 10; ++n) {
        const DrawnText* label = recorder.Find(std::to_string(-n));
        ASSERT_NE(label, nullptr) << n;
        EXPECT_TRUE(OnBaseline(*label, 39 + 20 * n - 1)) << n;
        EXPECT_EQ(label->justify, TextJustify::Right);
        EXPECT_EQ(label->box.right, 26);
        EXPECT_NE(label->font, recorder.Find("v = ")->font);  // the small size
    }
    EXPECT_TRUE(recorder.Has("v = 7071"));
    EXPECT_TRUE(recorder.Has("a = 3.0e+0"));
    EXPECT_TRUE(recorder.Has("KE = 2.5e+7"));
    EXPECT_TRUE(recorder.Has("PE = -5.0e+7"));
    EXPECT_TRUE(recorder.Has("E = -2.5e+7"));
    EXPECT_TRUE(OnBaseline(*recorder.Find("E = "), 115));
    EXPECT_EQ(recorder.Find("KE = ")->box.left, 32);
}

TEST_F(StatsWindowTest, UnboundBodyWithoutPotentialStandsOnTheBottom) {
    RunBody(0.0, 10.025);  // E = KE = 50.25: scale 0.01, 2 pixels per unit
    RedrawStatsWindow();
    EXPECT_EQ(BarRows(8), std::make_pair(138, 239));
    EXPECT_EQ(BarRows(3), std::make_pair(-1, -1));
    EXPECT_EQ(Pixel(surface, 20, 239), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(surface, 20, 59), kGreyPixel);  // tick 9
    EXPECT_TRUE(recorder.Has("9"));
    EXPECT_FALSE(recorder.Has("-1"));
}

TEST_F(StatsWindowTest, EscapingBodyWithPotentialSplitsTheGraph) {
    RunBody(-30.4, std::sqrt(160.0));  // KE = 80, E = 49.6: q = 49.6, 1 pixel per unit
    RedrawStatsWindow();
    EXPECT_EQ(BarRows(3), std::make_pair(139, 169));
    EXPECT_EQ(BarRows(8), std::make_pair(89, 139));
    EXPECT_EQ(Pixel(surface, 20, 139), 0x00FFFFFFu);
    EXPECT_EQ(Pixel(surface, 20, 129), kGreyPixel);
    EXPECT_EQ(Pixel(surface, 20, 239), kGreyPixel);  // tick -10
    EXPECT_TRUE(recorder.Has("-10"));
    EXPECT_TRUE(recorder.Has("9"));
}

TEST_F(StatsWindowTest, ScaleIsAPowerOfTenFromTheMagnitude) {
    EXPECT_DOUBLE_EQ(EnergyScale(5e7), 1e-8);
    EXPECT_DOUBLE_EQ(EnergyScale(1.0), 0.1);
    EXPECT_DOUBLE_EQ(EnergyScale(0.5), 1.0);
    EXPECT_DOUBLE_EQ(EnergyScale(0.005), 10.0);
    // No potential and no motion: q = 1, empty bars on the top zero line.
    const EnergyGraph still = LayOutEnergyGraph(0.0, 0.0);
    EXPECT_EQ(still.zero, ZeroLine::Top);
    EXPECT_DOUBLE_EQ(still.pixelsPerUnit, 20.0);
    EXPECT_EQ(still.totalTop, still.totalBottom);
}

TEST_F(StatsWindowTest, EnergiesWithoutAScaleDrawNoBars) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case { double potential, speed; };
    for (const Case c : {Case{nan, 1.0}, Case{-1.0, 1e200}, Case{-1e-320, 0.0},
                         Case{-std::numeric_limits<double>::infinity(), 0.0}}) {
        DeallocateAllPushMemory();
        RunBody(c.potential, c.speed);
        Fill(surface, 0x00123456u);
        recorder.drawn.clear();
        RedrawStatsWindow();
        EXPECT_EQ(BarRows(8), std::make_pair(-1, -1)) << c.potential << " " << c.speed;
        EXPECT_EQ(BarRows(3), std::make_pair(-1, -1));
        EXPECT_EQ(Pixel(surface, 0, 150), kGreyPixel);
        ASSERT_NE(recorder.Find("PE = "), nullptr);
    }
    EXPECT_TRUE(recorder.Has("PE = -inf"));
}

TEST_F(StatsWindowTest, AdaptiveMethodShowsItsSubstepsPerPush) {
    // A light body on a tight orbit, pushed with steps much longer than its period
    // allows in one piece: the push line tells how many substeps the last push took.
    BodyInfoStruct planet = Named("Planet"), moon = Named("Moon");
    planet.mass = 6e24;
    moon.pos[0] = 7e6;
    moon.vel[1] = std::sqrt(6.672e-11 * 6e24 / 7e6);
    moon.mass = 1.0;
    AddABody(planet);
    AddABody(moon);
    set.gravConstant = 6.672e-11;
    set.powerLaw = -2.0;
    set.timeStep = 3000.0;
    set.pushesPerFrame = 2;
    set.pushMethod = kPushGaussRadau;
    DoPushStage();
    ASSERT_EQ(rt.pushCount, 2);
    ASSERT_GT(rt.substepsLastPush, 1);
    RedrawStatsWindow();
    EXPECT_TRUE(recorder.Has("2 pushes, " + std::to_string(rt.substepsLastPush) + " substeps each"));
    // A push far shorter than the orbit needs one substep.
    set.timeStep = 1.0;
    set.pushesPerFrame = 1;
    DoPushStage();
    recorder.drawn.clear();
    RedrawStatsWindow();
    EXPECT_TRUE(recorder.Has("3 pushes, 1 substep each"));
    set.pushMethod = kPushRungeKutta;
    recorder.drawn.clear();
    RedrawStatsWindow();
    EXPECT_TRUE(recorder.Has("3 pushes"));
}
