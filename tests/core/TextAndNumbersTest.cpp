// Display units, numbers as text in any locale and byte-safe names.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "core/Strings.h"
#include "core/TextBytes.h"
#include "core/Units.h"

namespace {

TEST(Units, EachCycleStepsThroughItsUnitsAndBackToSI) {
    // Factors to SI from NIST SP 811, appendix B.
    const std::tuple<void (*)(MyReal*, uint8_t*), std::vector<double>, std::vector<std::string>> cycles[] = {
        {RotateDistanceUnit, {1, 1000, 1609.344, 0.01, 0.0254, 0.3048}, {"m", "km", "mi", "cm", "in", "ft"}},
        {RotateTimeUnit, {1, 60, 3600, 86400}, {"s", "min", "h", "days"}},
        {RotateMassUnit, {1, 0.001, 0.45359237}, {"kg", "g", "lb"}},
        {RotateInvTimeUnit, {1, 1 / 60.0, 1 / 3600.0, 1 / 86400.0}, {"/s", "/min", "/h", "/day"}},
        {RotateForceUnit, {1, 4.4482216, 1e-5}, {"N", "lbf", "dyn"}}};
    for (const auto& [rotate, factors, labels] : cycles) {
        MyReal f = 1;
        Str255 label;
        for (size_t k = 1; k <= factors.size(); ++k) {
            rotate(&f, label);
            EXPECT_NEAR(f, factors[k % factors.size()], f * 1e-6) << labels[0] << " step " << k;
            EXPECT_EQ(PToCStr(label), labels[k % factors.size()]);
        }
        f = 2;  // a factor not in the cycle starts it over
        rotate(&f, label);
        EXPECT_EQ(f, 1.0);
    }
}

// Under de_DE the C library would write "2,5" and stop reading "2.5" at the point.
struct Numbers : ::testing::TestWithParam<const char*> {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    void SetUp() override {
        if (!std::setlocale(LC_ALL, GetParam())) GTEST_SKIP() << GetParam() << " is not installed";
        char probe[8];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        ASSERT_STREQ(probe, std::string(GetParam()) == "C" ? "2.5" : "2,5");
    }
    void TearDown() override { std::setlocale(LC_ALL, saved.c_str()); }
};

TEST_P(Numbers, AreReadAndWrittenWithAPoint) {
    const std::pair<double, const char*> sci[] = {{150, "1.5e+2"}, {99.97, "1.0e+2"}, {-99.97, "-1.0e+2"},
        {5, "5.0e+0"}, {0.5, "0.5e+0"}, {-0.05, "-0.5e-1"}, {0, "0.0e+0"}, {0.099, "1.0e-1"}, {NAN, "nan"},
        {-INFINITY, "-inf"}, {INFINITY, "inf"}};
    for (const auto& [x, text] : sci) {
        uint8_t counted[64] = {};
        MyRealToSciNotString(x, counted);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(counted + 1), counted[0]), text);
    }
    EXPECT_EQ(MyRealFixed2String(2.5, 12) + MyRealFixed2String(-10.0, 1), "2.500000000000-10.0");
    EXPECT_EQ(MyRealFixed2String(1e300, 2).size(), 304u);  // 301 digits, the point and two decimals
    // The longest number at the start; an exponent without digits is not part of it.
    const std::pair<const char*, double> read[] = {{"12.5e3xyz", 12500}, {"-3e", -3}, {"+7.5x", 7.5}, {"2,5", 2},
        {"5.", 5}, {".5", 0.5}, {"3e+x", 3}, {"1e400", INFINITY}, {"-1e400", -INFINITY}, {"1e-400", 0}};
    for (const auto& [text, value] : read) EXPECT_EQ(String2MyReal(text), value) << text;
    for (const char* text : {"abc", ".", "", "-", ".e5"}) EXPECT_TRUE(std::isnan(String2MyReal(text))) << text;
    std::string m, e;
    EXPECT_EQ(MantExpToStrings(10 - 1e-14, m, e) ? m + " " + e : "", "1.0000000000000 1");
    EXPECT_FALSE(MantExpToStrings(NAN, m, e));
    MantExpToStrings(6.672e-11, m, e);  // the G dialog reads back what it showed
    EXPECT_NEAR(StringsToMantExp(m, e), 6.672e-11, 1e-22);
}
INSTANTIATE_TEST_SUITE_P(Locales, Numbers, ::testing::Values("C", "de_DE.UTF-8"));

std::string Shown(const std::string& bytes, size_t room = 255) {
    return DisplayText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), room);
}
bool Valid(const std::string& s) { return IsValidUtf8(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

TEST(Text, NamesOfAnyBytesShowAsUtf8AndAreCutBetweenCharacters) {
    EXPECT_EQ(Shown("Gany\u00e9de \u2013 \u6728\u661f"), "Gany\u00e9de \u2013 \u6728\u661f");
    // Mac OS Roman (Apple's ROMAN.TXT): e-acute, bullet, euro, the Apple logo; overlong forms,
    // surrogates and code points beyond U+10FFFF are not UTF-8; no control characters.
    EXPECT_EQ(Shown("Caf\x8E \xA5 \xDB \xF0 \xC0\xAF"), "Caf\u00e9 \u2022 \u20ac \uF8FF \u00bf\u00d8");
    EXPECT_FALSE(Valid("\xED\xA0\x80") || Valid("\xF4\x90\x80\x80"));
    EXPECT_TRUE(Valid("\xF4\x8F\xBF\xBF"));
    EXPECT_EQ(Shown(std::string("a\0b\nc", 5)), "a\uFFFDb\uFFFDc");
    for (int b = 0; b < 256; ++b) EXPECT_TRUE(Valid(Shown(std::string(1, char(b))))) << b;
    const std::string cut = std::string(29, 'x') + "\xE2\x80";  // cut by an earlier writer at the end
    EXPECT_EQ(Shown(cut, 31) + "|" + Shown(cut), std::string(29, 'x') + "|" + std::string(29, 'x') + "\u201a\u00c4");
    Str31 name;
    CToPStr31(name, std::string(30, 'a') + "\u00e9");  // 32 bytes: the e-acute does not fit
    EXPECT_EQ(PToCStr(name), std::string(30, 'a'));
}

}  // namespace
