// The shipped Solar System (JPL Horizons states at J2000) run forward with the
// application's own push stage, measured against published orbital facts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/Records.h"
#include "io/ResourceFile.h"
#include "io/UniverseImage.h"
#include "sim/Bodies.h"
#include "sim/PushStage.h"
#include "sim/TimedThrust.h"
#include "tools/gravitas-sim/ScenarioJson.h"

namespace {

constexpr double kDay = 86400.0;
constexpr double kJulianYear = 365.25 * kDay;
constexpr double kAu = 149597870700.0;  // IAU 2012

// Body order in data/scenarios/solar-system.json.
enum { kSun = 0, kEarth = 3, kMoon = 4, kJupiter = 6, kCallisto = 10, kSaturn = 11 };

struct Sample {
    double t;
    double earthLongitude;  // heliocentric, of the Earth-Moon barycentre
    double earthDistance;   // Sun centre to Earth centre
    double moonLongitude;   // geocentric
    double jupiterLongitude;  // heliocentric, of Jupiter and its four large moons
};

void Barycentre(const BodyRTListStruct* list, int first, int last, double out[3]) {
    double m = 0;
    out[0] = out[1] = out[2] = 0;
    for (int i = first; i <= last; ++i) {
        for (int n = 0; n < 3; ++n) out[n] += list->body[i].mass * list->body[i].pos[n];
        m += list->body[i].mass;
    }
    for (int n = 0; n < 3; ++n) out[n] /= m;
}

double LongitudeFrom(const double from[3], const double to[3]) { return std::atan2(to[1] - from[1], to[0] - from[0]); }

// Angles unwrapped into a continuous function of time.
std::vector<double> Unwrapped(const std::vector<Sample>& s, double Sample::*field) {
    std::vector<double> out;
    out.reserve(s.size());
    double offset = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (i > 0) {
            const double jump = s[i].*field - s[i - 1].*field;
            if (jump < -M_PI) offset += 2 * M_PI;
            if (jump > M_PI) offset -= 2 * M_PI;
        }
        out.push_back(s[i].*field + offset);
    }
    return out;
}

// Time at which the unwrapped angle first reaches `target`, linearly interpolated.
double TimeAtAngle(const std::vector<Sample>& s, const std::vector<double>& angle, double target) {
    for (size_t i = 1; i < angle.size(); ++i)
        if ((angle[i - 1] - target) * (angle[i] - target) <= 0 && angle[i] != angle[i - 1])
            return s[i - 1].t + (s[i].t - s[i - 1].t) * (target - angle[i - 1]) / (angle[i] - angle[i - 1]);
    return NAN;
}

class SolarSystem : public ::testing::Test {
protected:
    // One run shared by all the checks: 12 years with 10-minute steps of
    // semi-implicit Euler, sampled every 6 hours.
    static void SetUpTestSuite() {
        rt = RunTimeStruct{};
        set = SettingsStruct{};
        std::string error;
        ASSERT_TRUE(LoadScenarioJSON(std::string(GRAVITAS_SOURCE_DIR) + "/data/scenarios/solar-system.json", error))
            << error;
        set.pushMethod = kPushSemiImplicitEuler;
        set.timeStep = 600.0;
        set.pushesPerFrame = 36;
        set.trailLength = 0;
        TransferICsToRT();
        ASSERT_NE(rt.bodyRT, kNoHandle);
        samples_ = new std::vector<Sample>;
        {
            // Orbit normal of the Earth-Moon barycentre about the Sun at the start.
            const BodyRTListStruct* list = BodyRTList();
            double mEarth = list->body[kEarth].mass, mMoon = list->body[kMoon].mass, r[3], v[3];
            for (int n = 0; n < 3; ++n) {
                r[n] = (mEarth * list->body[kEarth].pos[n] + mMoon * list->body[kMoon].pos[n]) / (mEarth + mMoon) -
                       list->body[kSun].pos[n];
                v[n] = (mEarth * list->body[kEarth].vel[n] + mMoon * list->body[kMoon].vel[n]) / (mEarth + mMoon) -
                       list->body[kSun].vel[n];
            }
            const double h[3] = {r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]};
            embInclination_ = std::acos(h[2] / std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]));
            sunGM_ = set.gravConstant * list->body[kSun].mass;
        }
        while (rt.simTime <= 12.0 * kJulianYear) {
            const BodyRTListStruct* list = BodyRTList();
            const BodyRTStruct* b = list->body;
            double emb[3], jupiterSystem[3];
            Barycentre(list, kEarth, kMoon, emb);
            Barycentre(list, kJupiter, kCallisto, jupiterSystem);
            double d2 = 0;
            for (int n = 0; n < 3; ++n) d2 += (b[kEarth].pos[n] - b[kSun].pos[n]) * (b[kEarth].pos[n] - b[kSun].pos[n]);
            samples_->push_back({rt.simTime, LongitudeFrom(b[kSun].pos, emb), std::sqrt(d2),
                                 LongitudeFrom(b[kEarth].pos, b[kMoon].pos), LongitudeFrom(b[kSun].pos, jupiterSystem)});
            DoPushStage();
        }
    }
    static void TearDownTestSuite() {
        DeallocateAllPushMemory();
        DisposeTTHandle(set.timedThrust);
        set.timedThrust = 0;
        delete samples_;
        samples_ = nullptr;
    }
    // Seconds per revolution, from the start to the return to the starting angle after `turns` revolutions.
    static double MeanPeriod(double Sample::*angle, int turns) {
        const std::vector<double> unwrapped = Unwrapped(*samples_, angle);
        const double direction = unwrapped.back() > unwrapped.front() ? 1.0 : -1.0;
        return TimeAtAngle(*samples_, unwrapped, unwrapped.front() + direction * 2.0 * M_PI * turns) / turns;
    }
    static std::vector<Sample>* samples_;
    static double embInclination_, sunGM_;
};
std::vector<Sample>* SolarSystem::samples_ = nullptr;
double SolarSystem::embInclination_ = 0, SolarSystem::sunGM_ = 0;

