// Dates and time scales, and the Solar System carried to other dates.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Dates.h"
#include "core/Epoch.h"
#include "core/Strings.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/ToDate.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {
constexpr double kDay = 86400.0;

// TT − UTC: 69.184 s after the leap second of 2017, 68.184 s before it; ΔT is −2.79 s at 1900
// and 13.72 s at 1800 (Espenak & Meeus 2006). TDB − TT stays within 1.7 ms. The way back is
// looser across the seam of two ΔT polynomials at 1900, where ΔT jumps.
TEST(Dates, UtcToTdbFollowsThePublishedTablesAndBack) {
    struct { const char* utc; double tdb, back; } const moments[] = {
        {"2000-01-01T11:58:55.816", 0.0, 1e-3}, {"2024-01-01 00:00", 8765.5 * kDay + 69.184, 1e-3},
        {"2016-12-31 23:59:59", 6209.5 * kDay - 1 + 68.184, 1e-3}, {"2017-01-01 00:00", 6209.5 * kDay + 69.184, 1e-3},
        {"1900-01-01", -36524.5 * kDay - 2.79, 0.1}, {"1800-01-01", -73048.5 * kDay + 13.72, 1e-3}};
    for (const auto& m : moments) {
        double tdb = 0.0;
        std::string error;
        CalendarTime given;
        ASSERT_TRUE(ParseUtcDateInRange(m.utc, tdb, error) && ParseCalendarTime(m.utc, given)) << m.utc << error;
        EXPECT_NEAR(tdb, m.tdb, 2e-3) << m.utc;
        EXPECT_NEAR(DaysSince2000(UtcFromTdbSeconds(tdb)) * kDay, DaysSince2000(given) * kDay, m.back) << m.utc;
    }
    char text[64];
    for (auto [t, shown] : {std::pair{0.0, "2000-01-01 12:00:00 TDB"}, {-43200.6, "1999-12-31 23:59:59 TDB"}}) {
        FormatTdbDate(t, text, sizeof text);
        EXPECT_STREQ(text, shown);
    }
    for (const char* bad : {"2031-02-30 00:00", "2031-06-21T24:00", "1799-12-31 23:59", "2200-01-01 00:01",
                            "21 June 2031", "2031-06-21 00:00 PST", ""}) {
        double tdb = 0.0;
        std::string error;
        EXPECT_FALSE(ParseUtcDateInRange(bad, tdb, error)) << bad;
    }
}

const BodyInfoStruct& Body(const char* name) {
    for (int32_t i = 0; i < BodyList()->count; ++i)
        if (PToCStr(BodyList()->body[i].name) == name) return BodyList()->body[i];
    throw std::runtime_error(name);
}

class SolarSystem : public ::testing::Test {
protected:
    void SetUp() override {
        rt = RunTimeStruct{};
        std::string error;
        ASSERT_TRUE(LoadScenarioJSON(GRAVITAS_SOURCE_DIR "/data/scenarios/solar-system.json", error)) << error;
        ASSERT_TRUE(epoch.known && epoch.tdbSeconds == 0.0);
    }
    void TearDown() override { DeallocateAllPushMemory(), DisposeScratchSpace(); }
};

