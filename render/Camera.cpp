// Placeholder until the renderer lands.
#include "render/Camera.h"

void DoCameraWork() {}
void SetRunTimeViewingVariables() {}
