// Star colours against published temperatures and the black-body locus, the reader of the
// kstars-data catalogue, and the converter's star data file from both catalogues.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include "tools/bsc2stars/KStarsCatalogue.h"
#include "tools/bsc2stars/StarColour.h"

namespace {
// Lines as the catalogue has them: Sirius, Vega, a red supergiant and a blue giant.
const char* kSirius = "064508.92 -164258.0 -000546.0-001223.100379.2 -1.4400.01A0 1            , alp CMa, Sirius";
const char* kVega = "183656.34 +384701.3 +000201.0+000287.500128.9 00.03-0.00A0 0            , alp Lyr, Vega";
const char* kBetelgeuse = "055510.31 +072425.4 +000027.5+000011.300007.6 00.4501.85M2 1            , alp Ori, Betelgeuse";
const char* kSpica = "132511.57 -110940.8 -000042.5-000031.700012.4 00.98-0.23B1 0 0.04   4.01, alp Vir, Spica";

TEST(StarColour, TemperaturesAndBlackBodyColoursFollowTheColourIndex) {
    EXPECT_NEAR(TemperatureFromBV(0.65), 5772.0, 100.0);  // the Sun: 5772 K (IAU 2015 nominal)
    EXPECT_GT(TemperatureFromBV(0.0), 9000.0);            // A0 stars such as Vega, about 9600 K
    EXPECT_LT(TemperatureFromBV(1.85), 3700.0);           // M2 supergiants such as Betelgeuse, about 3600 K
    for (double bv = -0.4; bv < 2.0; bv += 0.05) EXPECT_GT(TemperatureFromBV(bv), TemperatureFromBV(bv + 0.05)) << bv;
    const StarRGB cool = BlackBodyRGB(3000), sunlike = BlackBodyRGB(5800), white = BlackBodyRGB(6500), hot = BlackBodyRGB(20000);
    EXPECT_TRUE(std::fabs(cool.r - 1) < 1e-12 && cool.g > cool.b && cool.b < 0.7);
    EXPECT_TRUE(std::fabs(sunlike.r - 1) < 1e-12 && sunlike.b > 0.8);  // white with a touch of yellow, not orange
    EXPECT_GT(std::min({white.r, white.g, white.b}), 0.93);  // near the D65 white point
    EXPECT_TRUE(std::fabs(hot.b - 1) < 1e-12 && hot.r < 0.9);
    for (double t = 2000; t < 30000; t += 500)
        EXPECT_GE(BlackBodyRGB(t).r / BlackBodyRGB(t).b, BlackBodyRGB(t + 500).r / BlackBodyRGB(t + 500).b) << t;
    uint16_t bright[3], faint[3];
    StarColour16(1.0, 0.65, bright);
    StarColour16(3.5, 0.65, faint);
    EXPECT_NEAR(double(faint[0]) / bright[0], std::pow(10.0, -0.4 * 2.5), 0.01);  // 2.5 magnitudes: a tenth
}

TEST(KStarsCatalogue, ReadsPositionMagnitudeAndSignedColourIndexAndRefusesDamage) {
    CatalogueStar s;
    ASSERT_TRUE(ParseKStarsLine(kVega, s));
    EXPECT_NEAR(s.raHours, 18 + 36 / 60.0 + 56.34 / 3600.0, 1e-9);
    EXPECT_NEAR(s.decDegrees, 38 + 47 / 60.0 + 1.3 / 3600.0, 1e-9);
    EXPECT_TRUE(s.magnitude == 0.03 && s.hasColour);
    ASSERT_TRUE(ParseKStarsLine(kSirius, s));
    EXPECT_NEAR(s.decDegrees, -(16 + 42 / 60.0 + 58.0 / 3600.0), 1e-9);
    EXPECT_TRUE(s.magnitude == -1.44 && s.bMinusV == 0.01);
    ASSERT_TRUE(ParseKStarsLine(kSpica, s));
    EXPECT_DOUBLE_EQ(s.bMinusV, -0.23);
    for (const std::string& bad : {std::string("#  RA        DEC      pmRA"), std::string(), std::string(kVega).substr(0, 40),
                                   std::string("186056.34 +384701.3 +000201.0+000287.500128.9 00.03-0.00A0"),   // 60 minutes
                                   std::string("183656.34 +384701.3 +000201.0+000287.500128.9 xx.03-0.00A0")})  // no magnitude
        EXPECT_FALSE(ParseKStarsLine(bad, s)) << bad;
    ASSERT_TRUE(ParseKStarsLine("183656.34 +384701.3 +000201.0+000287.500128.9 00.03     A0", s));
    EXPECT_FALSE(s.hasColour);
}

// Runs the converter with `args` on the catalogue text; its 32-byte big-endian records: RA, Dec,
// magnitude, then 16-bit r, g, b.
std::vector<std::array<double, 6>> Convert(const std::string& args, const std::string& catalogue) {
    const std::string base = ::testing::TempDir() + "stars-" + std::to_string(getpid()), in = base + ".txt", out = base + ".stars";
    std::ofstream(in) << catalogue;
    EXPECT_EQ(std::system((std::string(BSC2STARS_BINARY) + " " + args + " " + in + " " + out + " >/dev/null").c_str()), 0);
    std::ifstream file(out, std::ios::binary);
    std::vector<std::array<double, 6>> records;
    for (unsigned char b[32]; file.read(reinterpret_cast<char*>(b), 32);) {
        std::array<double, 6> r;
        for (int f = 0; f < 6; ++f) {
            uint64_t v = 0;
            for (int k = 0; k < (f < 3 ? 8 : 2); ++k) v = (v << 8) | b[f < 3 ? 8 * f + k : 24 + 2 * (f - 3) + k];
            if (f < 3) std::memcpy(&r[f], &v, 8);
            else r[f] = double(v);
        }
        records.push_back(r);
    }
    std::remove(in.c_str());
    std::remove(out.c_str());
    return records;
}

TEST(Bsc2Stars, WritesColouredBigEndianRecordsAndCutsAtTheMagnitude) {
    const auto r = Convert("--kstars --max-magnitude 6.5", std::string("# comment\n") + kSirius + "\n" + kVega + "\n" + kBetelgeuse +
                                                               "\n" + kSpica + "\n183656.34 +384701.3 +000201.0+000287.500128.9 07.03-0.00A0 0\n");
    ASSERT_EQ(r.size(), 4u) << "the magnitude 7 star is left out";
    EXPECT_NEAR(r[0][0], 6 + 45 / 60.0 + 8.92 / 3600.0, 1e-9);
    EXPECT_DOUBLE_EQ(r[0][2], -1.44);
    EXPECT_TRUE(r[2][3] > r[2][4] && r[2][4] > r[2][5]) << "Betelgeuse is orange-red";
    EXPECT_GT(r[3][5], r[3][3]) << "Spica is blue";
    // The Bright Star Catalogue of xplanet gives Dec, RA and magnitude, and no colour: grey stars.
    const auto bsc = Convert("", "# comment\n-16.7161  6.7525 -1.46 \"  9Alp CMa\" 2491  48915 151881\n");
    EXPECT_EQ(bsc, (std::vector<std::array<double, 6>>{{6.7525, -16.7161, -1.46, 65535, 65535, 65535}}));
}
}  // namespace
