// Placeholder until the renderer lands.
#include "render/DrawStage.h"

void DoDrawStage(int32_t, int32_t) {}
