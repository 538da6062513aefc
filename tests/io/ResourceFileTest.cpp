#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <filesystem>
#include <functional>
#include <fstream>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) { return b; }

ResourceFile TwoTypes() {
    ResourceFile rf;
    auto a = Bytes({1, 2, 3});
    auto b = Bytes({9, 8, 7, 6, 5});
    rf.Add(FourCC("ORSt"), 0, "Settings", a.data(), a.size());
    rf.Add(FourCC("PICT"), 1024, "", b.data(), b.size());
    rf.Add(FourCC("PICT"), 1025, "Moon pic", b.data(), 2);
    return rf;
}

}  // namespace

TEST(ResourceFile, RoundTripKeepsTypesIdsNamesAndBytes) {
    const auto bytes = TwoTypes().Serialize();
    ResourceFile back;
    std::string err;
    ASSERT_TRUE(back.Parse(bytes.data(), bytes.size(), err)) << err;
    ASSERT_EQ(back.All().size(), 3u);
    EXPECT_EQ(back.Get(FourCC("ORSt"), 0)->name, "Settings");
    EXPECT_EQ(back.Get(FourCC("ORSt"), 0)->data, Bytes({1, 2, 3}));
    EXPECT_EQ(back.Get(FourCC("PICT"), 1024)->name, "");
    EXPECT_EQ(back.Size(FourCC("PICT"), 1025), 2);
    EXPECT_EQ(back.Size(FourCC("PICT"), 1026), -1);
    EXPECT_EQ(back.GetFirstOfType(FourCC("PICT"))->id, 1024);
    EXPECT_EQ(back.GetFirstOfType(FourCC("Bdez")), nullptr);
}

TEST(ResourceFile, LayoutFollowsTheClassicFork) {
    const auto f = TwoTypes().Serialize();
    const uint32_t dataOff = GetBE32(&f[0]), mapOff = GetBE32(&f[4]);
    const uint32_t dataLen = GetBE32(&f[8]), mapLen = GetBE32(&f[12]);
    EXPECT_EQ(dataOff, 256u);
    EXPECT_EQ(dataLen, (4 + 3) + (4 + 5) + (4 + 2));
    EXPECT_EQ(mapOff, dataOff + dataLen);
    EXPECT_EQ(mapOff + mapLen, f.size());
    // Resource data: a 4-byte length, then the bytes.
    EXPECT_EQ(GetBE32(&f[256]), 3u);
    EXPECT_EQ(f[260], 1);
    const uint8_t* map = &f[mapOff];
    EXPECT_TRUE(std::equal(map, map + 16, f.begin()));  // header copy
    EXPECT_EQ(GetBE32(map + 16), 0u);
    const uint16_t tl = GetBE16(map + 24), nl = GetBE16(map + 26);
    EXPECT_EQ(tl, 28);
    EXPECT_EQ(GetBE16(map + tl), 1);  // two types, stored as count - 1
    const uint8_t* t1 = map + tl + 2 + 8;  // second type: PICT
    EXPECT_EQ(GetBE32(t1), FourCC("PICT"));
    EXPECT_EQ(GetBE16(t1 + 4), 1);
    const uint8_t* ref = map + tl + GetBE16(t1 + 6);
    EXPECT_EQ(GetBE16(ref), 1024);
    EXPECT_EQ(GetBE16(ref + 2), 0xFFFF);  // no name
    EXPECT_EQ(GetBE32(ref + 4) & 0xFFFFFF, 7u);
    const uint8_t* ref2 = ref + 12;
    EXPECT_EQ(GetBE16(ref2), 1025);
    const uint8_t* name = map + nl + GetBE16(ref2 + 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "Moon pic");
}

