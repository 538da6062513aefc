// The Wisdom–Holman map: its Kepler drift against the analytic orbit for every eccentricity,
// and long runs of the giant planets against conservation and Laplace–Lagrange secular theory.
#include <complex>
#include <cstring>

#include "SimFixture.h"
#include "sim/KeplerDrift.h"
#include "sim/PairKernel.h"
#include "sim/WisdomHolmanParticles.h"
#include "sim/ThreadPool.h"
#include "windows/WisdomHolmanNote.h"

namespace {
// State at mean anomaly M on an orbit of pericentre distance 1 about mu = 1, inclined 0.4 rad
// (Kepler's equation in E for e < 1, in F for e > 1).
std::vector<double> OrbitState(double e, double M) {
    const double a = 1.0 / (1.0 - e), b = std::sqrt(std::fabs(1.0 - e * e)) * std::fabs(a), n = std::pow(std::fabs(a), -1.5);
    double x, y, vx, vy, E = M;
    if (e < 1.0) {
        E = M + 0.85 * e * (std::sin(M) < 0 ? -1.0 : 1.0);  // a start Newton cannot overshoot from (Danby)
        for (int k = 0; k < 100; ++k) E -= (E - e * std::sin(E) - M) / (1.0 - e * std::cos(E));
        const double dE = n / (1.0 - e * std::cos(E));
        x = a * (std::cos(E) - e), y = b * std::sin(E), vx = -a * std::sin(E) * dE, vy = b * std::cos(E) * dE;
    } else {
        E = std::asinh(M / e);
        for (int k = 0; k < 100; ++k) E -= (e * std::sinh(E) - E - M) / (e * std::cosh(E) - 1.0);
        const double dF = n / (e * std::cosh(E) - 1.0), aa = -a;
        x = aa * (e - std::cosh(E)), y = b * std::sinh(E), vx = -aa * std::sinh(E) * dF, vy = b * std::cosh(E) * dF;
    }
    return {x, y * std::cos(0.4), y * std::sin(0.4), vx, vy * std::cos(0.4), vy * std::sin(0.4)};
}

double Mismatch(const std::vector<double>& s, const std::vector<double>& ref) {
    return std::max(Distance(&s[0], &ref[0]) / std::hypot(ref[0], ref[1], ref[2]), Distance(&s[3], &ref[3]) / std::hypot(ref[3], ref[4], ref[5]));
}

// {e, start M, end M}: bound orbits go round once in three drifts and must be back where they
// started; open ones drift to the end anomaly and back.
class KeplerDriftCase : public ::testing::TestWithParam<std::tuple<double, double, double>> {};

TEST_P(KeplerDriftCase, FollowsTheOrbitAndComesBack) {
    const auto [e, m0, m1] = GetParam();
    const std::vector<double> start = OrbitState(e, m0);
    std::vector<double> s = start;
    const double n = std::pow(std::fabs(1.0 - e), 1.5);
    const double legs[3] = {0.37, 0.41, 0.22};
    double turned = 0.0;
    for (int k = 0; k < (e < 1.0 ? 3 : 0); ++k) {
        ASSERT_TRUE(KeplerDrift(1.0, legs[k] * 2 * M_PI / n, &s[0], &s[3]));
        turned += legs[k];
        EXPECT_LT(Mismatch(s, OrbitState(e, m0 + 2 * M_PI * turned)), 1e-12) << turned;
    }
    if (e >= 1.0) {
        ASSERT_TRUE(KeplerDrift(1.0, (m1 - m0) / n, &s[0], &s[3]));
        EXPECT_TRUE(e < 1.0 + 1e-3 || Mismatch(s, OrbitState(e, m1)) < 1e-12) << Mismatch(s, OrbitState(e, m1));
        EXPECT_GT(Mismatch(s, start), 0.1);
        ASSERT_TRUE(KeplerDrift(1.0, (m0 - m1) / n, &s[0], &s[3]));
    }
    EXPECT_LT(Mismatch(s, start), 1e-13);
    // Whole periods of a bound orbit are taken off before solving.
    if (e < 1.0) {
        ASSERT_TRUE(KeplerDrift(1.0, 7000.5 * 2 * M_PI / n, &s[0], &s[3]));
        EXPECT_LT(Mismatch(s, OrbitState(e, m0 + M_PI)), 1e-9);
    }
}
INSTANTIATE_TEST_SUITE_P(Eccentricities, KeplerDriftCase,
                         ::testing::Values(std::tuple{0.0, 1.0, 0.0}, std::tuple{0.1, 1.0, 0.0}, std::tuple{0.5, 1.0, 0.0},
                                           std::tuple{0.9, 1.0, 0.0}, std::tuple{0.99, 3.0, 0.0}, std::tuple{0.999, 1.0, 0.0},
                                           std::tuple{1.0 + 1e-9, -1e-12, 1e-12}, std::tuple{1.0 + 1e-6, -1e-8, 1e-7},
                                           std::tuple{1.5, -2.0, 3.0}, std::tuple{5.0, 0.5, 40.0}, std::tuple{100.0, -30.0, 300.0}));

// Many bodies drifted a vector at a time match the scalar drift bit for bit, on every instruction
// set and for a count that leaves a short last vector: ellipses at short steps, steps wide enough
// for the Stumpff closed forms, whole periods, open orbits, a body on the centre and a NaN.
TEST(KeplerDriftLanes, EveryInstructionSetDriftsEachBodyAsTheScalarDriftDoes) {
    std::vector<std::vector<double>> states;
    for (double e : {0.0, 0.1, 0.5, 0.9, 0.99, 0.999})
        for (double m : {-2.5, 0.3, 3.1}) states.push_back(OrbitState(e, m));
    for (double e : {1.0 + 1e-9, 1.5, 5.0}) states.push_back(OrbitState(e, 0.2));
    states.push_back({0, 0, 0, 1, 0, 0});
    states.push_back({1, 0, 0, 0, std::nan(""), 0});
    ASSERT_EQ(states.size() % 8, 7u);
    int32_t compared = 0;
    for (int32_t target = 0; target < PairKernelTargetCount(); ++target) {
        PinPairKernelTarget(target);
        SCOPED_TRACE(PairKernelTarget());
        for (double dt : {0.05, -0.05, 1.1, 40.0, 900.0}) {
            std::vector<double> pos, vel;
            for (const auto& x : states) pos.insert(pos.end(), x.begin(), x.begin() + 3), vel.insert(vel.end(), x.begin() + 3, x.end());
            std::vector<uint8_t> drifted(states.size());
            KeplerDriftEach(1.0, dt, states.size(), pos.data(), vel.data(), drifted.data());
            for (size_t k = 0; k < states.size(); ++k) {
                std::vector<double> one = states[k];
                EXPECT_EQ(KeplerDrift(1.0, dt, &one[0], &one[3]), drifted[k] != 0) << k << " " << dt;
                EXPECT_EQ(0, std::memcmp(&one[0], &pos[3 * k], 3 * sizeof(double))) << k << " " << dt;
                EXPECT_EQ(0, std::memcmp(&one[3], &vel[3 * k], 3 * sizeof(double))) << k << " " << dt;
                ++compared;
            }
        }
    }
    PinPairKernelTarget(-1);
    EXPECT_GE(compared, 5 * 23);
}

// The Sun and the giant planets at J2000 (data/solar-system: barycentric km and km/s, system
// GM in km³/s² as the mass with G = 1), pushed at 1/20 of Jupiter's period.
const std::vector<std::vector<double>> kGiants{
    {-1.067598502264559e6, -3.959890535950128e5, -1.380711260212289e5, 9.312570119052345e-3, -1.170150735349599e-2, -5.251247980405208e-3, 1.3271244004127942e11},
    {5.975000211076204e8, 4.089903370182379e8, 1.607562257323964e8, -7.900547825925709, 1.017187262378716e1, 4.552503833694558, 1.2671276409999998e8},
    {9.573177601946752e8, 9.233194830346156e8, 3.401627860705418e8, -7.421900389895590, 6.098450818042330, 2.837547994607634, 3.7940584841799997e7},
    {2.157907443424685e9, -1.871306925654410e9, -8.501067004044402e8, 4.646586245786795, 4.251109136832371, 1.796125740653137, 5.7945563999999985e6},
    {2.513978732441684e9, -3.438170119934093e9, -1.469851527291742e9, 4.474589638729705, 2.876586917524307, 1.065774083588457, 6.8365271005803989e6}};
constexpr double kJupiterStep = 4332.59 * 86400.0 / 20.0;

struct WisdomHolmanRun : SimTest {};

TEST_F(WisdomHolmanRun, GiantPlanetsKeepEnergyOverAMillionSteps) {
    Start(kGiants, kPushWisdomHolman, kJupiterStep);
    const double e0 = Energy();
    double worst[2] = {0.0, 0.0};
    for (int k = 0; k < 10000; ++k) {
        Run(100);
        worst[k / 5000] = std::max(worst[k / 5000], std::fabs(Energy() / e0 - 1.0));
    }
    EXPECT_LT(worst[1], 1e-5);
    EXPECT_LE(worst[1], 2.0 * worst[0]) << worst[0];
    EXPECT_GT(worst[0], 1e-9);  // the map's own error, not none at all
}

// Jupiter and Saturn, and 1500 massless bodies about the Sun. The massless bodies pull nothing,
// move as a body of tiny mass would, and do so whatever the number of threads or the vector
// width; the whole run is the same seen from a frame in uniform motion.
TEST_F(WisdomHolmanRun, MasslessBodiesAndMovingFramesChangeNothing) {
    auto run = [](int32_t threads, double lightMass, int32_t massless, double boost) {
        std::vector<std::vector<double>> bodies{kGiants[0], kGiants[1], kGiants[2]};
        for (int k = 0; k <= massless; ++k) {
            const double r = 3.2e8 + 2e5 * k, v = std::sqrt(1.3271244e11 / r), c = std::cos(0.01 * k), s = std::sin(0.01 * k);
            bodies.push_back({r * c, r * s, 1e6, -v * s, v * c, 0.3, k == 0 ? lightMass : 0.0});
        }
        Start(bodies, kPushWisdomHolman, kJupiterStep / 4);
        SetPoolThreadCount(threads);
        for (int i = 0; i < Count(); ++i)
            for (int n = 0; n < 3; ++n) RT(i).pos[n] += 7e8 * (n + 1), RT(i).vel[n] += boost * (3 - n);
        Run(400);
        SetPoolThreadCount(0);
        std::vector<double> out, centre(3, 0.0);  // the centre of mass, which must coast
        for (int i = 0; i < Count(); ++i)
            for (int n = 0; n < 3; ++n) {
                out.push_back(RT(i).pos[n] - 7e8 * (n + 1) - boost * (3 - n) * 400 * set.timeStep);
                centre[size_t(n)] += out.back() * RT(i).mass / (RT(0).mass + RT(1).mass + RT(2).mass + RT(3).mass);
            }
        EXPECT_LT(std::hypot(centre[0], centre[1], centre[2]), 1.0);
        DeallocateAllPushMemory();
        return out;
    };
    const std::vector<double> alone = run(1, 0.0, 0, 0.0), one = run(1, 0.0, 1500, 0.0), two = run(2, 0.0, 1500, 0.0);
    const std::vector<double> light = run(1, 1e-12, 1500, 0.0), moving = run(1, 0.0, 1500, 20.0);
    PinPairKernelTarget(PairKernelTargetCount() - 1);  // the narrowest vectors
    const std::vector<double> narrow = run(2, 0.0, 1500, 0.0);
    PinPairKernelTarget(-1);
    EXPECT_EQ(one, two);
    EXPECT_EQ(one, narrow);
    for (size_t k = 0; k < 9; ++k) EXPECT_EQ(alone[k], one[k]) << k;
    for (size_t k = 0; k < one.size(); ++k) {
        EXPECT_NEAR(light[k], one[k], 1e-9 * 1e9) << k;
        EXPECT_NEAR(moving[k], one[k], 1e-9 * 1e9) << k;
    }
}

// Body i relative to body 0 (G = 1): its eccentricity vector and semi-major axis, and m r × v.
void Elements(int i, double e[3], double& a, double l[3]) {
    double r[3], v[3];
    for (int n = 0; n < 3; ++n) r[n] = SimTest::RT(i).pos[n] - SimTest::RT(0).pos[n], v[n] = SimTest::RT(i).vel[n] - SimTest::RT(0).vel[n];
    const double mu = SimTest::RT(0).mass + SimTest::RT(i).mass, rr = std::hypot(r[0], r[1], r[2]);
    const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2], rv = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    for (int n = 0; n < 3; ++n) {
        e[n] = ((v2 - mu / rr) * r[n] - rv * v[n]) / mu;
        l[n] = SimTest::RT(i).mass * (r[(n + 1) % 3] * v[(n + 2) % 3] - r[(n + 2) % 3] * v[(n + 1) % 3]);
    }
    a = 1.0 / (2.0 / rr - v2 / mu);
}

