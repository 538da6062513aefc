// The statistics window (time, pushes, the selected body's values and energy
// graph) and the object list (rows, marks, presses, scrolling).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "ScriptedDialog.h"
#include "core/PushBudget.h"
#include "core/Strings.h"
#include "imagery/SpherePix.h"
#include "sim/Belt.h"
#include "sim/Bodies.h"
#include "windows/BodyEditor.h"
#include "windows/BodyEditorCommands.h"
#include "windows/ObjectWindow.h"
#include "windows/StatsWindow.h"
#include "windows/StatsWindowGraph.h"

namespace {

struct DrawnText { std::string text; Rect box; };

// Records the texts drawn.
struct Recorder : ScriptedDialogBackend {
    std::vector<DrawnText> drawn;
    int32_t DrawThemeText(PixelSurface&, const Rect& box, const std::string& text, int16_t, TextJustify, RGBColor,
                          bool) override {
        return drawn.push_back({text, box}), 0;
    }
    const DrawnText* Find(const std::string& prefix) const {
        for (const DrawnText& d : drawn)
            if (d.text.rfind(prefix, 0) == 0) return &d;
        return nullptr;
    }
};

// Window services with a chosen content size that count presents and remember the scroll bar.
struct SizedWindows : MainWindowServices {
    int32_t width = 380, height = 200, presents = 0, barValue = -1, barMaximum = -1, barPage = -1;
    Rect WindowContentRect(int16_t) override { return Rect{100, 50, int16_t(100 + height), int16_t(50 + width)}; }
    void PresentWindow(int16_t) override { ++presents; }
    void SetWindowScrollBar(int16_t, int32_t v, int32_t m, int32_t p) override { barValue = v, barMaximum = m, barPage = p; }
};

constexpr uint32_t kWhite = 0x00FFFFFFu, kGrey = 0x00808080u, kSeparator = 0x00888888u, kStale = 0x00123456u;

struct SideWindows : ::testing::Test {
    Recorder recorder;
    SizedWindows windows;
    PixelSurface surface{};
    void SetUp() override {
        SetPlatformBackend(&recorder);
        SetMainWindowServices(&windows);
        rt.spherePixList = NewSpherePixList();
        rt.selectedBody = set.cameraSelection = -1;
        rt.simTime = 0, rt.pushCount = 0;
        set.timedThrust = kNoHandle;
    }
    void TearDown() override {
        DeallocateAllPushMemory();
        DisposeSpherePixList(rt.spherePixList);
        rt.spherePixList = kNoHandle;
        pushBudget = PushBudgetStruct{};
        SetMainWindowServices(nullptr);
        SetPlatformBackend(nullptr);
    }
    void Resize(int16_t window, int32_t w, int32_t h) {
        windows.width = w, windows.height = h, surface = MainWindow().WindowSurface(window);
    }
    void Redraw(void (*draw)()) {  // over stale content every redraw must cover
        recorder.drawn.clear();
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x) Pixel(x, y) = kStale;
        draw();
    }
    uint32_t& Pixel(int x, int y) {
        return *reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(surface.base) + y * surface.rowBytes + 4 * x);
    }
    // Rows of column x in this colour, as [first, last + 1).
    std::pair<int, int> Rows(int x, uint32_t pixel) {
        int top = -1, bottom = -1;
        for (int y = 0; y < surface.height; ++y)
            if (Pixel(x, y) == pixel) bottom = y + 1, top = top < 0 ? y : top;
        return {top, bottom};
    }
    // The text sits on baseline y: its box holds the line with the ascent above it.
    static bool OnBaseline(const DrawnText* d, int32_t y) {
        return d && d->box.top < y - 5 && y < d->box.bottom && d->box.bottom - y < y - d->box.top;
    }
    static void AddBody(const std::string& name) {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        CToPStr31(b.name, name);
        b.mass = 2e30;
        const int32_t n = BodyList() ? BodyList()->count : 0;
        b.color = RGBColor{uint16_t(0x1000 * (n + 1)), 0x8000, 0x4000};
        ASSERT_EQ(AddABody(b), 1);
    }
    static uint32_t SwatchOf(int i) { return (uint32_t((0x1000 * (i + 1)) >> 8) << 16) | 0x8040u; }
};

