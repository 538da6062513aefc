#include "core/DisplayFlags.h"

#include "core/Records.h"

void ToggleMapSpheresFlag() { set.displayFlags ^= kSphereMappingOffFlag; }
uint16_t IsMappingSpheresOn() { return (set.displayFlags & kSphereMappingOffFlag) ? 0 : 1; }
void ToggleDrawStarsFlag() { set.displayFlags ^= kStarFieldOffFlag; }
uint16_t IsDrawingStarsOn() { return (set.displayFlags & kStarFieldOffFlag) ? 0 : 1; }
uint16_t IsRC3DOn() { return (set.displayFlags & kStereoOnFlag) ? 1 : 0; }
void ToggleKeepCameraLevelFlag() { set.displayFlags ^= kKeepCameraLevelFlag; }
uint16_t IsKeepCameraLevelOn() { return (set.displayFlags & kKeepCameraLevelFlag) ? 1 : 0; }
uint16_t IsTrailLengthOn() { return set.trailLength > 0 ? 1 : 0; }
