// Surface maps of textured spheres and the sphere picture list.
#pragma once
#include <cstdint>

#include "core/Records.h"

Handle NewSpherePixList();
void DisposeSpherePixList(Handle list);
void DisposeSpherePixData(Handle list, int32_t n);
uint32_t* GetPointerToSpherePix(Handle list, int32_t n);  // reference texel of entry n (1-based)
