#include "sim/Belt.h"

#include <cmath>
#include <random>

#include "core/Limits.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "sim/Bodies.h"

namespace {
constexpr double kTurn = 6.283185307179586;
constexpr double kParticleRadius = 1.0;  // nominal: what a collision with its primary measures

// Uniform in [0, 1) from the top 53 bits, the same on every standard library.
double Unit(std::mt19937_64& rng) { return double(rng() >> 11) * 0x1p-53; }

// E - e sin E = M by Newton's method from E = M + e sin M, which converges for every e < 1.
double EccentricAnomaly(double meanAnomaly, double e) {
    double ecc = meanAnomaly + e * std::sin(meanAnomaly);
    for (int k = 0; k < 50; ++k) {
        const double step = (ecc - e * std::sin(ecc) - meanAnomaly) / (1.0 - e * std::cos(ecc));
        ecc -= step;
        if (std::fabs(step) < 1e-15) break;
    }
    return ecc;
}

// Distances and angles are not quoted back: a dialog may have taken them in other units.
std::string Field(const char* name, const char* want) { return std::string(name) + " " + want; }
}  // namespace

std::string BeltProblem(const BeltRequest& r) {
    const BodyListStruct* l = BodyList();
    const int32_t bodies = l ? l->count : 0;
    if (r.primary < 0 || r.primary >= bodies) return "the primary must be one of the bodies";
    const BodyInfoStruct& p = l->body[r.primary];
    if (!(p.mass > 0.0)) return "the primary must have a positive mass";
    if (set.powerLaw != -2.0) return "belts orbit under the inverse-square law only (power law -2)";
    if (r.count < 1 || r.count > kMaxBodies - bodies)
        return "the number of particles must lie in 1.." + std::to_string(kMaxBodies - bodies);
    if (!std::isfinite(r.minSemiMajorAxis) || !(r.minSemiMajorAxis > p.radius))
        return Field("the smallest semi-major axis", "must lie outside the primary");
    if (!std::isfinite(r.maxSemiMajorAxis) || !(r.maxSemiMajorAxis >= r.minSemiMajorAxis))
        return Field("the largest semi-major axis", "must be at least the smallest");
    if (!(r.maxEccentricity >= 0.0 && r.maxEccentricity < 1.0))
        return "the largest eccentricity is " + MyRealToSciNotString(r.maxEccentricity) + ": it must lie in 0 to below 1";
    if (!(r.minSemiMajorAxis * (1.0 - r.maxEccentricity) > p.radius))
        return "the closest approach, smallest semi-major axis times (1 - largest eccentricity), lies inside the primary";
    if (!(r.maxInclination >= 0.0 && r.maxInclination <= kTurn / 2))
        return Field("the largest inclination", "must lie in 0 to 180 degrees");
    return {};
}

std::vector<BodyInfoStruct> MakeBelt(const BeltRequest& r) {
    const BodyInfoStruct& p = BodyList()->body[r.primary];
    const double gm = set.gravConstant * p.mass;
    std::mt19937_64 rng(r.seed);
    std::vector<BodyInfoStruct> out(size_t(r.count));
    for (BodyInfoStruct& b : out) {
        const double a = r.minSemiMajorAxis + (r.maxSemiMajorAxis - r.minSemiMajorAxis) * Unit(rng);
        const double e = r.maxEccentricity * Unit(rng), inc = r.maxInclination * Unit(rng);
        const double node = kTurn * Unit(rng), peri = kTurn * Unit(rng), mean = kTurn * Unit(rng);
        const double ecc = EccentricAnomaly(mean, e), root = std::sqrt(1.0 - e * e);
        const double cosE = std::cos(ecc), sinE = std::sin(ecc), n = std::sqrt(gm / (a * a * a));
        // In the orbit's plane, x towards the periapsis; then turned by the argument of periapsis,
        // the inclination and the node.
        const double x = a * (cosE - e), y = a * root * sinE;
        const double vx = -a * n * sinE / (1.0 - e * cosE), vy = a * n * root * cosE / (1.0 - e * cosE);
        const double cw = std::cos(peri), sw = std::sin(peri), ci = std::cos(inc), si = std::sin(inc);
        const double co = std::cos(node), so = std::sin(node);
        const double px[3] = {co * cw - so * sw * ci, so * cw + co * sw * ci, sw * si};
        const double py[3] = {-co * sw - so * cw * ci, -so * sw + co * cw * ci, cw * si};
        FillDefaultBodyInfo(b);
        for (int k = 0; k < 3; ++k) {
            b.pos[k] = x * px[k] + y * py[k];
            b.vel[k] = vx * px[k] + vy * py[k];
        }
        b.mass = 0.0;
        b.radius = kParticleRadius;
        b.parent = r.primary + 1;
        b.color = RGBColor{49152, 49152, 45056};
        CToPStr31(b.name, "Particle");
    }
    return out;
}

bool AddBelt(const BeltRequest& r, std::string& error) {
    error = BeltProblem(r);
    if (!error.empty()) return false;
    const std::vector<BodyInfoStruct> belt = MakeBelt(r);
    if (!AddBodies(belt.data(), int32_t(belt.size()))) {
        error = "there is no memory for " + std::to_string(r.count) + " more bodies";
        return false;
    }
    return true;
}
