// The resource-fork container: its byte layout, forks wrapped in AppleDouble or
// MacBinary, and files made to hurt (damaged, sharing entries, fields overflowing).
#include <gtest/gtest.h>

#include <functional>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes TwoTypes() {
    ResourceFile rf;
    const uint8_t a[] = {1, 2, 3}, b[] = {9, 8, 7, 6, 5};
    rf.Add(FourCC("ORSt"), 0, "Settings", a, 3);
    rf.Add(FourCC("PICT"), 1024, "", b, 5);
    rf.Add(FourCC("PICT"), 1025, "Moon pic", b, 2);
    return rf.Serialize();
}

bool Parses(const Bytes& f, ResourceFile& rf, std::string& error) { return rf.Parse(f.data(), f.size(), error); }
void ExpectRefused(const Bytes& f, const std::string& why) {
    ResourceFile rf;
    std::string err;
    EXPECT_FALSE(Parses(f, rf, err)) << why;
    EXPECT_NE(err.find(why), std::string::npos) << err;
    EXPECT_TRUE(rf.All().empty()) << why;
}

}  // namespace

TEST(ResourceFile, LayoutIsTheClassicForkAndReadsBack) {
    const Bytes f = TwoTypes();
    const uint32_t mapOff = GetBE32(&f[4]), dataLen = GetBE32(&f[8]);
    EXPECT_EQ(GetBE32(&f[0]), 256u);
    EXPECT_EQ(dataLen, (4 + 3) + (4 + 5) + (4 + 2));  // each item: a 4-byte length, then the bytes
    EXPECT_EQ(mapOff, 256 + dataLen);
    EXPECT_EQ(mapOff + GetBE32(&f[12]), f.size());
    EXPECT_EQ(Bytes(&f[256], &f[263]), (Bytes{0, 0, 0, 3, 1, 2, 3}));
    const uint8_t* map = &f[mapOff];
    EXPECT_TRUE(std::equal(map, map + 16, f.begin()));  // the map starts with a copy of the header
    const uint16_t tl = GetBE16(map + 24), nl = GetBE16(map + 26);
    EXPECT_EQ(tl, 28);
    EXPECT_EQ(GetBE16(map + tl), 1);  // two types, stored as count - 1
    const uint8_t* pict = map + tl + 2 + 8;
    EXPECT_EQ(GetBE32(pict), FourCC("PICT"));
    EXPECT_EQ(GetBE16(pict + 4), 1);
    const uint8_t* ref = map + tl + GetBE16(pict + 6);
    EXPECT_EQ(Bytes(ref, ref + 8), (Bytes{0x04, 0x00, 0xFF, 0xFF, 0, 0, 0, 7}));  // ID, no name, attributes, offset
    const uint8_t* name = map + nl + GetBE16(ref + 12 + 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "Moon pic");
    ResourceFile back;  // reading back: below, bare and wrapped
    std::string err;
    EXPECT_TRUE(Parses(ResourceFile().Serialize(), back, err) && back.All().empty()) << err;
}

