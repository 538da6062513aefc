// Ring profiles and the ring painter.
#pragma once
#include <cstdint>

#include "core/Records.h"

uint32_t* RingPixPtrFromHandle(Handle ring);  // locked address of the 1024-texel profile
