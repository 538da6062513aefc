#include "render/StereoGlasses.h"

StereoGlasses stereoGlasses = StereoGlasses::RedLeft;

int32_t RedEyeSide() { return stereoGlasses == StereoGlasses::RedRight ? 1 : -1; }
