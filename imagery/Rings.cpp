// Placeholder until the imagery lands.
#include "imagery/Rings.h"

uint32_t* RingPixPtrFromHandle(Handle) { return nullptr; }