TEST(ResourceFile, DamagedForksAreRefusedWholeAndSaySo) {
    const Bytes good = TwoTypes();
    const size_t m = GetBE32(&good[4]), types = m + 28, orst = types + GetBE16(&good[types + 2 + 6]),
                 pict = types + GetBE16(&good[types + 2 + 8 + 6]);
    const std::tuple<const char*, std::function<void(Bytes&)>> cases[] = {
        {"map lies outside", [](Bytes& f) { PutBE32(&f[4], uint32_t(f.size())); }},
        {"data lies outside", [](Bytes& f) { PutBE32(&f[8], 0xFFFFFFF0u); }},
        {"data and map overlap", [](Bytes& f) { PutBE32(&f[8], GetBE32(&f[8]) + 8); }},
        {"type list offset", [&](Bytes& f) { PutBE16(&f[m + 24], 0xFFF0); }},
        {"name list offset", [&](Bytes& f) { PutBE16(&f[m + 26], 0xFFF0); }},
        {"type count", [&](Bytes& f) { PutBE16(&f[types], 200); }},
        {"reference count", [&](Bytes& f) { PutBE16(&f[types + 2 + 4], 300); }},
        {"overlaps the type list", [&](Bytes& f) { PutBE16(&f[types + 2 + 6], 4); }},
        {"data offset out of range", [&](Bytes& f) { f[orst + 5] = 0x7F; }},
        {"runs past the data", [](Bytes& f) { PutBE32(&f[256], 0x10000); }},
        {"runs past the data", [](Bytes& f) { PutBE32(&f[256 + 16], 3); }},  // the last item
        {"duplicate resource", [&](Bytes& f) { PutBE16(&f[pict + 12], 1024); }},
        {"share data", [&](Bytes& f) { f[pict + 12 + 7] = 7; }},
        // Types sharing reference entries, or resources sharing data, would multiply a small file
        // into any number of resources.
        {"share reference entries", [&](Bytes& f) { PutBE16(&f[types + 2 + 8 + 6], GetBE16(&f[types + 2 + 6])); }},
    };
    for (const auto& [why, damage] : cases) {
        Bytes f = good;
        damage(f), ExpectRefused(f, why);
    }
    ResourceFile rf;
    std::string err;
    for (size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(rf.Parse(good.data(), n, err)) << "cut to " << n;
}

// A cut offset would point into the wrong resource: layouts whose offsets pass their fields are refused.
TEST(ResourceFile, OffsetsThatDoNotFitTheirFieldsAreRefusedBeforeWriting) {
    std::string err;
    Bytes out;
    ResourceFile big, named, many;
    const Bytes block((size_t(1) << 24) + 16, 0x5A);  // data offsets are 24 bits
    big.Add(FourCC("PICT"), 1024, "huge", block.data(), block.size());
    big.Add(FourCC("PICT"), 1025, "after", block.data(), 8);
    big.Add(FourCC("PICT"), 1026, "huge too", block.data(), block.size());
    EXPECT_FALSE(big.WriteToFile("/tmp", err));  // refused before the target (a folder) is looked at
    EXPECT_NE(err.find("24 bits"), std::string::npos) << err;
    // One huge item is laid out last: it starts below the limit and runs past it.
    big.Remove(FourCC("PICT"), 1026);
    ResourceFile back;
    ASSERT_TRUE(big.Serialize(out, err) && Parses(out, back, err)) << err;
    EXPECT_EQ(back.Get(FourCC("PICT"), 1024)->data.size(), block.size());
    EXPECT_EQ(back.Get(FourCC("PICT"), 1025)->data.size(), 8u);
    for (int i = 0; i < 300; ++i) named.Add(FourCC("STR "), int16_t(i), std::string(250, 'n'), nullptr, 0);
    for (int i = 0; i < 5500; ++i) many.Add(FourCC("AAAA"), int16_t(i), "", nullptr, 0);
    many.Add(FourCC("BBBB"), 1, "", nullptr, 0);  // its reference list would start past 16 bits
    for (const ResourceFile* rf : {&named, &many}) {
        EXPECT_FALSE(rf->Serialize(out, err));
        EXPECT_NE(err.find("16 bits"), std::string::npos) << err;
    }
}

namespace {

Bytes AppleDouble(const Bytes& fork, uint32_t entry = 2, uint32_t size = 0, uint16_t entries = 2) {
    Bytes f(82, 0);
    PutBE32(&f[0], 0x00051607);
    PutBE16(&f[24], entries);
    PutBE32(&f[26], 9);  // finder info, skipped
    PutBE32(&f[38], entry);
    PutBE32(&f[42], 82);
    PutBE32(&f[46], size ? size : uint32_t(fork.size()));
    f.insert(f.end(), fork.begin(), fork.end());
    return f;
}

Bytes MacBinary(const Bytes& fork, bool version3, size_t dataLen, bool badCrc = false, uint32_t size = 0) {
    Bytes f(128, 0);
    f[1] = 4;
    std::copy_n("Univ", 4, &f[2]);
    PutBE32(&f[83], uint32_t(dataLen));
    PutBE32(&f[87], size ? size : uint32_t(fork.size()));
    if (version3) PutBE32(&f[102], FourCC("mBIN"));
    f[122] = f[123] = 129;
    PutBE16(&f[124], uint16_t(MacBinaryCrc(f.data(), 124) ^ (badCrc ? 0xFFFF : 0)));
    f.resize(128 + ((dataLen + 127) & ~size_t(127)), 0xAA);  // the data fork, padded to 128
    f.insert(f.end(), fork.begin(), fork.end());
    f.resize(f.size() + 50, 0);
    return f;
}

}  // namespace

TEST(ResourceFile, ForksBareOrWrappedInAppleDoubleOrMacBinaryReadBack) {
    const Bytes fork = TwoTypes();
    for (const Bytes& f : {fork, AppleDouble(fork), MacBinary(fork, false, 0), MacBinary(fork, false, 200),
                           MacBinary(fork, true, 5), MacBinary(fork, true, 300, true)}) {
        ResourceFile back;
        std::string err;
        ASSERT_TRUE(Parses(f, back, err)) << err;
        ASSERT_EQ(back.All().size(), 3u);
        EXPECT_EQ(back.Get(FourCC("ORSt"), 0)->name + back.Get(FourCC("PICT"), 1025)->name, "SettingsMoon pic");
        EXPECT_EQ(back.Get(FourCC("ORSt"), 0)->data, (Bytes{1, 2, 3}));
        EXPECT_EQ(back.Get(FourCC("PICT"), 1025)->data, (Bytes{9, 8}));
        EXPECT_EQ(back.GetFirstOfType(FourCC("PICT"))->id, 1024);
    }
    const std::pair<Bytes, const char*> broken[] = {
        {AppleDouble(fork, 2, 0x100000), "AppleDouble resource fork lies outside"},
        {AppleDouble(fork, 1), "AppleDouble file has no resource fork"},
        {AppleDouble(fork, 2, 0, 5000), "AppleDouble entry table"},
        {MacBinary(fork, true, 0, false, 0x7FFFFFFF), "MacBinary resource fork runs past"},
        {MacBinary(fork, false, 0, true), "resource data lies outside"}};  // a bad CRC without mBIN: no MacBinary
    for (const auto& [f, why] : broken) ExpectRefused(f, why);
}