// Jupiter and Saturn alone: their eccentricities over 200,000 years stay within the bounds of
// the two-mode Laplace–Lagrange solution from the starting elements (Murray & Dermott 1999,
// 7.28–7.31) in the plane of the pair's angular momentum, with Laplace coefficients b_{3/2}^{(j)}
// by the trapezoidal rule (exact to rounding for a smooth periodic integrand).
TEST_F(WisdomHolmanRun, JupiterAndSaturnEccentricitiesFollowSecularTheory) {
    Start({kGiants[0], kGiants[1], kGiants[2]}, kPushWisdomHolman, kJupiterStep);
    double e[3][3], a[3], l[3][3], w[3];
    for (int i = 1; i < 3; ++i) Elements(i, e[i], a[i], l[i]);
    for (int n = 0; n < 3; ++n) w[n] = (l[1][n] + l[2][n]) / std::hypot(l[1][0] + l[2][0], l[1][1] + l[2][1], l[1][2] + l[2][2]);
    const double ul = std::hypot(w[0], w[1]), u[3] = {w[1] / ul, -w[0] / ul, 0.0};  // u, t, w: right-handed
    const double t[3] = {w[1] * u[2] - w[2] * u[1], w[2] * u[0] - w[0] * u[2], w[0] * u[1] - w[1] * u[0]};
    std::complex<double> z[2];  // k + i h
    for (int p = 0; p < 2; ++p) z[p] = {e[p + 1][0] * u[0] + e[p + 1][1] * u[1] + e[p + 1][2] * u[2], e[p + 1][0] * t[0] + e[p + 1][1] * t[1] + e[p + 1][2] * t[2]};
    const double alpha = a[1] / a[2], m0 = RT(0).mass, m1 = RT(1).mass, m2 = RT(2).mass;
    double b[3] = {0, 0, 0};
    for (int j = 1; j < 3; ++j)
        for (int k = 0; k < 4096; ++k) b[j] += 2.0 / 4096 * std::cos(j * 2 * M_PI * k / 4096) / std::pow(1.0 - 2.0 * alpha * std::cos(2 * M_PI * k / 4096) + alpha * alpha, 1.5);
    const double c1 = 0.25 * std::sqrt((m0 + m1) / std::pow(a[1], 3)) * m2 / (m0 + m1) * alpha * alpha;
    const double c2 = 0.25 * std::sqrt((m0 + m2) / std::pow(a[2], 3)) * m1 / (m0 + m2) * alpha;
    const double A[2][2] = {{c1 * b[1], -c1 * b[2]}, {-c2 * b[2], c2 * b[1]}};
    const double tr = A[0][0] + A[1][1], root = std::sqrt(tr * tr - 4 * (A[0][0] * A[1][1] - A[0][1] * A[1][0]));
    // Eigenvectors (A12, g − A11) of the frequencies g; the start fixes each mode's complex amplitude.
    const double V[2][2] = {{A[0][1], A[0][1]}, {0.5 * (tr + root) - A[0][0], 0.5 * (tr - root) - A[0][0]}};
    const double vd = V[0][0] * V[1][1] - V[0][1] * V[1][0];
    const std::complex<double> mode[2] = {(V[1][1] * z[0] - V[0][1] * z[1]) / vd, (V[0][0] * z[1] - V[1][0] * z[0]) / vd};
    // The theory describes averaged elements: the eccentricity vectors are averaged over blocks
    // of 1500 steps (890 years), about the period of the near 5:2 resonance's Great Inequality.
    double lo[2] = {1, 1}, hi[2] = {0, 0};
    for (int64_t block = 0; block < int64_t(200000 * 365.25 * 86400 / kJupiterStep) / 1500; ++block) {
        double mean[2][3] = {}, ep[3], ap, lp[3];
        for (int step = 0; step < 75; ++step, Run(20))
            for (int p = 0; p < 2; ++p) {
                Elements(p + 1, ep, ap, lp);
                for (int n = 0; n < 3; ++n) mean[p][n] += ep[n] / 75;
            }
        for (int p = 0; p < 2; ++p)
            lo[p] = std::min(lo[p], std::hypot(mean[p][0], mean[p][1], mean[p][2])), hi[p] = std::max(hi[p], std::hypot(mean[p][0], mean[p][1], mean[p][2]));
    }
    for (int p = 0; p < 2; ++p) {
        const double one = std::abs(V[p][0] * mode[0]), other = std::abs(V[p][1] * mode[1]);
        EXPECT_NEAR(lo[p], std::fabs(one - other), 0.15 * std::fabs(one - other)) << p;
        EXPECT_NEAR(hi[p], one + other, 0.15 * (one + other)) << p;
    }
}

