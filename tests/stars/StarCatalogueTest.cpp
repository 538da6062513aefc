// Star colours against published temperatures and the black-body locus, the
// reader of the kstars-data catalogue, and the converter's star data file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/bsc2stars/KStarsCatalogue.h"
#include "tools/bsc2stars/StarColour.h"

namespace {

// Two lines as the catalogue has them (Sirius and Vega), and an M giant.
const char* kSirius = "064508.92 -164258.0 -000546.0-001223.100379.2 -1.4400.01A0 1            , alp CMa, Sirius";
const char* kVega = "183656.34 +384701.3 +000201.0+000287.500128.9 00.03-0.00A0 0            , alp Lyr, Vega";
const char* kRedGiant = "055510.31 +072425.4 +000027.5+000011.300007.6 00.4501.85M2 1            , alp Ori, Betelgeuse";

// The Sun: B-V 0.65, effective temperature 5772 K (IAU 2015 nominal value).
TEST(StarColour, SunsColourIndexGivesTheSunsTemperature) { EXPECT_NEAR(TemperatureFromBV(0.65), 5772.0, 100.0); }

// Ballesteros' formula: hotter for bluer (smaller) indices, all the way along.
TEST(StarColour, TemperatureFallsAsTheIndexRises) {
    double previous = INFINITY;
    for (double bv = -0.4; bv <= 2.0; bv += 0.05) {
        const double t = TemperatureFromBV(bv);
        EXPECT_LT(t, previous) << bv;
        previous = t;
    }
    EXPECT_GT(TemperatureFromBV(0.0), 9000.0);  // A0 stars such as Vega, about 9600 K
    EXPECT_LT(TemperatureFromBV(1.85), 3700.0); // M2 supergiants such as Betelgeuse, about 3600 K
}

TEST(StarColour, BlackBodiesRunFromRedThroughWhiteToBlue) {
    const StarRGB cool = BlackBodyRGB(3000), sunlike = BlackBodyRGB(5800), white = BlackBodyRGB(6500),
                  hot = BlackBodyRGB(20000);
    EXPECT_DOUBLE_EQ(cool.r, 1.0);
    EXPECT_GT(cool.g, cool.b);
    EXPECT_LT(cool.b, 0.7);
    EXPECT_DOUBLE_EQ(sunlike.r, 1.0);
    EXPECT_GT(sunlike.b, 0.8);  // the Sun is white with a touch of yellow, not orange
    EXPECT_GT(white.r, 0.93);   // near the D65 white point all channels are nearly equal
    EXPECT_GT(white.g, 0.93);
    EXPECT_GT(white.b, 0.93);
    EXPECT_DOUBLE_EQ(hot.b, 1.0);
    EXPECT_LT(hot.r, 0.9);
    double previous = INFINITY;
    for (double t = 2000; t <= 30000; t += 500) {
        const StarRGB c = BlackBodyRGB(t);
        EXPECT_LE(c.r / c.b, previous) << t;
        previous = c.r / c.b;
    }
}

TEST(StarColour, BrightnessFollowsTheMagnitude) {
    uint16_t bright[3], faint[3];
    StarColour16(1.0, 0.65, bright);
    StarColour16(3.5, 0.65, faint);
    EXPECT_NEAR(double(faint[0]) / bright[0], std::pow(10.0, -0.4 * 2.5), 0.01);  // 2.5 magnitudes: a tenth
    EXPECT_EQ(StarGrey16(-1.44), 65535);
}

TEST(KStarsCatalogue, ReadsPositionMagnitudeAndColourIndex) {
    CatalogueStar s;
    ASSERT_TRUE(ParseKStarsLine(kVega, s));
    EXPECT_NEAR(s.raHours, 18 + 36 / 60.0 + 56.34 / 3600.0, 1e-9);
    EXPECT_NEAR(s.decDegrees, 38 + 47 / 60.0 + 1.3 / 3600.0, 1e-9);
    EXPECT_DOUBLE_EQ(s.magnitude, 0.03);
    EXPECT_TRUE(s.hasColour);
    EXPECT_DOUBLE_EQ(s.bMinusV, 0.0);
    ASSERT_TRUE(ParseKStarsLine(kSirius, s));
    EXPECT_NEAR(s.decDegrees, -(16 + 42 / 60.0 + 58.0 / 3600.0), 1e-9);
    EXPECT_DOUBLE_EQ(s.magnitude, -1.44);
    EXPECT_DOUBLE_EQ(s.bMinusV, 0.01);
}

TEST(KStarsCatalogue, RefusesCommentsAndDamagedLines) {
    CatalogueStar s;
    EXPECT_FALSE(ParseKStarsLine("#  RA        DEC      pmRA", s));
    EXPECT_FALSE(ParseKStarsLine("", s));
    EXPECT_FALSE(ParseKStarsLine(std::string(kVega).substr(0, 40), s));                      // cut short
    EXPECT_FALSE(ParseKStarsLine("186056.34 +384701.3 +000201.0+000287.500128.9 00.03-0.00A0", s));  // 60 minutes
    EXPECT_FALSE(ParseKStarsLine("183656.34 +384701.3 +000201.0+000287.500128.9 xx.03-0.00A0", s));  // no magnitude
    ASSERT_TRUE(ParseKStarsLine("183656.34 +384701.3 +000201.0+000287.500128.9 00.03     A0", s));
    EXPECT_FALSE(s.hasColour);
}

struct StarRecord {
    double ra, dec, mag;
    uint16_t rgb[3];
};

std::vector<StarRecord> ReadStarFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<StarRecord> out;
    unsigned char b[32];
    while (in.read(reinterpret_cast<char*>(b), 32)) {
        auto be64 = [&](int at) {
            uint64_t v = 0;
            for (int k = 0; k < 8; ++k) v = (v << 8) | b[at + k];
            double d;
            std::memcpy(&d, &v, 8);
            return d;
        };
        StarRecord r{be64(0), be64(8), be64(16), {}};
        for (int c = 0; c < 3; ++c) r.rgb[c] = uint16_t((b[24 + 2 * c] << 8) | b[25 + 2 * c]);
        out.push_back(r);
    }
    return out;
}

