// Placeholder until the inspection windows land.
#include "windows/ObjectWindow.h"

void AllocObjectWindowInfo() {}
void DisposeObjectWindowInfo() {}
void UpdateObjectWindowVars() {}