// {extra bodies about a unit Sun with a 1e-3 planet at 1 (G = 1, step 0.01), power law,
// relativity, the note's two lines}. The Hill sphere test radius is 3 · (1e-3 / 3)^⅓ = 0.2080;
// a step turns a body at r by 0.01 r^-1.5 radians.
struct NoteCase {
    std::vector<std::vector<double>> extra;
    double powerLaw;
    bool relativity;
    const char *first, *second;
};
void PrintTo(const NoteCase& c, std::ostream* os) { *os << (c.first ? c.second : "sound"); }
class WisdomHolmanNoteCase : public SimTest, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(WisdomHolmanNoteCase, TellsWhenTheMapIsNotSound) {
    std::vector<std::vector<double>> bodies{{0, 0, 0, 0, 0, 0, 1.0}, {1, 0, 0, 0, 1, 0, 1e-3}};
    bodies.insert(bodies.end(), GetParam().extra.begin(), GetParam().extra.end());
    for (int again = 0; again < 2; ++again) {  // a new run counts afresh
        Start(bodies, kPushWisdomHolman, 0.01);
        set.powerLaw = GetParam().powerLaw;
        set.physicsOptions = GetParam().relativity ? kRelativityOn : 0;
        Run(3);
        std::string first, second;
        EXPECT_EQ(WisdomHolmanNote(first, second), GetParam().first != nullptr);
        if (GetParam().first) {
            EXPECT_EQ(first + " / " + second, std::string(GetParam().first) + " / " + GetParam().second);
        }
        DeallocateAllPushMemory();
    }
}
INSTANTIATE_TEST_SUITE_P(
    Cases, WisdomHolmanNoteCase,
    ::testing::Values(NoteCase{{{1.22, 0, 0, 0, 0.905, 0, 0}, {0.05, 0, 0, 0, 4.47, 0, 0}}, -2.0, false, nullptr, nullptr},
                      NoteCase{{{1.19, 0, 0, 0, 0.917, 0, 0}}, -2.0, false, "Wisdom\u2013Holman inexact:", "3 pushes; 1 close"},
                      NoteCase{{{1.19, 0, 0, 0, 0.917, 0, 1e-6}}, -2.0, false, "Wisdom\u2013Holman inexact:", "3 pushes; 2 close"},
                      NoteCase{{{0.0385, 0, 0, 0, 5.1, 0, 0}, {0, 0.0385, 0, -5.1, 0, 0, 1e-9}, {-1.1, 0, 0, 0, -0.95, 0, 0}},
                               -2.0, false, "Wisdom\u2013Holman inexact:", "3 pushes; 2 near centre"},
                      NoteCase{{}, -1.0, false, "Wisdom\u2013Holman needs 1/r\u00B2:", "pushing with Gauss\u2013Radau"},
                      NoteCase{{}, -2.0, true, "Wisdom\u2013Holman: relativity on,", "pushing with Gauss\u2013Radau"}));
}  // namespace
