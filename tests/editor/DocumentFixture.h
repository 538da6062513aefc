#pragma once
// The universe as a document under test: a scripted platform with a save
// dialog that answers from a list, a window that records its titles, and
// menus, history and document state fresh for every test.
#include <string>
#include <utility>
#include <vector>

#include "EditorFixture.h"
#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/History.h"
#include "core/Menus.h"
#include "core/RecentFiles.h"
#include "io/Universe.h"
#include "render/Trails.h"

struct DocumentBackend : EditorBackend {
    std::vector<std::string> savePaths;  // answers of the save dialog in turn (none left: cancelled)
    std::vector<std::string> suggested;
    size_t nextSave = 0;
    int32_t ChooseSaveFile(const std::string&, const std::string& defaultName, uint32_t, std::string& path) override {
        suggested.push_back(defaultName);
        if (nextSave >= savePaths.size()) return 0;
        path = savePaths[nextSave++];
        return 1;
    }
};

struct TitleRecorder : MainWindowServices {
    std::vector<std::pair<std::string, bool>> titles;
    void ShowDocumentTitle(const std::string& name, bool modified) override { titles.emplace_back(name, modified); }
};

struct DocumentTest : ::testing::Test {
    DocumentBackend backend;
    TitleRecorder window;
    ScratchDir scratch;
    SettingsStruct savedSettings{};
    SettingsStore settings;  // this test's own, in memory

    void SetUp() override {
        SetPlatformBackend(&backend);
        SetMainWindowServices(&window);
        SetSettingsStore(&settings);
        recentFiles = {};
        savedSettings = set;
        rt.spherePixList = NewSpherePixList();
        rt.selectedBody = -1;
        set.timedThrust = kNoHandle;
        set.viewAngle = 70;  // files with a view angle of 0 are refused
        set.pushesPerFrame = 16;
        SetupMenus();
        ClearUndoHistory();
        ResetDocumentForTesting();
    }
    void TearDown() override {
        ClearUndoHistory();
        DisposeMenus();
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = kNoHandle;
        DisposeSpherePixList(rt.spherePixList);
        rt.spherePixList = kNoHandle;
        DisposeScratchSpace();
        SetMainWindowServices(nullptr);
        SetPlatformBackend(nullptr);
        SetSettingsStore(nullptr);
        recentFiles = {};
        set = savedSettings;
    }
    void Choose(int16_t menu, int16_t item) { HandleMenuEv(MenuChoice(menu, item)); }
    void ChangePushesPerFrame(int n) {
        backend.Expect({{{{kSheetFirstFieldItem, std::to_string(n)}}, kSheetOkayItem}});
        Choose(kSimulationMenu, 4);
    }
    std::pair<std::string, bool> Shown() {
        RefreshDocumentTitle();
        return window.titles.empty() ? std::pair<std::string, bool>{} : window.titles.back();
    }
    std::string File(const char* leaf) { return (scratch / leaf).string(); }
    // Answers the next "save changes?" question.
    void Answer(int16_t item) { backend.Expect({{{}, item}}); }
};

using TitleIs = std::pair<std::string, bool>;
