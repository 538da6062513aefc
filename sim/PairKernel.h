// The vectorised pair kernel: rows of the pair triangle over structure-of-arrays columns.
// Plain data in and out, so callers never see the SIMD library.
#pragma once
#include <cstdint>

// Columns and partial sums are padded to a multiple of this many doubles (and this many
// more), so every vector load of a row stays inside them, whatever the vector width.
constexpr int32_t kPairPadding = 16;

// Live bodies in pair order: slot s < t means the pair pass meets the pair as (s, t).
// Padding slots hold massless bodies at the origin.
struct PairColumns {
    const double* x;
    const double* y;
    const double* z;
    const double* m;
    int32_t count;
};

// One slice of rows accumulates here; nearestSlot holds slot numbers as doubles (-1: none).
struct PairPartials {
    double* ax;
    double* ay;
    double* az;
    double* pot;
    double* nearestDistSq;
    double* nearestSlot;
};

// f = G r^(p-1) and the potential factor u, as the force law defines them.
struct PairLaw {
    double g;
    double accExp;    // (p - 1) / 2: f = G exp(accExp ln r²)
    double potScale;  // u = potScale f r² for a power law, potScale ln r² when logPotential
    bool inverseSquare;
    bool logPotential;
    // When accExp is a whole number of quarters, f = G (r²)^(accQuarters / 4) is built from
    // square roots and products, which is several times cheaper than a log and an exp.
    bool quarterPower = false;
    int32_t accQuarters = 0;
};

// Largest |accQuarters| taken by products: the rounding error grows with the number of them.
constexpr int32_t kMaxPairLawQuarters = 64;

// The kernel's form of a force law. A law built without its fast paths (ForceLaw(false))
// stays on the log/exp path for every exponent.
struct ForceLaw;
PairLaw MakePairLaw(const ForceLaw& law);

// Adds the interactions of rows [rowBegin, rowEnd) with every later slot into out. The
// caller clears out from rowBegin rounded down to kPairPadding up to the padded count.
// Potentials and nearest neighbours are skipped when withPotentialAndNearest is false.
void AccumulatePairRows(const PairColumns& cols, const PairLaw& law, bool withPotentialAndNearest,
                        int32_t rowBegin, int32_t rowEnd, const PairPartials& out);

// Massless bodies (test particles) in slots of their own: each feels every slot of a
// PairColumns and pulls on none of them. Padding slots sit at the origin.
struct ParticleColumns {
    const double* x;
    const double* y;
    const double* z;
    int32_t count;
};

// Writes the accelerations of particle slots [begin, end) from every massive slot into out
// (begin a multiple of kPairPadding, end at most the padded particle count), summed over the
// massive slots in rising order. Potentials, and the nearest massive slot, when asked for.
void AccumulateParticleColumns(const PairColumns& massive, const ParticleColumns& particles, const PairLaw& law,
                               bool withPotentialAndNearest, int32_t begin, int32_t end, const PairPartials& out);

// Name of the instruction set the kernel runs with on this machine.
const char* PairKernelTarget();

// The instruction sets the kernel was built for that this machine can run, best first;
// pinning one (for tests and measurements) makes the kernel use it, -1 restores the best.
int32_t PairKernelTargetCount();
void PinPairKernelTarget(int32_t index);
