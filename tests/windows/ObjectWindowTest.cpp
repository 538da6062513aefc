// The object window: rows, marks, the new-body button, presses and scrolling.
#include "WindowsFixture.h"
#include "windows/ObjectWindow.h"

namespace {

constexpr uint32_t kSeparatorPixel = 0x00888888u;
constexpr uint32_t kWhitePixel = 0x00FFFFFFu;

struct ObjectWindowTest : WindowsTest {
    PixelSurface surface{};
    int32_t W = 0;
    void SetUp() override {
        WindowsTest::SetUp();
        AllocObjectWindowInfo();
        Resize(380, 200);
    }
    void Resize(int32_t w, int32_t h) {
        windows.width = w;
        windows.height = h;
        surface = MainWindow().WindowSurface(kObjectWindowId);
        W = w - 16;
    }
    void AddBodies(int n, double mass = 2e30) {
        for (int i = 0; i < n; ++i) {
            BodyInfoStruct b = Named(("Body" + std::to_string(Count() + 1)).c_str());
            b.mass = mass;
            b.color = RGBColor{uint16_t(0x1000 * (Count() + 1)), 0x8000, 0x4000};
            ASSERT_EQ(AddABody(b), 1);
        }
        UpdateObjectWindowVars();
    }
    void Redraw() {
        recorder.drawn.clear();
        Fill(surface, 0x00123456u);
        RedrawObjectWindow();
    }
    void Press(int h, int v, uint32_t when, uint16_t modifiers = 0, int16_t broughtToFront = 0) {
        DoObjectWindowHit(Point{int16_t(v), int16_t(h)}, modifiers, when, broughtToFront);
    }
    static uint32_t SwatchPixelOf(int i) { return (uint32_t((0x1000 * (i + 1)) >> 8) << 16) | 0x8040u; }
};

}  // namespace

TEST_F(ObjectWindowTest, DrawsHeaderAndOneRowPerBody) {
    AddBodies(3);
    double* vel = BodyList()->body[1].vel;
    vel[0] = 3.0, vel[1] = 0.0, vel[2] = 4.0;
    Redraw();
    EXPECT_EQ(windows.presents, 1);
    for (int x : {0, 100, W}) EXPECT_EQ(Pixel(surface, x, 15), kWhitePixel) << x;
    EXPECT_NE(Pixel(surface, W + 1, 15), kWhitePixel);
    for (int row = 0; row < 3; ++row) {
        const int r = 15 * row;
        EXPECT_EQ(Pixel(surface, 10, r + 30), kSeparatorPixel) << row;
        EXPECT_EQ(Pixel(surface, W, r + 30), kSeparatorPixel) << row;
        EXPECT_EQ(Pixel(surface, 82, r + 17), SwatchPixelOf(row)) << row;
        EXPECT_EQ(Pixel(surface, 137, r + 28), SwatchPixelOf(row)) << row;
        EXPECT_EQ(Pixel(surface, 138, r + 28), 0u) << row;
        EXPECT_EQ(Pixel(surface, 100, r + 29), 0u) << row;
        const DrawnText* name = recorder.Find(std::to_string(row + 1) + ". Body");
        ASSERT_NE(name, nullptr) << row;
        EXPECT_EQ(name->box.left, 0);
        EXPECT_TRUE(OnBaseline(*name, r + 28)) << row;
    }
    EXPECT_EQ(Pixel(surface, 10, 75), 0u);  // no fourth row
    for (const char* heading : {"Name", "Colour", "Mass (kg)", "Speed (m/s)"})
        EXPECT_TRUE(recorder.Find(heading) && OnBaseline(*recorder.Find(heading), 13)) << heading;
    EXPECT_EQ(recorder.Find("Colour")->box.left, 82);
    const DrawnText* note = recorder.Find("dbl-click");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->justify, TextJustify::Right);
    EXPECT_EQ(note->box.right, 380 - 20);
    EXPECT_NE(note->font, recorder.Find("Name")->font);
    int masses = 0;
    for (const DrawnText& d : recorder.drawn) masses += d.text == "2.0e+30" && d.box.left == 152;
    EXPECT_EQ(masses, 3);
    const DrawnText* speed = recorder.Find("5.0e+0");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->box.left, 222);
    EXPECT_TRUE(OnBaseline(*speed, 15 + 28));
}