struct Stats : SideWindows {
    void SetUp() override {
        SideWindows::SetUp();
        Resize(kStatsWindowId, 240, 250);
    }
    // One running body with the given potential, velocity and acceleration, selected.
    void RunBody(double potential, std::array<double, 3> vel, std::array<double, 3> acc = {0, 0, 0}) {
        DeallocateAllPushMemory();
        AddBody("Probe");
        TransferICsToRT();
        BodyRTStruct& b = BodyRTList()->body[0];
        b.potential = potential;
        std::copy(vel.begin(), vel.end(), b.lastVel);
        std::copy(acc.begin(), acc.end(), b.acc);
        b.color = RGBColor{0xFFFF, 0x8000, 0x0000};
        rt.selectedBody = 0;
        Redraw(RedrawStatsWindow);
    }
    bool AllBlackFrom(int y0) {
        for (int y = y0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                if (Pixel(x, y) != 0) return false;
        return true;
    }
};
constexpr uint32_t kBar = 0x00FF8000u;

TEST_F(Stats, WithoutABodyTheTimeAndPushLinesShowOnlyTheUnitsThatMatter) {
    rt.pushCount = 1234;
    Redraw(RedrawStatsWindow);
    ASSERT_EQ(recorder.drawn.size() * 10 + windows.presents, 21u);
    EXPECT_EQ(recorder.drawn[0].text + "|" + recorder.drawn[1].text, "t = 0.000000 s|1234 pushes");
    EXPECT_TRUE(AllBlackFrom(0));
    pushBudget.pushesPerSecond = 2.5e6;
    const std::pair<double, const char*> times[] = {{12.5, "t = 12.500000 s"}, {125.5, "t = 2 min 5.50 s"},
        {3725.75, "t = 1 h 2 min 5.8 s"}, {86400.0, "t = 1 d 0 h 0 min 0 s"},
        {3 * 86400.0 + 5 * 3600.0 + 7 * 60.0 + 30.0, "t = 3 d 5 h 7 min 30 s"},
        {1e18, "t = 11574074074074 d "}};  // beyond any 32-bit day count
    for (const auto& [t, text] : times) {
        rt.simTime = t;
        Redraw(RedrawStatsWindow);
        EXPECT_EQ(recorder.drawn[0].text.rfind(text, 0), 0u) << recorder.drawn[0].text;
        EXPECT_EQ(recorder.drawn[1].text, "1234 pushes, 2.5e+6/s");
    }
}

TEST_F(Stats, TheSelectedBodysValuesComeFromItsThreeDimensionalMotion) {
    // PE = -5.01e7, v = |(0, 4000, ...)| = sqrt(5e7): KE = 2.5e7, E = -2.51e7.
    RunBody(-5.01e7, {0, 4000, std::sqrt(5e7 - 16e6)}, {0, 0, -3});
    const std::pair<const char*, int> lines[] = {{"v = 7071", 51}, {"a = 3.0e+0", 67}, {"KE = 2.5e+7", 83},
                                                 {"PE = -5.0e+7", 99}, {"E = -2.5e+7", 115}};
    for (const auto& [text, baseline] : lines)
        EXPECT_TRUE(OnBaseline(recorder.Find(text), baseline) && recorder.Find(text)->box.left == 32) << text;
    EXPECT_EQ(Rows(8, kBar), std::make_pair(39, 89));  // the total's bar, as from the same motion along x below
    RunBody(-1.0, {3e200, 3e200, 3e200}, {0, 0, -3});  // squares beyond the doubles, the speed within
    EXPECT_NE(recorder.Find("v = 5.2e+200"), nullptr);
    for (int32_t selection : {1, -1}) {  // outside the list: the body part is cleared
        rt.selectedBody = selection;
        Redraw(RedrawStatsWindow);
        EXPECT_TRUE(recorder.drawn.size() == 2 && AllBlackFrom(39)) << selection;
    }
}

TEST_F(Stats, TheEnergyBarsHangFromTheZeroLineAtAPowerOfTenScale) {
    // Potential, speed, the zero line's row, then the rows of the potential and total bars.
    struct Case { double pe, v; int zero; std::pair<int, int> pBar, tBar; };
    const Case cases[] = {
        {-5.01e7, std::sqrt(5e7), 39, {39, 139}, {39, 89}},  // bound: q = 5.01e7, 200 pixels per 1e8
        {0.0, 10.025, 239, {-1, -1}, {138, 239}},            // E = KE = 50.25: 2 pixels per unit
        {-30.4, std::sqrt(160.0), 139, {139, 169}, {89, 139}},  // escaping, E = 49.6: 1 pixel per unit
        {-30.0, std::sqrt(70.0), 139, {139, 169}, {134, 139}},  // E = 5 but the potential sets the scale
        // Energies that are no numbers, overflow, or give a scale beyond the doubles: no bars.
        {NAN, 1.0, 39, {-1, -1}, {-1, -1}}, {-1.0, 1e200, 139, {-1, -1}, {-1, -1}}, {-1e-320, 0.0, 39, {-1, -1}, {-1, -1}},
        {-INFINITY, 0.0, 39, {-1, -1}, {-1, -1}}};
    for (const Case& c : cases) {
        RunBody(c.pe, {c.v, 0, 0});
        EXPECT_EQ(Pixel(20, c.zero), kWhite) << c.pe;
        EXPECT_TRUE(Rows(3, kBar) == c.pBar && Rows(13, kBar) == c.pBar) << c.pe;  // thin bars each side of the total
        EXPECT_EQ(Rows(8, kBar), c.tBar) << c.pe;
        EXPECT_EQ(Pixel(0, 150) + Pixel(27, 150) + Pixel(28, 150), 2 * kGrey);  // the frame
    }
    EXPECT_NE(recorder.Find("PE = -inf"), nullptr);
    RunBody(-5.01e7, {std::sqrt(5e7), 0, 0});  // ticks every 20 rows below a top zero line, labelled -1 to -10
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(Pixel(20, 39 + 20 * n) + Pixel(20, 40 + 20 * n), kGrey) << n;
        EXPECT_TRUE(OnBaseline(recorder.Find(std::to_string(-n)), 39 + 20 * n - 1)) << n;
    }
    EXPECT_EQ(LayOutEnergyGraph(0.0, 0.0).pixelsPerUnit, 20.0);  // no potential, no motion: a scale of 0.1
}

