// Per-body scratch for integrator stages. It grows with the body count and is kept,
// so a push allocates nothing in steady state.
#pragma once
#include <cstddef>
#include <vector>

#include "sim/PairPass.h"

class StageBuffer {
public:
    Vec3* For(size_t count) {
        if (slots.size() < count + 1) slots.resize(count + 1);
        return slots.data();
    }

private:
    std::vector<Vec3> slots;
};