// The moons are left out: their few-hour steps would make this by far the slowest test,
// and the planets' return is what is measured.
TEST_F(SolarSystem, FortyYearsOnAndBackReturnsWithinAKilometre) {
    for (const char* moon : {"Titan", "Callisto", "Ganymede", "Europa", "Io", "Moon"})
        DeleteABody(int32_t(&Body(moon) - BodyList()->body));
    TransferICsToRT();  // the start as the run sees it: centre of mass at rest at the origin
    const std::vector<BodyRTStruct> start(BodyRTList()->body, BodyRTList()->body + BodyRTList()->count);
    const auto moved = [&](const char* name) {
        const BodyInfoStruct& b = Body(name);
        const double* p = start[size_t(&b - BodyList()->body)].pos;
        return std::hypot(b.pos[0] - p[0], b.pos[1] - p[1], b.pos[2] - p[2]);
    };
    ASSERT_EQ(CarryInitialConditionsTo(40 * 365.25 * kDay), ToDateResult::kDone);
    EXPECT_EQ(epoch.tdbSeconds, 40 * 365.25 * kDay);
    EXPECT_GT(moved("Mars"), 1e10);  // forty years on, Mars stands elsewhere
    ASSERT_EQ(CarryInitialConditionsTo(0.0), ToDateResult::kDone);
    for (const char* name : {"Mercury", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"})
        EXPECT_LT(moved(name), 1000.0) << name;
}

// Standish, "Keplerian Elements for Approximate Positions of the Major Planets" (JPL), table 1
// (1800–2050): a (au), e, I, L, ϖ, Ω (degrees) and their rates per century, and the stated
// errors of heliocentric longitude, latitude (″) and distance (1000 km); Earth is the Earth–Moon
// barycentre. Two of the outer planets' stated errors do not hold even for the elements against
// an orbit started from Horizons: at 2024 Uranus's distance is 1.39 million km off and
// Neptune's latitude 6.5″ (two step-size rules agree on those orbits to metres), so
// those two take the same document's 3000 BC – 3000 AD errors (8000, 15″).
struct Elements {
    const char* name;
    double el[12], err[3];
};
const Elements kStandish[] = {
    {"Mercury", {0.38709927, 0.00000037, 0.20563593, 0.00001906, 7.00497902, -0.00594749, 252.25032350, 149472.67411175,
                 77.45779628, 0.16047689, 48.33076593, -0.12534081}, {15, 1, 1}},
    {"Venus", {0.72333566, 0.00000390, 0.00677672, -0.00004107, 3.39467605, -0.00078890, 181.97909950, 58517.81538729,
               131.60246718, 0.00268329, 76.67984255, -0.27769418}, {20, 1, 4}},
    {"Earth", {1.00000261, 0.00000562, 0.01671123, -0.00004392, -0.00001531, -0.01294668, 100.46457166, 35999.37244981,
               102.93768193, 0.32327364, 0.0, 0.0}, {20, 8, 6}},
    {"Mars", {1.52371034, 0.00001847, 0.09339410, 0.00007882, 1.84969142, -0.00813131, -4.55343205, 19140.30268499,
              -23.94362959, 0.44441088, 49.55953891, -0.29257343}, {40, 2, 25}},
    {"Jupiter", {5.20288700, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051, 3034.74612775,
                 14.72847983, 0.21252668, 100.47390909, 0.20469106}, {400, 10, 600}},
    {"Saturn", {9.53667594, -0.00125060, 0.05386179, -0.00050991, 2.48599187, 0.00193609, 49.95424423, 1222.49362201,
                92.59887831, -0.41897216, 113.66242448, -0.28867794}, {600, 25, 1500}},
    {"Uranus", {19.18916464, -0.00196176, 0.04725744, -0.00004397, 0.77263783, -0.00242939, 313.23810451, 428.48202785,
                170.95427630, 0.40805281, 74.01692503, 0.04240589}, {50, 2, 8000}},
    {"Neptune", {30.06992276, 0.00026291, 0.00859048, 0.00005105, 1.77004347, 0.00035372, -55.12002969, 218.45945325,
                 44.96476227, -0.32241464, 131.78422574, -0.00508664}, {10, 15, 200}},
};

// The body's heliocentric longitude, latitude (″) and distance (1000 km) less the elements' at tdb.
void Misfit(const Elements& e, double tdb, const double sim[3], double out[3]) {
    const double T = tdb / (36525.0 * kDay), deg = M_PI / 180.0;
    double v[6];
    for (int k = 0; k < 6; ++k) v[k] = e.el[2 * k] + e.el[2 * k + 1] * T;
    const double a = v[0] * 149597870700.0, ecc = v[1], I = v[2] * deg, w = (v[4] - v[5]) * deg, O = v[5] * deg;
    const double M = std::remainder((v[3] - v[4]) * deg, 2 * M_PI);
    double E = M + ecc * std::sin(M);
    for (int k = 0; k < 20; ++k) E -= (E - ecc * std::sin(E) - M) / (1 - ecc * std::cos(E));
    const double x = a * (std::cos(E) - ecc), y = a * std::sqrt(1 - ecc * ecc) * std::sin(E);
    const double cw = std::cos(w), sw = std::sin(w), cO = std::cos(O), sO = std::sin(O), cI = std::cos(I);
    const double ref[3] = {(cw * cO - sw * sO * cI) * x + (-sw * cO - cw * sO * cI) * y,
                           (cw * sO + sw * cO * cI) * x + (-sw * sO + cw * cO * cI) * y,
                           std::sin(I) * (sw * x + cw * y)};
    const double arcsec = M_PI / (180.0 * 3600.0);
    out[0] = std::remainder(std::atan2(sim[1], sim[0]) - std::atan2(ref[1], ref[0]), 2 * M_PI) / arcsec;
    out[1] = (std::atan2(sim[2], std::hypot(sim[0], sim[1])) - std::atan2(ref[2], std::hypot(ref[0], ref[1]))) / arcsec;
    out[2] = (std::hypot(sim[0], sim[1], sim[2]) - std::hypot(ref[0], ref[1], ref[2])) / 1e6;
}

void MisfitNow(const Elements& e, double tdb, double out[3]) {
    const BodyInfoStruct &p = Body(e.name), &sun = Body("Sun");
    const BodyInfoStruct &earth = Body("Earth"), &moon = Body("Moon");
    double sim[3];
    for (int n = 0; n < 3; ++n)
        sim[n] = (&p == &earth ? (earth.mass * earth.pos[n] + moon.mass * moon.pos[n]) / (earth.mass + moon.mass) : p.pos[n]) -
                 sun.pos[n];
    Misfit(e, tdb, sim, out);
}

// The stated errors bound the elements against DE405; the J2000 states here come from a later
// ephemeris and already differ from the elements (Mars by 3.7″, Jupiter by 309″), which is allowed for.
TEST_F(SolarSystem, On2024JanuaryFirstThePlanetsStandWhereStandishsElementsPutThem) {
    double atStart[std::size(kStandish)][3], target = 0.0, now[3];
    for (size_t k = 0; k < std::size(kStandish); ++k) MisfitNow(kStandish[k], 0.0, atStart[k]);
    std::string error;
    ASSERT_TRUE(ParseUtcDateInRange("2024-01-01 00:00", target, error));
    ASSERT_EQ(CarryInitialConditionsTo(target), ToDateResult::kDone);
    for (size_t k = 0; k < std::size(kStandish); ++k) {
        MisfitNow(kStandish[k], target, now);
        for (int q = 0; q < 3; ++q)
            EXPECT_LT(std::fabs(now[q]), kStandish[k].err[q] + std::fabs(atStart[k][q])) << kStandish[k].name << q;
    }
}

}  // namespace