struct Objects : SideWindows {
    int32_t W = 380 - 16;  // the scroll bar's column is the platform's
    void SetUp() override {
        SideWindows::SetUp();
        AllocObjectWindowInfo();
        Resize(kObjectWindowId, 380, 200);
    }
    void AddBodies(int n) {
        for (int i = 0; i < n; ++i) AddBody("Body" + std::to_string((BodyList() ? BodyList()->count : 0) + 1));
        UpdateObjectWindowVars();
    }
    void Press(int h, int v, uint32_t when, uint16_t modifiers = 0, int16_t broughtToFront = 0) {
        DoObjectWindowHit(Point{int16_t(v), int16_t(h)}, modifiers, when, broughtToFront);
    }
    static std::string Name(int i) { return PToCStr(BodyList()->body[i].name); }
};

TEST_F(Objects, EachBodyHasANumberedRowWithItsColourMassAndSpeed) {
    AddBodies(3);
    double* vel = BodyList()->body[1].vel;
    vel[0] = 3.0, vel[1] = 0.0, vel[2] = 4.0;
    Redraw(RedrawObjectWindow);
    EXPECT_EQ(Rows(W, kWhite).first * 10 + windows.presents, 151);  // the header's line reaches the scroll bar
    for (int row = 0; row < 3; ++row) {
        const int r = 15 * row;
        EXPECT_EQ(Pixel(10, r + 30), kSeparator) << row;
        EXPECT_TRUE(Pixel(82, r + 17) == SwatchOf(row) && Pixel(137, r + 28) == SwatchOf(row)) << row;
        EXPECT_EQ(Pixel(138, r + 28) + Pixel(100, r + 29), 0u) << row;
        const DrawnText* name = recorder.Find(std::to_string(row + 1) + ". Body" + std::to_string(row + 1));
        EXPECT_TRUE(OnBaseline(name, r + 28) && name->box.left == 0) << row;
    }
    EXPECT_EQ(Pixel(10, 75), 0u);  // no fourth row
    EXPECT_EQ(recorder.Find("2.0e+30")->box.left, 152);
    const DrawnText* speed = recorder.Find("5.0e+0");  // |(3, 0, 4)|
    EXPECT_TRUE(OnBaseline(speed, 15 + 28) && speed->box.left == 222);
    recorder.textWidthPerByte = 100;  // names end in an ellipsis narrower than 65 pixels, never splitting a character
    EXPECT_EQ(FitObjectName("Abc") + FitObjectName("Ab") + FitObjectName("\u00c9t\u00e9 long"), "A\u2026Ab\u00c9\u2026");
}

