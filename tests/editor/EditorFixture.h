#pragma once
// Shared set-up of the editor tests: a scripted platform, empty body and
// thrust lists, a sphere picture list, and a leak check on every test.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "ScratchDir.h"
#include "ScriptedDialog.h"
#include "core/Memory.h"
#include "core/Strings.h"
#include "imagery/SpherePix.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"
#include "windows/BodyEditor.h"

// Pictures in the tests are "TPIC", width, height (one byte each), then 0x00RRGGBB words.
struct EditorBackend : ScriptedDialogBackend {
    bool DecodePicture(const uint8_t* bytes, size_t size, DecodedImage& out) override {
        if (size < 6 || std::memcmp(bytes, "TPIC", 4) != 0) return false;
        out.width = bytes[4];
        out.height = bytes[5];
        const size_t n = size_t(out.width) * size_t(out.height);
        if (size < 6 + 4 * n) return false;
        out.pixels.resize(n);
        std::memcpy(out.pixels.data(), bytes + 6, 4 * n);
        return true;
    }
};

struct EditorTest : ::testing::Test {
    EditorBackend backend;
    ScratchDir scratch;
    int32_t handlesBefore = 0;

    void SetUp() override {
        SetPlatformBackend(&backend);
        handlesBefore = LiveHandleCount();
        rt.spherePixList = NewSpherePixList();
        rt.selectedBody = -1;
        set.timedThrust = kNoHandle;
        set.craftThrust = 0.0;
    }
    void TearDown() override {
        SetMemoryLimitForTesting(0);
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = kNoHandle;
        DisposeSpherePixList(rt.spherePixList);
        rt.spherePixList = kNoHandle;
        SetPlatformBackend(nullptr);
        EXPECT_EQ(LiveHandleCount(), handlesBefore) << "blocks left behind";
    }

    // A picture file of one colour, w x h pixels; returns its path.
    std::string WritePicture(const std::string& leaf, uint32_t rgb, int w = 8, int h = 4) {
        const std::string path = (scratch / leaf).string();
        std::ofstream f(path, std::ios::binary);
        const std::string header(512, '\0');
        f.write(header.data(), std::streamsize(header.size()));
        const uint8_t head[6] = {'T', 'P', 'I', 'C', uint8_t(w), uint8_t(h)};
        f.write(reinterpret_cast<const char*>(head), 6);
        for (int k = 0; k < w * h; ++k) f.write(reinterpret_cast<const char*>(&rgb), 4);
        return path;
    }

    static BodyInfoStruct Named(const char* name) {
        BodyInfoStruct b;
        FillDefaultBodyInfo(b);
        CToPStr31(b.name, name);
        return b;
    }
    static int32_t Count() { return BodyList() ? BodyList()->count : 0; }
    static BodyInfoStruct& Body(int32_t i) { return BodyList()->body[i]; }
};

inline std::string Name(const BodyInfoStruct& b) { return PToCStr(b.name); }
