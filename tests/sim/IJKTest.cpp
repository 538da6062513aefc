#include <gtest/gtest.h>

#include <cmath>

#include "render/IJK.h"

namespace {
IJK Identity() { IJK f; SetIdentityIJK(f); return f; }

double Len(const int32_t* v) { return std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]); }

TEST(IJK, QuarterTurnsFollowTheAxisConventions) {
    IJK f = Identity();
    RotateIJKAboutK(f, 0.0);
    EXPECT_EQ(f.i[0], 65536);
    EXPECT_EQ(f.j[1], 65536);
    RotateIJKAboutK(f, M_PI / 2);
    EXPECT_EQ(f.i[0], 0); EXPECT_EQ(f.i[1], 65536); EXPECT_EQ(f.i[2], 0);
    EXPECT_EQ(f.j[0], -65536); EXPECT_EQ(f.j[1], 0);
    EXPECT_EQ(f.k[2], 65536);

    IJK z = Identity();
    RotateIJKAboutZ(z, M_PI / 2);
    EXPECT_EQ(z.i[0], 0); EXPECT_EQ(z.i[1], 65536);  // x turns toward y
    EXPECT_EQ(z.j[0], -65536);

    IJK a = Identity();
    RotateIJKAboutJ(a, M_PI / 2);  // new i = -k, new k = i
    EXPECT_EQ(a.i[2], -65536);
    EXPECT_EQ(a.k[0], 65536);
    IJK b = Identity();
    RotateIJKAboutI(b, M_PI / 2);  // new k = -j, new j = k
    EXPECT_EQ(b.k[1], -65536);
    EXPECT_EQ(b.j[2], 65536);
}

TEST(IJK, OrthonormalizeKeepsKDirectionAndUnitLengths) {
    IJK f = Identity();
    f.j[0] = 9000;  // drifted
    f.k[0] = 3000; f.k[2] = 60000;
    double kdir0 = f.k[0] / Len(f.k), kdir2 = f.k[2] / Len(f.k);
    OrthonormalizeIJK(f);
    EXPECT_NEAR(f.k[0] / Len(f.k), kdir0, 2e-5);
    EXPECT_NEAR(f.k[2] / Len(f.k), kdir2, 2e-5);
    for (const int32_t* v : {f.i, f.j, f.k}) {
        EXPECT_LE(Len(v), 65536.0 + 1e-9);
        EXPECT_GE(Len(v), 65536.0 - 3);
    }
    double ij = double(f.i[0]) * f.j[0] + double(f.i[1]) * f.j[1] + double(f.i[2]) * f.j[2];
    EXPECT_LT(std::fabs(ij) / (65536.0 * 65536.0), 1e-4);
}

TEST(IJK, BuildBodyAxesAndRelativeNestedRoundTrip) {
    IJK f;
    BuildBodyAxes(f, 0.0, 0.0, 0.0);
    EXPECT_EQ(f.i[0], 65536); EXPECT_EQ(f.j[1], 65536); EXPECT_EQ(f.k[2], 65536);

    IJK a, b;
    BuildBodyAxes(a, 0.7, 1.2, 0.4);
    BuildBodyAxes(b, 1.9, -0.3, 2.0);
    IJK self;
    RelativeIJK(&self, &a, &a);
    EXPECT_NEAR(self.i[0], 65536, 4); EXPECT_NEAR(self.j[1], 65536, 4); EXPECT_NEAR(self.k[2], 65536, 4);
    EXPECT_NEAR(self.i[1], 0, 4);
    IJK rel, back;
    RelativeIJK(&rel, &a, &b);
    NestedIJK(&back, &rel, &b);
    for (int n = 0; n < 3; ++n) {
        EXPECT_NEAR(back.i[n], a.i[n], 8);
        EXPECT_NEAR(back.k[n], a.k[n], 8);
    }
    // k of a tilted axis points where the angles say
    EXPECT_NEAR(a.k[2] / 65536.0, std::cos(0.7), 1e-4);
    EXPECT_NEAR(a.k[1] / 65536.0, std::sin(0.7) * std::sin(1.2), 1e-4);
}

TEST(IJK, NullArgumentsLeaveOutputUntouched) {
    IJK out{{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    IJK a = Identity();
    RelativeIJK(&out, &a, nullptr);
    NestedIJK(&out, nullptr, &a);
    double v[3] = {1, 2, 3};
    LoadIJKWithVects(&out, v, nullptr, v);
    EXPECT_EQ(out.i[0], 7);
    double o[3] = {5, 5, 5};
    LocalIJKVectToGlobal(o, v, nullptr);
    EXPECT_EQ(o[0], 5);
    double c[3] = {1, 0, 0}, d[3] = {0, 1, 0};
    Cross(d, c, d);  // out aliases b
    EXPECT_EQ(d[0], 0); EXPECT_EQ(d[1], 0); EXPECT_EQ(d[2], 1);
}
}  // namespace

namespace {
// A NaN turn must not reach an integer conversion (undefined behaviour; on x86 it yields
// INT32_MIN, a frame 32768 times too long): the components come out as zero instead.
TEST(IJKConversions, NonFiniteTurnGivesZeroComponents) {
    IJK f{{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFixedOne}};
    RotateIJKAboutK(f, std::nan(""));
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(f.i[n], 0) << n;
        EXPECT_EQ(f.j[n], 0) << n;
    }
    EXPECT_EQ(f.k[2], kFixedOne);
}
}  // namespace