// The states are turned from the ICRF equator to the ecliptic of J2000: the
// Earth-Moon barycentre then orbits in the x-y plane (its J2000 inclination to
// that ecliptic is a few thousandths of an arcsecond). Left in ICRF axes, the
// angle would be the obliquity, 23.44 degrees.
TEST_F(SolarSystem, EarthOrbitsInTheEclipticPlane) {
    EXPECT_LT(embInclination_ * 180.0 / M_PI * 3600.0, 1.0);  // arcseconds
}

// Masses are GM / G with the scenario's own G, so the product gives back the
// published heliocentric constant (DE440 era, 1.3271244004127942e20 m^3/s^2).
TEST_F(SolarSystem, SunMassGivesBackThePublishedGM) {
    EXPECT_NEAR(sunGM_ / 1.3271244004127942e20, 1.0, 1e-12);
}

TEST_F(SolarSystem, EarthSiderealYearIs365_256Days) {
    // The mean over ten revolutions, so the year-to-year pull of the planets averages out.
    const double year = MeanPeriod(&Sample::earthLongitude, 10) / kDay;
    RecordProperty("sidereal_year_days", std::to_string(year));
    EXPECT_NEAR(year, 365.256, 0.01);
}

TEST_F(SolarSystem, JupiterPeriodIs11_86Years) {
    const double period = MeanPeriod(&Sample::jupiterLongitude, 1) / kJulianYear;
    RecordProperty("jupiter_period_years", std::to_string(period));
    EXPECT_NEAR(period, 11.86, 0.01);
}

TEST_F(SolarSystem, MoonSiderealMonthIs27_32Days) {
    // 150 revolutions (11.2 years): the Sun's periodic pulls on single months
    // (hours each) shrink to minutes in the mean.
    const double month = MeanPeriod(&Sample::moonLongitude, 150) / kDay;
    RecordProperty("sidereal_month_days", std::to_string(month));
    EXPECT_NEAR(month, 27.32, 0.01);
}

TEST_F(SolarSystem, EarthPerihelionAndAphelion) {
    double nearest = INFINITY, farthest = 0;
    for (const Sample& x : *samples_) {
        if (x.t > kJulianYear) break;
        nearest = std::min(nearest, x.earthDistance);
        farthest = std::max(farthest, x.earthDistance);
    }
    RecordProperty("perihelion_au", std::to_string(nearest / kAu));
    RecordProperty("aphelion_au", std::to_string(farthest / kAu));
    EXPECT_NEAR(nearest / kAu, 0.98329, 0.98329e-3);
    EXPECT_NEAR(farthest / kAu, 1.01671, 1.01671e-3);
}

}  // namespace

namespace {

// The universe file made from the scenario opens with every body, picture and
// the ring, and with the settings the demo is meant to run with.
TEST(SolarSystemUniverse, HoldsBodiesPicturesRingAndSettings) {
    ResourceFile rf;
    std::string err;
    ASSERT_TRUE(rf.ReadFromFile(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/solar-system.universe", err))
        << err;
    LoadedUniverse u;
    ASSERT_TRUE(ReadUniverseResources(rf, u, err)) << err;
    ASSERT_EQ(u.bodies.size(), 16u);
    const char* names[] = {"Sun", "Mercury", "Venus", "Earth", "Moon", "Mars", "Jupiter", "Io",
                           "Europa", "Ganymede", "Callisto", "Saturn", "Titan", "Uranus", "Neptune", "Pluto"};
    int rings = 0;
    for (size_t i = 0; i < u.bodies.size(); ++i) {
        const LoadedBody& b = u.bodies[i];
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.info.name + 1), b.info.name[0]), names[i]);
        ASSERT_GE(b.picture.size(), 8u) << names[i] << " has no surface picture";
        EXPECT_EQ(b.picture[1], 'P');
        EXPECT_GT(b.info.mass, 0.0);
        EXPECT_GT(b.info.radius, 0.0);
        rings += !b.ring.empty();
    }
    EXPECT_EQ(rings, 1);
    EXPECT_FALSE(u.bodies[11].ring.empty()) << "Saturn carries the ring";
    EXPECT_NEAR(u.bodies[11].info.ringRatio, 136775.0 / 58232.0, 1e-3);
    EXPECT_LT(u.bodies[2].info.spinRate, 0.0) << "Venus turns backwards";
    EXPECT_NEAR(u.bodies[3].info.axisTilt * 180 / M_PI, 23.44, 0.01) << "Earth's pole is 23.44 deg from the ecliptic's";
    EXPECT_EQ(u.settings.timeStep, 600.0);
    EXPECT_GE(u.settings.minPointSize, 2);
    EXPECT_NEAR(u.settings.gravConstant, 6.67430e-11, 1e-16);
}

}  // namespace
