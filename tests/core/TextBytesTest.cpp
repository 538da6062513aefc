// Names of any bytes come out as valid UTF-8, never longer than their record,
// and names going in are cut between characters.
#include <gtest/gtest.h>

#include <memory>

#include "core/Strings.h"
#include "core/TextBytes.h"

namespace {
std::string Shown(const std::string& bytes, size_t room = 255) {
    return DisplayText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), room);
}
bool Valid(const std::string& s) { return IsValidUtf8(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
}  // namespace

TEST(TextBytes, Utf8IsKeptAndOtherBytesAreRoman) {
    EXPECT_EQ(Shown("Gany\u00e9de \u2013 \u6728\u661f"), "Gany\u00e9de \u2013 \u6728\u661f");
    // Mac OS Roman: 0x8E e-acute, 0xA5 bullet, 0xDB euro, 0xF0 the Apple logo (private use).
    EXPECT_EQ(Shown("Caf\x8E \xA5 \xDB"), "Caf\u00e9 \u2022 \u20ac");
    EXPECT_EQ(Shown("\xF0"), "\uF8FF");
    // Overlong forms, surrogates and stray continuation bytes are not UTF-8.
    EXPECT_EQ(Shown("\xC0\xAF"), "\u00bf\u00d8");
    EXPECT_FALSE(Valid("\xED\xA0\x80"));
    EXPECT_FALSE(Valid("\xF4\x90\x80\x80"));
    EXPECT_TRUE(Valid("\xF4\x8F\xBF\xBF"));
    // Control characters never reach a label or a menu.
    EXPECT_EQ(Shown(std::string("a\0b\nc", 5)), "a\uFFFDb\uFFFDc");
    for (int b = 0; b < 256; ++b) EXPECT_TRUE(Valid(Shown(std::string(1, char(b))))) << b;
}

TEST(TextBytes, ACharacterCutByAnEarlierWriterIsDropped) {
    // 29 letters and the first two bytes of a three-byte character fill 31 bytes.
    const std::string cut = std::string(29, 'x') + "\xE2\x80";
    EXPECT_EQ(Shown(cut, 31), std::string(29, 'x'));
    // Not at the end of the room: the same bytes are Roman.
    EXPECT_EQ(Shown(cut, 255), std::string(29, 'x') + "\u201a\u00c4");
}

TEST(CountedStrings, NamesAreCutBetweenCharacters) {
    Str31 name;
    CToPStr31(name, std::string(30, 'a') + "\u00e9");  // 32 bytes: the e-acute does not fit
    EXPECT_EQ(name[0], 30);
    EXPECT_EQ(PToCStr(name), std::string(30, 'a'));
    CToPStr31(name, std::string(29, 'a') + "\u00e9");
    EXPECT_EQ(name[0], 31);
    EXPECT_EQ(PToCStr(name), std::string(29, 'a') + "\u00e9");
    Str255 long255;
    CToPStr(long255, std::string(254, 'b') + "\u20ac");
    EXPECT_EQ(long255[0], 254);
}

// A name record at the very end of a block: a length byte of 255 must not read past it.
TEST(CountedStrings, ALengthBytePastTheRecordReadsOnlyTheRecord) {
    struct Record {
        Str31 name;
    };
    auto r = std::make_unique<Record>();
    r->name[0] = 255;
    for (int i = 1; i < 32; ++i) r->name[i] = uint8_t('A' + i % 26);
    const std::string shown = PToCStr(r->name);
    EXPECT_EQ(shown.size(), 31u);
    EXPECT_EQ(shown.substr(0, 3), "BCD");
}
