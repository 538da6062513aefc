// The depth-sorted draw stage.
#pragma once
#include <cstdint>

void DoDrawStage(int32_t cx, int32_t cy);