TEST_F(Objects, PressesSelectPickTheCameraEditAndAddBodies) {
    AddBodies(3);
    Press(10, 15, 1000);  // the first row starts below the header
    EXPECT_EQ(rt.selectedBody, 0);
    Press(10, 44, 1010);  // another row within the double-click interval: a selection
    Press(10, 50, 3000, 0x0800);  // Alt: the camera body
    Press(10, 14, 4000);  // the header
    Press(10, 65, 6000, 0, 1);  // below the last row, only bringing the window to the front
    EXPECT_EQ(set.cameraSelection * 10 + rt.selectedBody + recorder.opened, 21u);
    recorder.Expect({{{{kEditNameItem, "Comet"}}, kEditOkItem}});
    Press(10, 65, 7000);  // the row just below the last body adds one
    ASSERT_EQ(BodyList()->count, 4);
    EXPECT_EQ(Name(3) + " " + std::to_string(rt.selectedBody), "Comet 3");
    TransferICsToRT();
    recorder.Expect({{{{kEditNameItem, "Terra"}}, kEditOkItem}});
    Press(10, 35, 8000), Press(10, 35, 8029);
    ASSERT_EQ(recorder.opened, 2u);
    EXPECT_TRUE(Name(1) == "Terra" && rt.bodyRT == kNoHandle);  // edited: the run starts again
    rt.selectedBody = 2;
    recorder.Expect({{{}, kEditDeleteItem}});
    Press(10, 35, 10000, 0x0800), Press(10, 35, 10010);
    EXPECT_EQ(Name(1) + " " + std::to_string(rt.selectedBody), "Body3 1");  // the selection follows its body
    DeallocateAllPushMemory();
    recorder.Expect({{{}, kEditOkItem}});
    Press(10, 16, 11000);  // no bodies at all
    EXPECT_EQ(BodyList()->count, 1);
}

TEST_F(Objects, ScrollingIsClampedToTheListAndFollowsItsLength) {
    AddBodies(30);  // 200 pixels: 13 rows, a page of 11, maximum 30 + 3 - 13
    EXPECT_EQ(ObjectWindowScrollMaximum() * 100 + windows.barMaximum, 2020);
    EXPECT_EQ(windows.barPage, 11);
    using P = ScrollPart;
    const std::tuple<P, int32_t, int32_t> steps[] = {{P::UpArrow, 0, 0}, {P::PageDown, 0, 11}, {P::PageDown, 0, 20},
        {P::DownArrow, 0, 20}, {P::UpArrow, 0, 19}, {P::Thumb, 5, 5}, {P::PageUp, 0, 0}, {P::Thumb, 99, 20},
        {P::Thumb, -4, 0}, {P::Thumb, 7, 7}};
    for (const auto& [part, thumb, value] : steps) {
        TrackObjectWindowScroll(part, thumb);
        EXPECT_EQ(ObjectWindowScrollValue() * 100 + windows.barValue, value * 101) << int(part) << " " << thumb;
    }
    Press(10, 29, 1000);  // the first row shown is the eighth body
    Redraw(RedrawObjectWindow);
    EXPECT_TRUE(rt.selectedBody == 7 && OnBaseline(recorder.Find("8. Body8"), 28) && !recorder.Find("7. "));
    Resize(kObjectWindowId, 380, 300);  // taller: pages further, scrolls less
    TrackObjectWindowScroll(P::Thumb, 20);
    UpdateObjectWindowVars();
    EXPECT_EQ(std::tuple(ObjectWindowScrollMaximum(), ObjectWindowScrollValue(), windows.barPage),
              std::tuple(13, 13, 18));
    for (int i = 0; i < 22; ++i) DeleteABody(0);
    UpdateObjectWindowVars();
    EXPECT_EQ(ObjectWindowScrollMaximum() + ObjectWindowScrollValue() + windows.barValue, 0);
}

// A belt of 10,000 particles between two bodies and a third is one row; a press on it selects its
// first particle and a double click opens no editor; the bodies after it keep their numbers.
TEST_F(Objects, ABeltIsOneRowThatSelectsItsFirstParticle) {
    AddBodies(2);
    set.powerLaw = -2.0, set.gravConstant = 6.674e-11;
    std::string error;
    ASSERT_TRUE(AddBelt(BeltRequest{10000, 0, 1e9, 2e9, 0.1, 0.1, 1}, error)) << error;
    AddBodies(1);
    EXPECT_EQ(ObjectRowCount(), 4);
    Redraw(RedrawObjectWindow);
    EXPECT_TRUE(OnBaseline(recorder.Find("Belt: 10,000 particles"), 15 * 2 + 28));
    EXPECT_TRUE(OnBaseline(recorder.Find("10003. Body10003"), 15 * 3 + 28));
    EXPECT_EQ(Pixel(10, 15 * 4 + 30), 0u);  // no fifth row
    Press(10, 50, 1000), Press(10, 50, 1010);
    EXPECT_EQ(rt.selectedBody * 10 + int(recorder.opened), 20);
    Press(10, 65, 3000);
    EXPECT_EQ(rt.selectedBody, 10002);
}

}  // namespace
