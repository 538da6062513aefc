// The view's on/off settings kept in set.displayFlags and set.trailLength, as the
// View menu toggles and marks them.
#pragma once
#include <cstdint>

void ToggleMapSpheresFlag();
uint16_t IsMappingSpheresOn();
void ToggleDrawStarsFlag();
uint16_t IsDrawingStarsOn();
uint16_t IsRC3DOn();
void ToggleKeepCameraLevelFlag();
uint16_t IsKeepCameraLevelOn();
uint16_t IsTrailLengthOn();