TEST_F(ObjectWindowTest, MarksTheSelectedAndTheCameraBody) {
    AddBodies(3);
    rt.selectedBody = 1;
    set.cameraSelection = 2;
    Redraw();
    const uint32_t highlight = 0x003366FFu;
    EXPECT_EQ(Pixel(surface, W, 15 + 23), highlight);
    EXPECT_EQ(Pixel(surface, W - 7, 15 + 23), highlight);
    EXPECT_EQ(Pixel(surface, W - 8, 15 + 23), 0u);
    EXPECT_EQ(Pixel(surface, W, 15 + 16), highlight);
    EXPECT_EQ(Pixel(surface, W - 1, 15 + 16), 0u);
    EXPECT_NE(Pixel(surface, W, 23), highlight);  // not on the other rows
    EXPECT_NE(Pixel(surface, W, 30 + 23), highlight);
    int markPixels = 0, elsewhere = 0;
    for (int y = 16; y < 75; ++y)
        for (int x = W - 17; x < W - 4; ++x) {
            if (Pixel(surface, x, y) != kWhitePixel) continue;
            (y >= 30 + 18 && y < 30 + 30 ? markPixels : elsewhere)++;
        }
    EXPECT_GT(markPixels, 10);
    EXPECT_EQ(elsewhere, 0);
    // A highlight too dark to see is replaced by white.
    recorder.highlight = RGBColor{4095, 4095, 100};
    Redraw();
    EXPECT_EQ(Pixel(surface, W - 3, 15 + 23), kWhitePixel);
}

TEST_F(ObjectWindowTest, NewBodyButtonSitsBelowTheLastRow) {
    recorder.textWidthPerByte = 10;  // "New Body": 80 pixels
    Redraw();
    const int left = ((W - 80) >> 1) - 4, right = ((W - 80) >> 1) + 80 + 4;
    EXPECT_EQ(Pixel(surface, (left + right) / 2, 20), kWhitePixel);  // top edge
    EXPECT_EQ(Pixel(surface, (left + right) / 2, 39), kWhitePixel);  // bottom edge at 40
    EXPECT_EQ(Pixel(surface, (left + right) / 2, 40), kSeparatorPixel);  // its shadow
    EXPECT_EQ(Pixel(surface, (left + right) / 2, 30), 0u);
    EXPECT_EQ(Pixel(surface, left, 30), kWhitePixel);
    EXPECT_EQ(Pixel(surface, right - 1, 30), kWhitePixel);
    EXPECT_EQ(Pixel(surface, left, 20), 0u);  // rounded corner
    const DrawnText* label = recorder.Find("New Body");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->justify, TextJustify::Center);
    EXPECT_EQ(label->box.left, 0);
    EXPECT_EQ(label->box.right, W & ~1);
    EXPECT_EQ(label->box.top, 40 - 18);
    EXPECT_EQ(label->box.bottom, 40 - 3);
    AddBodies(2);
    Redraw();
    EXPECT_EQ(Pixel(surface, (left + right) / 2, 69), kWhitePixel);  // bottom at 15 * 2 + 40
}

TEST_F(ObjectWindowTest, LongNamesEndInAnEllipsis) {
    recorder.textWidthPerByte = 10;
    EXPECT_EQ(FitObjectName("Moon"), "Moon");
    EXPECT_EQ(FitObjectName("Jupiter"), "Jup\u2026");
    recorder.textWidthPerByte = 100;
    EXPECT_EQ(FitObjectName("Abc"), "A\u2026");  // still too wide at three characters
    EXPECT_EQ(FitObjectName("Ab"), "Ab");
    EXPECT_EQ(FitObjectName("\u00c9t\u00e9 long"), "\u00c9\u2026");  // never splits a character
}

