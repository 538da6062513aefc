// Placeholder until the imagery lands.
#include "imagery/SpherePix.h"

Handle NewSpherePixList() { return kNoHandle; }
void DisposeSpherePixList(Handle) {}
void DisposeSpherePixData(Handle, int32_t) {}
uint32_t* GetPointerToSpherePix(Handle, int32_t) { return nullptr; }
