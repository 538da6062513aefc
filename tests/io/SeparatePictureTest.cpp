#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <cstring>
#include <filesystem>

#include "io/Pictures.h"
#include "io/UniverseImage.h"

namespace fs = std::filesystem;

// The variant that keeps pictures as files beside the universe file.
TEST(SeparatePictures, SavedAsFilesAndReadBack) {
    ScratchDir scratch;
    const fs::path& dir = scratch.path();
    std::vector<uint8_t> block(kBodyListHeaderSize + sizeof(BodyInfoStruct) * 2, 0);
    auto* L = reinterpret_cast<BodyListStruct*>(block.data());
    L->count = 1;
    L->body[0].spherePixID = 3;
    L->body[0].name[0] = 5;
    std::memcpy(L->body[0].name + 1, "Earth", 5);
    Handle pict = NewHandle(20);
    std::memset(HandlePtr(pict), 0x61, 20);
    UniverseSaveInput in;
    in.bodies = L;
    in.bodiesBlockSize = block.size();
    in.picture = [&](int32_t id) { return id == 3 ? pict : kNoHandle; };
    in.settings.viewAngle = 70;
    in.embedPictures = false;
    in.folder = dir.string();
    ResourceFile rf;
    ASSERT_TRUE(BuildUniverseResources(in, rf));
    EXPECT_EQ(rf.Get(kPictResType, 1024), nullptr);
    const Resource* str = rf.Get(kStringResType, 1024);
    ASSERT_NE(str, nullptr);
    const std::string name = PictureResourceName(L->body[0].name);
    EXPECT_EQ(str->data[0], name.size());
    EXPECT_EQ(fs::file_size(dir / name), 512u + 20);

    LoadedUniverse u;
    std::string err;
    const auto reader = [&](const std::string& file, bool& ok) { return ReadPICTFileBytes((dir / file).string(), ok); };
    ASSERT_TRUE(ReadUniverseResources(rf, u, err, reader)) << err;
    ASSERT_EQ(u.bodies.size(), 1u);
    EXPECT_EQ(u.bodies[0].picture, std::vector<uint8_t>(20, 0x61));
    // The picture file gone: the body loads without its picture.
    fs::remove(dir / name);
    ASSERT_TRUE(ReadUniverseResources(rf, u, err, reader));
    EXPECT_TRUE(u.bodies[0].picture.empty());
    EXPECT_EQ(u.bodies[0].info.spherePixID, 0);
    DisposeHandle(pict);
}
