#include <gtest/gtest.h>

#include <cmath>

#include "core/Strings.h"
#include "core/Units.h"

namespace {
TEST(Units, DistanceCycleReturnsToMetres) {
    MyReal f = 1.0;
    Str255 label;
    const MyReal expected[] = {1000.0, 1609.344, 0.01, 0.0254, 0.3048, 1.0};
    for (MyReal e : expected) {
        RotateDistanceUnit(&f, label);
        EXPECT_EQ(f, e);
        EXPECT_GT(label[0], 0);
    }
    EXPECT_EQ(PToCStr(label), GetIndString(kDistanceUnitList, 1));
    f = 2.0;
    RotateTimeUnit(&f, label);
    EXPECT_EQ(f, 1.0);
    f = 1.0;
    for (int n = 0; n < 4; ++n) RotateInvTimeUnit(&f, label);
    EXPECT_EQ(f, 1.0);
    RotateMassUnit(nullptr, label);  // ignored
}

TEST(Units, MantissaExponentText) {
    std::string m, e;
    ASSERT_TRUE(MantExpToStrings(10 - 1e-14, m, e));
    // the carried "10.000000000000" is rewritten in place, keeping its length
    EXPECT_EQ(m, "1.0000000000000");
    EXPECT_EQ(e, "1");
    MantExpToStrings(-5, m, e);
    EXPECT_EQ(m, "-5.000000000000");
    EXPECT_EQ(e, "0");
    MantExpToStrings(0.00123, m, e);
    EXPECT_EQ(m, "1.230000000000");
    EXPECT_EQ(e, "-3");
    EXPECT_FALSE(MantExpToStrings(NAN, m, e));
    EXPECT_NEAR(StringsToMantExp("1.5", "11"), 1.5e11, 1e-2);
    EXPECT_TRUE(std::isnan(StringsToMantExp("x", "1")));
}

TEST(Units, SciNotExamples) {
    EXPECT_EQ(MyRealToSciNotString(150), "1.5e+2");
    EXPECT_EQ(MyRealToSciNotString(99.97), "1.0e+2");
    EXPECT_EQ(MyRealToSciNotString(5), "5.0e+0");
    EXPECT_EQ(MyRealToSciNotString(0.5), "0.5e+0");
    EXPECT_EQ(MyRealToSciNotString(0.05), "0.5e-1");
    EXPECT_EQ(MyRealToSciNotString(0), "0.0e+0");
    EXPECT_EQ(MyRealToSciNotString(-150), "-1.5e+2");
    EXPECT_EQ(MyRealToSciNotString(0.099), "1.0e-1");
    // Values that have no exponent are named, not formatted.
    EXPECT_EQ(MyRealToSciNotString(NAN), "nan");
    EXPECT_EQ(MyRealToSciNotString(-INFINITY), "-inf");
    uint8_t pascal[64] = {};
    MyRealToSciNotString(INFINITY, pascal);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pascal + 1), pascal[0]), "inf");
}

TEST(Units, FixedTextParsingAndSpherical) {
    EXPECT_EQ(MyRealFixed2String(2.5, 12), "2.500000000000");
    EXPECT_EQ(MyRealFixed2String(10, 1), "10.0");
    EXPECT_DOUBLE_EQ(String2MyReal("12.5e3xyz"), 12500.0);
    EXPECT_DOUBLE_EQ(String2MyReal("-3e"), -3.0);
    EXPECT_TRUE(std::isnan(String2MyReal("abc")));
    EXPECT_TRUE(std::isnan(String2MyReal(".")));
    std::string t[4] = {"90", "123", "2", "3"};
    MyReal v[3];
    EXPECT_EQ(StringsToSpherical(t, v), 1);
    EXPECT_NEAR(v[2], 2000, 1e-9);
    EXPECT_NEAR(v[0], 0, 1e-9);
    MyReal w[3] = {0, 5, 0};
    SphericalToStrings(w, t);
    EXPECT_EQ(t[0], "0.000000000000");
    EXPECT_EQ(t[1], "90.000000000000");
}

TEST(Strings, ConCatAliasesAndCutsAt255) {
    Str255 a, b;
    CToPStr(a, "Earth");
    CToPStr(b, " orbit");
    ConCat(a, b, a);
    EXPECT_EQ(PToCStr(a), "Earth orbit");
    CToPStr(a, std::string(200, 'x'));
    CToPStr(b, std::string(100, 'y'));
    ConCat(a, b, a);
    EXPECT_EQ(a[0], 255);
    EXPECT_EQ(GetIndString(9999, 1), "");
}
}  // namespace
