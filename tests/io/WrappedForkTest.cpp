#include <gtest/gtest.h>

#include <cstring>

#include "io/ByteOrder.h"
#include "io/ResourceFile.h"

namespace {

std::vector<uint8_t> SampleFork() {
    ResourceFile rf;
    const uint8_t b[] = {5, 6, 7};
    rf.Add(FourCC("RgDt"), 1024, "Ring of Saturn", b, 3);
    return rf.Serialize();
}

std::vector<uint8_t> AppleDouble(const std::vector<uint8_t>& fork) {
    std::vector<uint8_t> f(26 + 24, 0);
    PutBE32(&f[0], 0x00051607);
    PutBE32(&f[4], 0x00020000);
    PutBE16(&f[24], 2);
    PutBE32(&f[26], 9);  // finder info entry, ignored
    PutBE32(&f[30], 50);
    PutBE32(&f[34], 32);
    PutBE32(&f[38], 2);
    PutBE32(&f[42], 82);
    PutBE32(&f[46], uint32_t(fork.size()));
    f.resize(82, 0);
    f.insert(f.end(), fork.begin(), fork.end());
    return f;
}

std::vector<uint8_t> MacBinary(const std::vector<uint8_t>& fork, bool version3, size_t dataLen) {
    std::vector<uint8_t> f(128, 0);
    f[1] = 4;
    std::memcpy(&f[2], "Univ", 4);
    PutBE32(&f[65], FourCC("ORSt"));
    PutBE32(&f[69], FourCC("qxOR"));
    PutBE32(&f[83], uint32_t(dataLen));
    PutBE32(&f[87], uint32_t(fork.size()));
    if (version3) PutBE32(&f[102], FourCC("mBIN"));
    f[122] = version3 ? 130 : 129;
    f[123] = 129;
    PutBE16(&f[124], MacBinaryCrc(f.data(), 124));
    f.resize(128 + ((dataLen + 127) & ~size_t(127)), 0xAA);
    f.insert(f.end(), fork.begin(), fork.end());
    f.resize(f.size() + 50, 0);
    return f;
}

void ExpectSample(const std::vector<uint8_t>& file) {
    ResourceFile rf;
    std::string err;
    ASSERT_TRUE(rf.Parse(file.data(), file.size(), err)) << err;
    ASSERT_NE(rf.Get(FourCC("RgDt"), 1024), nullptr);
    EXPECT_EQ(rf.Get(FourCC("RgDt"), 1024)->name, "Ring of Saturn");
    EXPECT_EQ(rf.Get(FourCC("RgDt"), 1024)->data, (std::vector<uint8_t>{5, 6, 7}));
}

}  // namespace

TEST(WrappedFork, ReadsAppleDoubleAndMacBinary) {
    ExpectSample(AppleDouble(SampleFork()));
    ExpectSample(MacBinary(SampleFork(), false, 0));
    ExpectSample(MacBinary(SampleFork(), false, 200));  // data fork padded to 128
    ExpectSample(MacBinary(SampleFork(), true, 5));
}

TEST(WrappedFork, RejectsBrokenWrappers) {
    std::string err;
    ResourceFile rf;
    auto ad = AppleDouble(SampleFork());
    PutBE32(&ad[46], 0x100000);  // fork longer than the file
    EXPECT_FALSE(rf.Parse(ad.data(), ad.size(), err));
    EXPECT_NE(err.find("AppleDouble"), std::string::npos);

    auto noFork = AppleDouble(SampleFork());
    PutBE32(&noFork[38], 1);  // only a data fork entry
    EXPECT_FALSE(rf.Parse(noFork.data(), noFork.size(), err));

    auto adShort = AppleDouble(SampleFork());
    PutBE16(&adShort[24], 5000);
    EXPECT_FALSE(rf.Parse(adShort.data(), adShort.size(), err));

    auto mb = MacBinary(SampleFork(), true, 0);
    PutBE32(&mb[87], 0x7FFFFFFF);
    EXPECT_FALSE(rf.Parse(mb.data(), mb.size(), err));
    EXPECT_NE(err.find("MacBinary"), std::string::npos);

    // A bad CRC without the version 3 signature is not MacBinary; the bytes
    // then fail as a bare fork instead of being misread.
    auto mb2 = MacBinary(SampleFork(), false, 0);
    mb2[124] ^= 0xFF;
    EXPECT_FALSE(rf.Parse(mb2.data(), mb2.size(), err));
}
