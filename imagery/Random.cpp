#include "imagery/Random.h"

namespace {
uint32_t seed = 1;
}

int16_t Random() {
    for (;;) {
        seed = uint32_t((uint64_t(seed) * 16807u) % 2147483647u);
        const int32_t r = int32_t(seed & 0xFFFF) - 32768;
        if (r != -32768) return int16_t(r);
    }
}
uint32_t RandomSeed() { return seed; }
void SetRandomSeed(uint32_t s) {
    s %= 2147483647u;
    seed = s ? s : 1;  // zero would stick at zero
}