TEST_F(ObjectWindowTest, ClickSelectsAndOptionClickPicksTheCamera) {
    AddBodies(4);
    windows.invalidates = 0;
    Press(10, 15, 1000);
    EXPECT_EQ(rt.selectedBody, 0);
    EXPECT_GT(windows.invalidates, 0);
    Press(10, 44, 2000);
    EXPECT_EQ(rt.selectedBody, 1);
    Press(10, 50, 3000, 0x0800);
    EXPECT_EQ(set.cameraSelection, 2);
    EXPECT_EQ(rt.selectedBody, 1);
    Press(10, 14, 4000);        // the header
    Press(380 - 16, 50, 5000);  // the scroll bar's column
    EXPECT_EQ(rt.selectedBody, 1);
    EXPECT_EQ(set.cameraSelection, 2);
    EXPECT_EQ(recorder.opened, 0u);
}

TEST_F(ObjectWindowTest, ClickOnTheFirstVisibleRowSelectsTheScrollValue) {
    AddBodies(30);
    TrackObjectWindowScroll(ScrollPart::Thumb, 7);
    Press(10, 29, 1000);
    EXPECT_EQ(rt.selectedBody, 7);
    Redraw();
    const DrawnText* first = recorder.Find("8. Body8");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(OnBaseline(*first, 28));
    EXPECT_EQ(recorder.Find("7. "), nullptr);
}

TEST_F(ObjectWindowTest, DoubleClickEditsTheBody) {
    AddBodies(2);
    TransferICsToRT();
    recorder.Expect({{{{kEditNameItem, "Terra"}}, kEditOkItem}});
    Press(10, 35, 1000);
    Press(10, 35, 1000 + 29);
    ASSERT_EQ(recorder.opened, 1u);
    EXPECT_EQ(recorder.dialogs[0].textsAtHit[0].at(kEditNumberItem), "2. body in the list");
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_EQ(rt.bodyRT, kNoHandle);
    // Cancel changes nothing, the running state included.
    TransferICsToRT();
    recorder.Expect({{{{kEditNameItem, "Gaia"}}, kEditCancelItem}});
    Press(10, 35, 3000);
    Press(10, 35, 3001);
    EXPECT_EQ(recorder.opened, 2u);
    EXPECT_EQ(Name(Body(1)), "Terra");
    EXPECT_NE(rt.bodyRT, kNoHandle);
}

TEST_F(ObjectWindowTest, DeleteInTheEditorRemovesTheBody) {
    AddBodies(3);
    rt.selectedBody = 2;
    recorder.Expect({{{}, kEditDeleteItem}});
    Press(10, 35, 1000, 0x0800);  // camera click: the selection stays on body 3
    Press(10, 35, 1010);
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Name(Body(1)), "Body3");
    EXPECT_EQ(rt.selectedBody, 1);  // still names Body3
}

TEST_F(ObjectWindowTest, ClicksThatAreNotADoubleClickOnlySelect) {
    AddBodies(3);
    Press(10, 20, 1000);
    Press(10, 35, 1005);  // another row within the interval
    EXPECT_EQ(rt.selectedBody, 1);
    Press(10, 35, 1005 + 30);  // the same row, too late
    EXPECT_EQ(recorder.opened, 0u);
    EXPECT_EQ(rt.selectedBody, 1);
}

TEST_F(ObjectWindowTest, ClickBelowTheListAddsABody) {
    AddBodies(2);
    Press(10, 60, 1000, 0, 1);  // only brought the window to the front
    EXPECT_EQ(recorder.opened, 0u);
    recorder.Expect({{{{kEditNameItem, "Comet"}}, kEditOkItem}});
    Press(10, 60, 2000);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(Name(Body(2)), "Comet");
    EXPECT_EQ(rt.selectedBody, 2);
    DeallocateAllPushMemory();
    recorder.Expect({{{}, kEditOkItem}});
    Press(10, 16, 3000);  // no bodies at all
    EXPECT_EQ(Count(), 1);
}

