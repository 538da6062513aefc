// Converts a star catalogue into a star data file: 32-byte big-endian records
// (RA hours, Dec degrees, magnitude, r, g, b). Reads the Yale Bright Star
// Catalogue text of xplanet (Dec, RA, Mag per line; no colour, so grey stars) or,
// with --kstars, the Hipparcos/Tycho catalogue of kstars-data, whose B-V index
// gives each star its colour.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/bsc2stars/KStarsCatalogue.h"
#include "tools/bsc2stars/StarColour.h"

namespace {

void PutBE(std::ofstream& out, uint64_t v, int bytes) {
    for (int k = bytes - 1; k >= 0; --k) out.put(char((v >> (8 * k)) & 255));
}
void PutDouble(std::ofstream& out, double d) {
    uint64_t bits;
    static_assert(sizeof bits == sizeof d);
    std::memcpy(&bits, &d, 8);
    PutBE(out, bits, 8);
}

}  // namespace

int main(int argc, char** argv) {
    std::string inPath, outPath;
    bool kstars = false;
    double faintest = 99.0;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--kstars") kstars = true;
        else if (arg == "--max-magnitude" && a + 1 < argc) faintest = std::atof(argv[++a]);
        else if (inPath.empty()) inPath = arg;
        else if (outPath.empty()) outPath = arg;
        else inPath.clear(), a = argc;
    }
    if (inPath.empty() || outPath.empty()) {
        std::fprintf(stderr, "usage: bsc2stars [--kstars] [--max-magnitude M] <catalogue> <out.stars>\n");
        return 2;
    }
    std::ifstream in(inPath);
    if (!in) {
        std::fprintf(stderr, "bsc2stars: cannot read %s\n", inPath.c_str());
        return 1;
    }
    std::ofstream out(outPath, std::ios::binary);
    std::string line;
    int written = 0, coloured = 0;
    while (std::getline(in, line)) {
        CatalogueStar star;
        if (kstars) {
            if (!ParseKStarsLine(line, star)) continue;
        } else {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream fields(line);
            if (!(fields >> star.decDegrees >> star.raHours >> star.magnitude)) continue;
        }
        if (star.magnitude > faintest) continue;
        uint16_t rgb[3];
        if (star.hasColour) {
            StarColour16(star.magnitude, star.bMinusV, rgb);
            ++coloured;
        } else {
            rgb[0] = rgb[1] = rgb[2] = StarGrey16(star.magnitude);  // no colour index: grey
        }
        PutDouble(out, star.raHours);
        PutDouble(out, star.decDegrees);
        PutDouble(out, star.magnitude);
        for (uint16_t c : rgb) PutBE(out, c, 2);
        PutBE(out, 0, 2);
        ++written;
    }
    if (!out) {
        std::fprintf(stderr, "bsc2stars: cannot write %s\n", outPath.c_str());
        return 1;
    }
    std::printf("%d stars, %d with colour\n", written, coloured);
    return 0;
}
