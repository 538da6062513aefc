// Belts of test particles: every particle's osculating elements about its primary lie in the
// ranges asked for, in the primary's equator; one seed makes one belt; bad requests are refused.
#include <cstring>

#include "SimFixture.h"
#include "core/Limits.h"
#include "sim/Belt.h"
#include "sim/BeltElements.h"

namespace {
TEST_F(SimTest, BeltParticlesLieInTheirRangesAndASeedGivesOneBelt) {
    set.gravConstant = 6.6743e-11;
    set.powerLaw = -2.0;
    AddABody(Body(0, 0, 0, 0, 0, 0, 2e30, 7e8));
    AddABody(Body(7.8e11, 0, 0, 0, 13000, 0, 1.9e27, 7e7));
    BeltRequest r{2000, 0, 3e11, 5e11, 0.2, 0.1, 7};
    const std::vector<BodyInfoStruct> belt = MakeBelt(r);
    ASSERT_EQ(belt.size(), 2000u);
    double least[3] = {1e300, 1e300, 1e300}, most[3] = {0, 0, 0};
    for (const BodyInfoStruct& b : belt) {
        ASSERT_TRUE(b.mass == 0.0 && b.parent == 1);
        const double gm = set.gravConstant * 2e30, a = OsculatingSemiMajorAxis(b.pos, b.vel, gm);
        const double h[3] = {b.pos[1] * b.vel[2] - b.pos[2] * b.vel[1], b.pos[2] * b.vel[0] - b.pos[0] * b.vel[2],
                             b.pos[0] * b.vel[1] - b.pos[1] * b.vel[0]};
        const double hh = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
        const double el[3] = {a, std::sqrt(std::max(0.0, 1.0 - hh * hh / (gm * a))), std::acos(h[2] / hh)};
        for (int k = 0; k < 3; ++k) least[k] = std::min(least[k], el[k]), most[k] = std::max(most[k], el[k]);
    }
    // Inside the ranges, and spread over them (2000 draws come within 1 % of either end).
    const double lo[3] = {3e11, 0, 0}, hi[3] = {5e11, 0.2, 0.1};
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(least[k], lo[k] - 1e-9 * hi[k]) << k;
        EXPECT_LE(most[k], hi[k] * (1 + 1e-9)) << k;
        EXPECT_LT(least[k], lo[k] + 0.01 * (hi[k] - lo[k])) << k;
        EXPECT_GT(most[k], hi[k] - 0.01 * (hi[k] - lo[k])) << k;
    }
    const std::vector<BodyInfoStruct> again = MakeBelt(r);
    EXPECT_EQ(std::memcmp(again.data(), belt.data(), belt.size() * sizeof(BodyInfoStruct)), 0);
    r.seed = 8;
    EXPECT_NE(std::memcmp(MakeBelt(r).data(), belt.data(), sizeof(BodyInfoStruct)), 0);

    struct Bad {
        BeltRequest r;
        const char* reason;
    };
    for (const Bad& bad : {Bad{{0, 0, 3e11, 5e11, 0, 0, 1}, "number of particles must lie in 1..99998"},
                           Bad{{99999, 0, 3e11, 5e11, 0, 0, 1}, "number of particles must lie in 1..99998"},
                           Bad{{10, 2, 3e11, 5e11, 0, 0, 1}, "primary must be one of the bodies"},
                           Bad{{10, 0, 1e8, 5e11, 0, 0, 1}, "smallest semi-major axis must lie outside"},
                           Bad{{10, 0, 3e11, 2e11, 0, 0, 1}, "largest semi-major axis must be at least"},
                           Bad{{10, 0, 3e11, 5e11, 1.0, 0, 1}, "largest eccentricity is 1"},
                           Bad{{10, 0, 1e9, 5e11, 0.5, 0, 1}, "closest approach"},
                           Bad{{10, 0, 3e11, 5e11, 0, -0.1, 1}, "largest inclination must lie in 0 to 180"}}) {
        std::string error;
        EXPECT_FALSE(AddBelt(bad.r, error));
        EXPECT_NE(error.find(bad.reason), std::string::npos) << error;
    }
    EXPECT_EQ(BodyList()->count, 2);
    std::string error;
    ASSERT_TRUE(AddBelt(BeltRequest{10, 1, 1e9, 2e9, 0.1, 0.1, 3}, error)) << error;
    EXPECT_EQ(BodyList()->count, 12);
    const std::vector<BodyInfoStruct> many(size_t(kMaxBodies - 11), belt[0]);
    EXPECT_EQ(AddBodies(many.data(), int32_t(many.size())), 0);  // one past the limit
    EXPECT_EQ(AddBodies(many.data(), int32_t(many.size()) - 1), 1);
    EXPECT_EQ(BodyList()->count, kMaxBodies);
}
}  // namespace