TEST(ResourceFile, AddReplacesAndRemoveDeletes) {
    ResourceFile rf = TwoTypes();
    auto c = Bytes({42});
    rf.Add(FourCC("ORSt"), 0, "Other", c.data(), c.size());
    EXPECT_EQ(rf.All().size(), 3u);
    EXPECT_EQ(rf.Get(FourCC("ORSt"), 0)->data, c);
    EXPECT_TRUE(rf.Remove(FourCC("ORSt"), 0));
    EXPECT_FALSE(rf.Remove(FourCC("ORSt"), 0));
    const auto bytes = rf.Serialize();
    ResourceFile back;
    std::string err;
    ASSERT_TRUE(back.Parse(bytes.data(), bytes.size(), err)) << err;
    EXPECT_EQ(back.All().size(), 2u);
}

TEST(ResourceFile, EmptyFileRoundTrips) {
    const auto bytes = ResourceFile().Serialize();
    ResourceFile back;
    std::string err;
    EXPECT_TRUE(back.Parse(bytes.data(), bytes.size(), err)) << err;
    EXPECT_TRUE(back.All().empty());
}

TEST(ResourceFile, RejectsMalformedContainers) {
    const auto good = TwoTypes().Serialize();
    const uint32_t mapOff = GetBE32(&good[4]);
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const std::vector<Case> cases = {
        {"truncated header", [](auto& f) { f.resize(10); }},
        {"truncated map", [](auto& f) { f.resize(f.size() - 3); }},
        {"map past end", [](auto& f) { PutBE32(&f[4], uint32_t(f.size())); }},
        {"data length huge", [](auto& f) { PutBE32(&f[8], 0xFFFFFFF0u); }},
        {"data overlaps map", [&](auto& f) { PutBE32(&f[8], GetBE32(&f[8]) + 8); }},
        {"type list offset", [&](auto& f) { PutBE16(&f[mapOff + 24], 0xFFF0); }},
        {"name list offset", [&](auto& f) { PutBE16(&f[mapOff + 26], 0xFFF0); }},
        {"type count", [&](auto& f) { PutBE16(&f[mapOff + 28], 200); }},
        {"ref count", [&](auto& f) { PutBE16(&f[mapOff + 28 + 2 + 4], 300); }},
        {"ref offset into type list", [&](auto& f) { PutBE16(&f[mapOff + 28 + 2 + 6], 4); }},
        {"data offset", [&](auto& f) { f[mapOff + 28 + 18 + 5] = 0x7F; }},
        {"item length", [](auto& f) { PutBE32(&f[256], 0x10000); }},
        {"duplicate id", [&](auto& f) {
             const uint8_t* t1 = &f[mapOff + 28 + 2 + 8];
             const size_t ref = mapOff + 28 + GetBE16(t1 + 6);
             PutBE16(&f[ref + 12], 1024);
         }},
    };
    for (const auto& c : cases) {
        auto f = good;
        c.damage(f);
        ResourceFile rf;
        std::string err;
        EXPECT_FALSE(rf.Parse(f.data(), f.size(), err)) << c.what;
        EXPECT_FALSE(err.empty()) << c.what;
        EXPECT_TRUE(rf.All().empty()) << c.what;
    }
}

TEST(ResourceFile, EveryTruncationFailsCleanly) {
    const auto good = TwoTypes().Serialize();
    for (size_t n = 0; n < good.size(); ++n) {
        ResourceFile rf;
        std::string err;
        EXPECT_FALSE(rf.Parse(good.data(), n, err)) << n;
    }
}

TEST(ResourceFile, WriteIsAtomicAndLeavesNoTemporary) {
    namespace fs = std::filesystem;
    ScratchDir scratch;
    const fs::path& dir = scratch.path();
    const std::string path = (dir / "a.universe").string();
    std::string err;
    ASSERT_TRUE(TwoTypes().WriteToFile(path, err)) << err;
    ResourceFile back;
    ASSERT_TRUE(back.ReadFromFile(path, err)) << err;
    EXPECT_EQ(back.All().size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A write into a missing folder fails and reports it.
    EXPECT_FALSE(TwoTypes().WriteToFile((dir / "nope" / "b.universe").string(), err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(back.ReadFromFile((dir / "missing").string(), err));
}
