// Numbers read and written by the logic do not follow the user's locale:
// Qt sets it from the environment, and under de_DE the C library would write
// "2,5" and stop reading "2.5" at the point.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "core/Units.h"

namespace {

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
            GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/lib/setup.sh generates it)";
        // The locale really uses a decimal comma, or this test proves nothing.
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        ASSERT_STREQ(probe, "2,5");
    }
    void TearDown() override { std::setlocale(LC_ALL, saved.c_str()); }
    std::string saved;
};

}  // namespace

TEST_F(GermanLocale, FixedTextUsesAPoint) {
    EXPECT_EQ(MyRealFixed2String(2.5, 12), "2.500000000000");
    EXPECT_EQ(MyRealFixed2String(-10.0, 1), "-10.0");
    EXPECT_EQ(MyRealFixed2String(384400000.0, 0), "384400000");
}

TEST_F(GermanLocale, TypedNumbersAreReadWhole) {
    EXPECT_DOUBLE_EQ(String2MyReal("2.5e3"), 2500.0);  // de_DE strtod read 2
    EXPECT_DOUBLE_EQ(String2MyReal("-0.125"), -0.125);
    EXPECT_DOUBLE_EQ(String2MyReal("+7.5x"), 7.5);
    EXPECT_DOUBLE_EQ(String2MyReal("2,5"), 2.0);  // a comma ends the number, in any locale
    EXPECT_NEAR(StringsToMantExp("6.672", "-11"), 6.672e-11, 1e-24);
}

TEST_F(GermanLocale, MantissaAndExponentRoundTrip) {
    // The G dialog shows G and reads it back: OK must not turn 6.672e-11 into 6e-11.
    std::string mantissa, exponent;
    ASSERT_TRUE(MantExpToStrings(6.672e-11, mantissa, exponent));
    EXPECT_EQ(mantissa.substr(0, 5), "6.672");
    EXPECT_NEAR(StringsToMantExp(mantissa, exponent), 6.672e-11, 1e-22);
}

TEST_F(GermanLocale, LabelsUseAPoint) {
    EXPECT_EQ(MyRealToSciNotString(150.0), "1.5e+2");
    EXPECT_EQ(MyRealToSciNotString(-0.05), "-0.5e-1");
}

TEST(Units, ParsingKeepsItsRulesWithoutTheCLibrary) {
    EXPECT_TRUE(std::isnan(String2MyReal("")));
    EXPECT_TRUE(std::isnan(String2MyReal("-")));
    EXPECT_TRUE(std::isnan(String2MyReal(".e5")));
    EXPECT_DOUBLE_EQ(String2MyReal("5."), 5.0);
    EXPECT_DOUBLE_EQ(String2MyReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(String2MyReal("3e"), 3.0);     // an exponent without digits is not part of the number
    EXPECT_DOUBLE_EQ(String2MyReal("3e+x"), 3.0);
    EXPECT_EQ(String2MyReal("1e400"), INFINITY);    // beyond the doubles, as the C library reads it
    EXPECT_EQ(String2MyReal("-1e400"), -INFINITY);
    EXPECT_EQ(String2MyReal("1e-400"), 0.0);
    EXPECT_EQ(MyRealFixed2String(1e300, 2).size(), 304u);  // 301 digits, the point and two decimals
}