std::string Scratch(const std::string& name) {
    return ::testing::TempDir() + "stars-" + std::to_string(getpid()) + "-" + name;
}

TEST(Bsc2Stars, WritesColouredBigEndianRecordsAndCutsAtTheMagnitude) {
    const std::string catalogue = Scratch("cat.txt"), stars = Scratch("out.stars");
    std::ofstream(catalogue) << "# comment\n" << kSirius << "\n" << kVega << "\n" << kRedGiant << "\n"
                             << "183656.34 +384701.3 +000201.0+000287.500128.9 07.03-0.00A0 0\n";
    const std::string cmd = std::string(BSC2STARS_BINARY) + " --kstars --max-magnitude 6.5 " + catalogue + " " +
                            stars + " >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::vector<StarRecord> r = ReadStarFile(stars);
    ASSERT_EQ(r.size(), 3u) << "the magnitude 7 star is left out";
    EXPECT_NEAR(r[0].ra, 6 + 45 / 60.0 + 8.92 / 3600.0, 1e-9);
    EXPECT_DOUBLE_EQ(r[0].mag, -1.44);
    EXPECT_GE(r[1].rgb[2], r[1].rgb[0]) << "Vega is bluish white";
    EXPECT_GT(r[2].rgb[0], r[2].rgb[1]) << "Betelgeuse is orange-red";
    EXPECT_GT(r[2].rgb[1], r[2].rgb[2]);
    std::remove(catalogue.c_str());
    std::remove(stars.c_str());
}

// Debian's kstars-data: at least 5000 naked-eye stars, every one with its colour.
TEST(Bsc2Stars, KStarsCatalogueGivesThousandsOfColouredStars) {
    const std::string source = "/usr/share/kstars/stars.dat";
    if (!std::filesystem::exists(source)) GTEST_SKIP() << "kstars-data is not installed";
    const std::string stars = Scratch("kstars.stars");
    const std::string cmd = std::string(BSC2STARS_BINARY) + " --kstars --max-magnitude 6.5 " + source + " " + stars +
                            " >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::vector<StarRecord> r = ReadStarFile(stars);
    EXPECT_GE(r.size(), 5000u);
    size_t tinted = 0;
    for (const StarRecord& s : r) tinted += s.rgb[0] != s.rgb[2];
    EXPECT_GT(tinted, r.size() * 9 / 10);
    std::remove(stars.c_str());
}

}  // namespace
