// An eye shift for red-cyan stereo worked out from the scene, for when none is set.
#pragma once
#include <cstdint>

// Points at the eye distance land at one place in both views; a point at depth D is split
// by 2 x eyeRadius x (1 - eyeDistance / D) pixels (stars, at infinity, by 2 x eyeRadius).
// The eye radius that splits the nearest and farthest of the bodies in front of the eye
// (and the stars when they are drawn) by a few pixels, within 1..kMostProposedEyeRadius.
int32_t ProposedEyeRadius();
constexpr int32_t kMostProposedEyeRadius = 30;
constexpr double kProposedParallaxPixels = 8;
