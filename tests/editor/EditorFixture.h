#pragma once
// Shared set-up of the editor, undo and document tests: a scripted platform
// (pictures in the tests' own format, a save dialog answering from a list), a
// window that records its titles, settings in memory, fresh menus, lists and
// history, and a leak check on every test.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "ScratchDir.h"
#include "ScriptedDialog.h"
#include "core/Dialogs.h"
#include "shell/Document.h"
#include "shell/History.h"
#include "core/Memory.h"
#include "core/Menus.h"
#include "shell/RecentFiles.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "imagery/SpherePix.h"
#include "io/Universe.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "windows/BodyEditor.h"
#include "windows/BodyEditorCommands.h"

// "TPIC", width, height (a byte each), then 0x00RRGGBB words: the pictures of these tests.
inline std::vector<uint8_t> TestPicture(uint32_t rgb, int w = 8, int h = 4) {
    std::vector<uint8_t> bytes = {'T', 'P', 'I', 'C', uint8_t(w), uint8_t(h)};
    for (int k = 0; k < 4 * w * h; ++k) bytes.push_back(uint8_t(rgb >> (8 * (k % 4))));
    return bytes;
}

struct EditorBackend : ScriptedDialogBackend {
    bool DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) override {
        if (size < 6 || std::memcmp(bytes, "TPIC", 4) != 0 || size < 6 + 4 * size_t(bytes[4]) * bytes[5]) return false;
        out.width = bytes[4];
        out.height = bytes[5];
        out.pixels.resize(size_t(out.width) * size_t(out.height));
        std::memcpy(out.pixels.data(), bytes + 6, 4 * out.pixels.size());
        return true;
    }
    std::vector<std::string> savePaths, suggested;  // the save dialog's answers in turn (none left: cancelled)
    size_t nextSave = 0;
    int32_t ChooseSaveFile(const std::string&, const std::string& name, uint32_t, std::string& path) override {
        suggested.push_back(name);
        if (nextSave >= savePaths.size()) return 0;
        path = savePaths[nextSave++];
        return 1;
    }
};

struct TitleRecorder : MainWindowServices {
    std::vector<std::pair<std::string, bool>> titles;
    void ShowDocumentTitle(const std::string& name, bool modified) override { titles.emplace_back(name, modified); }
};

using Entries = std::vector<std::pair<double, int32_t>>;  // a thrust schedule: speed change (m/s), push
using TitleIs = std::pair<std::string, bool>;
using Texts = std::vector<std::string>;

inline Entries Listed(Handle list) {
    Entries out;
    for (int32_t k = 0; k < GetTTCount(list); ++k) {
        TimedThrustInfoStruct e{};
        GetTTData(list, &e, k);
        out.emplace_back(e.deltaV, e.pushIndex);
    }
    return out;
}
inline std::string Name(const BodyInfoStruct& b) { return PToCStr(b.name); }
inline std::string Fixed(double v) { return MyRealFixed2String(v, 12); }

struct EditorTest : ::testing::Test {
    EditorBackend backend;
    TitleRecorder window;
    ScratchDir scratch;
    SettingsStore settings;
    SettingsStruct savedSettings{};
    int32_t handlesBefore = 0;

    void SetUp() override {
        SetPlatformBackend(&backend);
        SetMainWindowServices(&window);
        SetSettingsStore(&settings);
        savedSettings = set;
        handlesBefore = LiveHandleCount();
        rt.spherePixList = NewSpherePixList();
        rt.selectedBody = -1;
        set.timedThrust = kNoHandle;
        set.craftThrust = set.displayFlags = set.trailLength = 0;
        set.gravConstant = 6.672e-11;
        set.powerLaw = -2.0;
        set.timeStep = 10.0;
        set.pushesPerFrame = 16;
        set.viewAngle = 70.0;  // files with a view angle of 0 are refused
        SetupMenus();
        ClearUndoHistory();
        ResetDocumentForTesting();
    }
    void TearDown() override {
        ClearUndoHistory();
        SetUndoBoundsForTesting(0, 0);
        DisposeMenus();
        SetMemoryLimitForTesting(0);
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = kNoHandle;
        DisposeSpherePixList(rt.spherePixList);
        rt.spherePixList = kNoHandle;
        DisposeScratchSpace();
        EXPECT_EQ(LiveHandleCount(), handlesBefore) << "blocks left behind";
        SetMainWindowServices(nullptr);
        SetSettingsStore(nullptr);
        SetPlatformBackend(nullptr);
        recentFiles = {};
        set = savedSettings;
    }

    void Choose(int16_t menu, int16_t item) { HandleMenuEv(MenuChoice(menu, item)); }
    int32_t Run(BodyInfoStruct& b, int32_t index, std::vector<DialogStep> steps) {
        backend.Expect(std::move(steps));
        return EditBodyDialog(&b, index);
    }
    DialogRecord& Shown() { return backend.dialogs.back(); }
    // What item showed, and whether it was enabled, before the given step's typing.
    std::string Text(size_t step, int16_t item) { return Shown().textsAtHit.at(step).at(item); }
    bool Enabled(size_t step, int16_t item) { return Shown().enabledAtHit.at(step).at(item); }
    static void AddBodies(std::initializer_list<const char*> names) {
        for (const char* n : names) ASSERT_EQ(AddABody(Named(n)), 1);
    }
    void Schedule(const Entries& entries) {
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = NewTTHandle();
        for (const auto& [dv, push] : entries) {
            TimedThrustInfoStruct e{dv, push, 0};
            AddTTData(set.timedThrust, &e);
        }
    }
    void ChangePushesPerFrame(int n) {
        backend.Expect({{{{kSheetFirstFieldItem, std::to_string(n)}}, kSheetOkayItem}});
        Choose(kSimulationMenu, 4);
    }
    void Answer(int16_t item) { backend.Expect({{{}, item}}); }  // the next question's button
    TitleIs Title() {
        RefreshDocumentTitle();
        return window.titles.empty() ? TitleIs{} : window.titles.back();
    }
    std::string File(const char* leaf) { return (scratch / leaf).string(); }
    // A picture file of one colour, after the 512-byte header of picture files.
    std::string WritePicture(const char* leaf, uint32_t rgb, int w = 8, int h = 4) {
        const std::vector<uint8_t> bytes = TestPicture(rgb, w, h);
        std::ofstream(File(leaf), std::ios::binary) << std::string(512, '\0') << std::string(bytes.begin(), bytes.end());
        return File(leaf);
    }
    static BodyInfoStruct Named(const char* name) {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        CToPStr31(b.name, name);
        return b;
    }
    static BodyInfoStruct Craft(const char* name = nullptr) {
        BodyInfoStruct c;
        FillDefaultCraftInfo(c);
        if (name) CToPStr31(c.name, name);
        return c;
    }
    static int32_t Count() { return BodyList() ? BodyList()->count : 0; }
    static BodyInfoStruct& Body(int32_t i) { return BodyList()->body[i]; }
    static Texts Names() {
        Texts out;
        for (int32_t i = 0; i < Count(); ++i) out.push_back(Name(Body(i)));
        return out;
    }
};
