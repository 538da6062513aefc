// Converts the Yale Bright Star Catalogue text (Dec, RA, Mag per line) into a
// star data file: 32-byte big-endian records (RA hours, Dec degrees, spare, r, g, b).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

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
    if (argc != 3) {
        std::fprintf(stderr, "usage: bsc2stars <BSC text> <out.stars>\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "bsc2stars: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    std::string line;
    int written = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        double dec, ra, mag;
        if (!(fields >> dec >> ra >> mag)) continue;
        // The catalogue carries no colour index here: grey by apparent brightness.
        const double level = 21845.0 * std::pow(10.0, -0.4 * (mag - 1.0));
        const auto c = uint16_t(std::clamp(level, 1500.0, 65535.0));
        PutDouble(out, ra);
        PutDouble(out, dec);
        PutDouble(out, mag);
        PutBE(out, c, 2);
        PutBE(out, c, 2);
        PutBE(out, c, 2);
        PutBE(out, 0, 2);
        ++written;
    }
    if (!out) {
        std::fprintf(stderr, "bsc2stars: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%d stars\n", written);
    return 0;
}
