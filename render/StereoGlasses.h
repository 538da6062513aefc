// Which eye wears the red filter. Red–cyan glasses differ: most put red on
// the left eye, some on the right. The eye behind the red filter must get the
// view drawn in red, or depth reads reversed (far bodies float in front of
// the screen). This is the viewer's hardware, not part of a scenario, so it
// is not saved in universe files.
#pragma once
#include <cstdint>

enum class StereoGlasses : uint8_t { RedLeft, RedRight };

extern StereoGlasses stereoGlasses;  // RedLeft unless the user says otherwise

// The side of the eye whose view is drawn in red: -1 left, +1 right. The
// stereo plotters and the star field multiply the eye's screen shift and
// world offset by it, so the red view is projected from that eye.
int32_t RedEyeSide();
