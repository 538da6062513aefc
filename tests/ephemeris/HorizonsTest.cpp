// Horizons VECTORS tables written by hand in the layout the web and e-mail interfaces use.
#include <gtest/gtest.h>

#include <string>

#include "io/HorizonsVectors.h"

namespace {

std::string Header(const std::string& target, const std::string& units, const std::string& physical) {
    const std::string stars(79, '*');
    return stars + "\n Revised: April 12, 2021             " + target + "\n\n PHYSICAL DATA:\n" + physical + stars +
           "\nTarget body name: " + target + " (199)                   {source: DE441}\n"
           "Center body name: Sun (10)                        {source: DE441}\n"
           "Start time      : A.D. 2000-Jan-01 12:00:00.0000 TDB\nOutput units    : " + units +
           "\nReference frame : ICRF\n" + stars + "\n";
}

const std::string kMercuryPhysical =
    "  Vol. Mean Radius (km) =  2440+-1        Density (g cm^-3)     = 5.427\n"
    "  GM, km^3/s^2          = 22031.86855     GM 1-sigma, km^3/s^2  =  +-0.0003\n";

const std::string kLabelledRows =
    "JDTDB\n   X     Y     Z\n   VX    VY    VZ\n   LT    RG    RR\n" + std::string(79, '*') +
    "\n$$SOE\n2451545.000000000 = A.D. 2000-Jan-01 12:00:00.0000 TDB \n"
    " X =-2.052932489501127E+07 Y =-6.032395669367191E+07 Z =-3.013084448720944E+06\n"
    " VX= 3.700430445042199E+01 VY=-1.117540106824096E+01 VZ=-4.341538880408530E+00\n"
    " LT= 2.134799596573236E+02 RG= 6.359956347287274E+07 RR=-5.057567686712149E-01\n"
    "2451546.000000000 = A.D. 2000-Jan-02 12:00:00.0000 TDB \n X =-1.7E+07 Y =-6.3E+07 Z =-3.3E+06\n"
    " VX= 3.9E+01 VY=-8.1E+00 VZ=-4.4E+00\n$$EOE\n";

// The same body in au and au/day, comma-separated, without physical data.
const std::string kCsvRows =
    "            JDTDB,            Calendar Date (TDB),                      X,                      Y,"
    "                      Z,                     VX,                     VY,                     VZ,\n"
    "**************************************************************************************************\n$$SOE\n"
    "2451545.000000000, A.D. 2000-Jan-01 12:00:00.0000, -1.372300608220574E-01, -4.032407440787987E-01,"
    " -2.014122550422734E-02,  2.137177414060921E-02, -6.454334194584356E-03, -2.507448518565693E-03,\n"
    "$$EOE\n";

constexpr double kAu = 149597870700.0;

TEST(Horizons, ReadsBothLayoutsAndUnits) {
    HorizonsImport in;
    std::string error;
    const std::string text = Header("Mercury", "KM-S", kMercuryPhysical) + kLabelledRows +
                             Header("Ceres", "AU-D", "") + kCsvRows;
    ASSERT_TRUE(ReadHorizonsVectors(text, in, error)) << error;
    ASSERT_EQ(in.bodies.size(), 2u);
    EXPECT_EQ(in.centre, "Sun");
    EXPECT_DOUBLE_EQ(in.jdTdb, 2451545.0);
    const HorizonsBody &m = in.bodies[0], &c = in.bodies[1];
    // The 1-sigma beside GM is not taken; the first row is the state, in m and m/s.
    EXPECT_TRUE(m.name == "Mercury" && m.hasGM && m.gm == 22031.86855e9 && m.radius == 2440e3);
    EXPECT_TRUE(m.pos[0] == -2.052932489501127e10 && m.vel[1] == -1.117540106824096e4);
    EXPECT_TRUE(c.name == "Ceres" && !c.hasGM && c.gm == 0.0);
    EXPECT_DOUBLE_EQ(c.pos[1], -4.032407440787987e-01 * kAu);
    EXPECT_DOUBLE_EQ(c.vel[0], 2.137177414060921e-02 * kAu / 86400.0);
    // Both describe Mercury at J2000: the unit conversions agree to the digits given.
    EXPECT_NEAR(c.pos[0], m.pos[0], 1.0);
    EXPECT_NEAR(c.vel[2], m.vel[2], 1e-9);
}

struct Damaged {
    const char* what;
    std::string text;
    const char* message;  // the error starts with this
};

// Line numbers: the header is 13 lines (one more with physical data); the labelled $$SOE is line 19.
std::string Replace(std::string s, const std::string& from, const std::string& to) {
    return s.replace(s.find(from), from.size(), to);
}
const std::string kGood = Header("Mercury", "KM-S", kMercuryPhysical) + kLabelledRows;

class HorizonsRefuses : public ::testing::TestWithParam<Damaged> {};

TEST_P(HorizonsRefuses, NamingTheLine) {
    HorizonsImport in;
    std::string error;
    EXPECT_FALSE(ReadHorizonsVectors(GetParam().text, in, error));
    EXPECT_TRUE(error.rfind(GetParam().message, 0) == 0 && in.bodies.empty()) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HorizonsRefuses,
    ::testing::Values(
        Damaged{"garbled number", Replace(kGood, "Y =-6.032395669367191E+07", "Y =-6.03239#669367191E+07"),
                "line 21: expected NAME = number"},
        Damaged{"not a number", Replace(kGood, "VY=-1.117540106824096E+01", "VY= NaN"), "line 22: VY is not a finite"},
        Damaged{"missing component", Replace(kGood, " VZ=-4.341538880408530E+00", ""), "line 20: the row of JD"},
        Damaged{"row without epoch", Replace(kGood, "2451545.000000000 = A.D. 2000-Jan-01 12:00:00.0000 TDB \n", ""),
                "line 20: a vector row before its epoch"},
        Damaged{"unclosed table", Replace(kGood, "$$EOE\n", ""), "line 19: $$SOE without $$EOE"},
        Damaged{"no units", Replace(kGood, "Output units    : KM-S\n", ""), "line 18: the table's units"},
        Damaged{"unknown units", Replace(kGood, "KM-S", "PARSEC-FORTNIGHT"), "line 11: units"},
        Damaged{"short CSV row", Header("Ceres", "AU-D", "") + Replace(kCsvRows, ", -2.507448518565693E-03,", ","),
                "line 15: the row has no VZ column"},
        Damaged{"epochs differ", kGood + Header("Ceres", "AU-D", "") + Replace(kCsvRows, "2451545.000", "2451546.000"),
                "line 41: the table of Ceres starts at JD"},
        Damaged{"no table", Header("Mercury", "KM-S", kMercuryPhysical), "line 13: no $$SOE"}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
