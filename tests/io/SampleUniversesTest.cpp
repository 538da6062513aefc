#include <gtest/gtest.h>

#include "io/UniverseImage.h"

// The universe files shipped in data/universes open and hold what they promise.
TEST(SampleUniverses, OpenWithBodiesPicturesAndRing) {
    struct Expect {
        const char* file;
        int pictures;
        int rings;
    };
    for (const Expect& e : {Expect{"sun-earth-moon.universe", 2, 0}, Expect{"ringed-giant.universe", 1, 1}}) {
        ResourceFile rf;
        std::string err;
        ASSERT_TRUE(rf.ReadFromFile(std::string(GRAVITAS_SOURCE_DIR) + "/data/universes/" + e.file, err)) << err;
        LoadedUniverse u;
        ASSERT_TRUE(ReadUniverseResources(rf, u, err)) << e.file << err;
        ASSERT_EQ(u.bodies.size(), 3u) << e.file;
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
        EXPECT_EQ(u.bodies[2].info.parent, 2) << e.file;
        EXPECT_GT(u.settings.timeStep, 0.0);
        EXPECT_EQ(u.settings.powerLaw, -2.0);
    }
}
