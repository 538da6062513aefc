#include <gtest/gtest.h>

#include "io/UniverseImage.h"

// The universe files shipped in data/universes open and hold what they promise.
TEST(SampleUniverses, OpenWithBodiesPicturesAndRing) {
    struct Expect {
        const char* file;
        size_t bodies;
        int pictures;
        int rings;
        bool thrustSchedule;
    };
    for (const Expect& e : {Expect{"sun-earth-moon.universe", 4, 2, 0, true}, Expect{"ringed-giant.universe", 4, 1, 1, false}}) {
        ResourceFile rf;
        std::string err;
        ASSERT_TRUE(rf.ReadFromFile(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/" + e.file, err)) << err;
        LoadedUniverse u;
        ASSERT_TRUE(ReadUniverseResources(rf, u, err)) << e.file << err;
        ASSERT_EQ(u.bodies.size(), e.bodies) << e.file;
        int pictures = 0, rings = 0;
        for (const auto& b : u.bodies) {
            if (!b.picture.empty()) {
                ++pictures;
                ASSERT_GE(b.picture.size(), 8u);
                EXPECT_EQ(b.picture[1], 'P');  // PNG signature
                EXPECT_EQ(b.picture[2], 'N');
            }
            rings += !b.ring.empty();
        }
        EXPECT_EQ(pictures, e.pictures) << e.file;
        EXPECT_EQ(rings, e.rings) << e.file;
        EXPECT_GE(u.bodies[2].info.parent, 1) << e.file;  // moons are placed relative to their planet
        EXPECT_EQ(!u.thrust.empty(), e.thrustSchedule) << e.file;
        EXPECT_GT(u.settings.timeStep, 0.0);
        EXPECT_EQ(u.settings.powerLaw, -2.0);
    }
}
