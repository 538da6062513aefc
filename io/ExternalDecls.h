// Operations of other modules used by universe loading. The sphere picture
// list operations are declared here until imagery/SpherePix.h carries them.
#pragma once
#include <cstdint>

#include "core/Records.h"
#include "render/IJK.h"
#include "render/Trails.h"
#include "sim/Bodies.h"
#include "sim/TimedThrust.h"

int32_t AddPICTToSpherePixList(Handle list, Handle picture);
Handle GetSphereListPICT(Handle list, int32_t n);
