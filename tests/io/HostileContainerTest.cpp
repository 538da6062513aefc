// Resource files made to hurt: shared reference lists and data that would
// multiply a small file, and saves whose offsets do not fit their fields.
#include <gtest/gtest.h>

#include "ScratchDir.h"

#include <fstream>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

// A bare fork: one data item of `itemBytes` zero bytes, `types` type entries
// whose reference lists start at the given offsets (from the type list), and
// the reference entries given.
struct RawRef {
    int16_t id;
    uint32_t dataOffset;
};
std::vector<uint8_t> Fork(size_t itemCount, const std::vector<uint16_t>& refListOffsets, uint16_t refsPerType,
                          const std::vector<RawRef>& refs) {
    std::vector<uint8_t> data;
    for (size_t i = 0; i < itemCount; ++i) AppendBE32(data, 0);  // empty items
    std::vector<uint8_t> map(28, 0);
    PutBE16(&map[24], 28);  // type list right after the map header; no names
    AppendBE16(map, uint16_t(refListOffsets.size() - 1));
    for (size_t t = 0; t < refListOffsets.size(); ++t) {
        AppendBE32(map, FourCC("TEST") + uint32_t(t));
        AppendBE16(map, uint16_t(refsPerType - 1));
        AppendBE16(map, refListOffsets[t]);
    }
    for (const RawRef& r : refs) {
        AppendBE16(map, uint16_t(r.id));
        AppendBE16(map, 0xFFFF);
        AppendBE32(map, r.dataOffset);
        AppendBE32(map, 0);
    }
    std::vector<uint8_t> out(256, 0);
    PutBE32(&out[0], 256);
    PutBE32(&out[4], uint32_t(256 + data.size()));
    PutBE32(&out[8], uint32_t(data.size()));
    PutBE32(&out[12], uint32_t(map.size()));
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), map.begin(), map.end());
    return out;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// 5000 types over one 5000-entry list would be 25 million resources from 100 KB.
TEST(HostileContainer, TypesSharingOneReferenceListAreRefused) {
    const size_t n = 5000;
    std::vector<RawRef> refs;
    for (size_t i = 0; i < n; ++i) refs.push_back(RawRef{int16_t(i), uint32_t(4 * i)});
    const uint16_t listStart = uint16_t(2 + 8 * n);
    const auto bytes = Fork(n, std::vector<uint16_t>(n, listStart), uint16_t(n), refs);
    EXPECT_LT(bytes.size(), 125000u);
    ResourceFile rf;
    std::string error;
    EXPECT_FALSE(rf.Parse(bytes.data(), bytes.size(), error));
    EXPECT_NE(error.find("share reference"), std::string::npos) << error;
    EXPECT_TRUE(rf.All().empty());
    // The same entries under one type each read as 5000 resources.
    const auto one = Fork(n, {uint16_t(2 + 8)}, uint16_t(n), refs);
    ASSERT_TRUE(rf.Parse(one.data(), one.size(), error)) << error;
    EXPECT_EQ(rf.All().size(), n);
    EXPECT_NE(rf.Get(FourCC("TEST"), 4999), nullptr);
}

TEST(HostileContainer, ResourcesSharingDataAndDuplicateIdsAreRefused) {
    ResourceFile rf;
    std::string error;
    const auto shared = Fork(1, {10}, 3, {{1, 0}, {2, 0}, {3, 0}});
    EXPECT_FALSE(rf.Parse(shared.data(), shared.size(), error));
    EXPECT_NE(error.find("share data"), std::string::npos) << error;
    const auto dup = Fork(3, {10}, 3, {{1, 0}, {2, 4}, {1, 8}});
    EXPECT_FALSE(rf.Parse(dup.data(), dup.size(), error));
    EXPECT_NE(error.find("duplicate"), std::string::npos) << error;
    const auto fine = Fork(3, {10}, 3, {{1, 0}, {2, 4}, {3, 8}});
    EXPECT_TRUE(rf.Parse(fine.data(), fine.size(), error)) << error;
}

// A save whose data offsets pass 24 bits is refused before the target is touched.
TEST(HostileContainer, OversizedSaveLeavesTheEarlierFileIntact) {
    ScratchDir scratch;
    const std::string path = scratch.prefix() + "good.universe";
    ResourceFile good;
    good.Add(FourCC("ORSt"), 0, "Settings", reinterpret_cast<const uint8_t*>("abc"), 3);
    std::string error;
    ASSERT_TRUE(good.WriteToFile(path, error)) << error;
    const std::string before = Slurp(path);

    ResourceFile big;
    const std::vector<uint8_t> block((size_t(1) << 24) + 16, 0x5A);
    big.Add(FourCC("PICT"), 1024, "huge", block.data(), block.size());
    big.Add(FourCC("PICT"), 1025, "after", block.data(), 8);
    std::vector<uint8_t> out;
    EXPECT_FALSE(big.Serialize(out, error));
    EXPECT_NE(error.find("24 bits"), std::string::npos) << error;
    EXPECT_FALSE(big.WriteToFile(path, error));
    EXPECT_EQ(Slurp(path), before);
    // The last item may start below the limit and run past it: that still reads back.
    big.Remove(FourCC("PICT"), 1025);
    ASSERT_TRUE(big.Serialize(out, error)) << error;
    ResourceFile back;
    ASSERT_TRUE(back.Parse(out.data(), out.size(), error)) << error;
    EXPECT_EQ(back.Get(FourCC("PICT"), 1024)->data.size(), block.size());
}

TEST(HostileContainer, MapOffsetsPastSixteenBitsAreRefused) {
    std::string error;
    std::vector<uint8_t> out;
    // Names: 300 names of 250 bytes put the name offsets past 65535.
    ResourceFile named;
    const std::string longName(250, 'n');
    for (int i = 0; i < 300; ++i) named.Add(FourCC("STR "), int16_t(i), longName, nullptr, 0);
    EXPECT_FALSE(named.Serialize(out, error));
    EXPECT_NE(error.find("16 bits"), std::string::npos) << error;
    // Reference lists: a second type after 5500 references starts past 65535.
    ResourceFile many;
    for (int i = 0; i < 5500; ++i) many.Add(FourCC("AAAA"), int16_t(i), "", nullptr, 0);
    many.Add(FourCC("BBBB"), 1, "", nullptr, 0);
    EXPECT_FALSE(many.Serialize(out, error));
    EXPECT_NE(error.find("16 bits"), std::string::npos) << error;
    // 5000 references in all still fit and read back.
    many.Remove(FourCC("BBBB"), 1);
    for (int i = 5000; i < 5500; ++i) many.Remove(FourCC("AAAA"), int16_t(i));
    ASSERT_TRUE(many.Serialize(out, error)) << error;
    ResourceFile back;
    ASSERT_TRUE(back.Parse(out.data(), out.size(), error)) << error;
    EXPECT_EQ(back.All().size(), 5000u);
}