TEST_F(ObjectWindowTest, ScrollingIsClampedToTheList) {
    AddBodies(30);  // 200 pixels: 13 rows, a page of 11, maximum 30 + 3 - 13
    EXPECT_EQ(ObjectWindowScrollMaximum(), 20);
    EXPECT_EQ(windows.barMaximum, 20);
    EXPECT_EQ(windows.barPage, 11);
    TrackObjectWindowScroll(ScrollPart::UpArrow, 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 0);
    TrackObjectWindowScroll(ScrollPart::PageDown, 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 11);
    EXPECT_EQ(windows.barValue, 11);
    TrackObjectWindowScroll(ScrollPart::PageDown, 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 20);
    TrackObjectWindowScroll(ScrollPart::DownArrow, 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 20);
    TrackObjectWindowScroll(ScrollPart::UpArrow, 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 19);
    TrackObjectWindowScroll(ScrollPart::Thumb, 5);
    TrackObjectWindowScroll(ScrollPart::PageUp, 0);  // less than a page from the top
    EXPECT_EQ(ObjectWindowScrollValue(), 0);
    TrackObjectWindowScroll(ScrollPart::Thumb, 99);
    EXPECT_EQ(ObjectWindowScrollValue(), 20);
    TrackObjectWindowScroll(ScrollPart::Thumb, -4);
    EXPECT_EQ(ObjectWindowScrollValue(), 0);
    // A taller window pages further and needs less scrolling.
    Resize(380, 300);
    TrackObjectWindowScroll(ScrollPart::Thumb, 20);
    UpdateObjectWindowVars();
    EXPECT_EQ(ObjectWindowScrollMaximum(), 13);
    EXPECT_EQ(ObjectWindowScrollValue(), 13);
    EXPECT_EQ(windows.barPage, 18);
}

TEST_F(ObjectWindowTest, ShrinkingTheListPullsTheScrollBack) {
    AddBodies(20);
    TrackObjectWindowScroll(ScrollPart::Thumb, 10);
    EXPECT_EQ(ObjectWindowScrollValue(), 10);
    for (int i = 0; i < 12; ++i) DeleteABody(0);
    UpdateObjectWindowVars();
    EXPECT_EQ(ObjectWindowScrollMaximum(), 0);
    EXPECT_EQ(ObjectWindowScrollValue(), 0);
    EXPECT_EQ(windows.barValue, 0);
    DeallocateAllPushMemory();
    UpdateObjectWindowVars();
    EXPECT_EQ(ObjectWindowScrollMaximum(), 0);
    Redraw();  // no list: headings and the button only
    EXPECT_EQ(recorder.Find("1. "), nullptr);
    EXPECT_NE(recorder.Find("New Body"), nullptr);
}

TEST_F(ObjectWindowTest, SelectionIsOkayOnlyInsideTheList) {
    EXPECT_EQ(IsBodySelectionOkay(), 0);
    AddBodies(2);
    for (auto [selection, okay] : {std::pair{-1, 0}, {0, 1}, {1, 1}, {2, 0}}) {
        rt.selectedBody = selection;
        EXPECT_EQ(IsBodySelectionOkay(), okay) << selection;
    }
}

TEST_F(ObjectWindowTest, SurfacePictureCoversTheColourSwatch) {
    AddBodies(2);
    const uint32_t left = 0x00FF0000u, right = 0x000000FFu;
    const Handle picture = NewHandle(6 + 8);
    ASSERT_NE(picture, kNoHandle);
    auto* bytes = static_cast<uint8_t*>(HandlePtr(picture));
    std::memcpy(bytes, "TPIC\x02\x01", 6);
    std::memcpy(bytes + 6, &left, 4);
    std::memcpy(bytes + 10, &right, 4);
    const int32_t id = AddPICTToSpherePixList(rt.spherePixList, picture);
    ASSERT_GT(id, 0);
    BodyList()->body[1].spherePixID = id;
    Redraw();
    EXPECT_EQ(Pixel(surface, 82, 15 + 17), left);
    EXPECT_EQ(Pixel(surface, 109, 15 + 28), left);
    EXPECT_EQ(Pixel(surface, 110, 15 + 17), right);
    EXPECT_EQ(Pixel(surface, 137, 15 + 28), right);
    EXPECT_EQ(Pixel(surface, 138, 15 + 20), 0u);
    EXPECT_EQ(Pixel(surface, 100, 20), SwatchPixelOf(0));  // the plain row keeps its colour
}
