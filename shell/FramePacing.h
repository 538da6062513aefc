// When frames are drawn, and how many pushes a drawn frame runs.
//
// Display pacing (the default) draws one frame per refresh of the screen, and
// about ten a second while the application is in the background or minimised:
// frames nobody can see only heat the machine. The simulation does not slow
// down with the frames. When frames are paced each drawn frame runs
//     pushesPerFrame x (seconds since the last frame x refresh rate)
// pushes, the fractions carried to the next frame, so the simulation keeps
// pushesPerFrame x refresh rate pushes per second whether 60 or 10 frames a
// second are drawn. The push budget still bounds a frame's pushing (50 ms in
// the window); what it cuts waits for later frames, at most a quarter second's
// worth, so a machine that cannot keep up falls behind instead of piling up.
// Unlimited draws frames as fast as the machine allows, one batch of
// pushesPerFrame pushes each, as before pacing existed.
//
// A paused scene whose camera has come to rest draws the same picture every
// frame: it is drawn at the background pace until the camera moves or the user
// touches anything (the window wakes the frames on any input). Not while the
// frame rate is shown or a movie is recorded, whose frames are the point.
#pragma once
#include <cstdint>

enum class FrameRateChoice : uint8_t { Display, Unlimited };

// The View › Frame Rate choice: the viewer's preference, not saved in universe files.
extern FrameRateChoice frameRateChoice;

constexpr double kFallbackRefreshHz = 60;     // when the screen does not tell its refresh rate
constexpr double kBackgroundFramesPerSecond = 10;
// The longest gap between frames that still earns pushes (a dialog, a stalled machine).
constexpr double kLongestPacedGapSeconds = 0.25;

constexpr int kViewNumbers = 19;  // eye, look-at, camera axes, distance and pans

struct FramePacingStruct {
    double refreshHz = kFallbackRefreshHz;  // the main window's screen
    bool inBackground = false;              // another application is active, or we are minimised
    double lastFrameSeconds = -1;           // clock at the last drawn frame, negative before the first
    double nextDueSeconds = -1;             // when the next paced frame is due
    bool atRest = false;                    // paused, the camera still: nothing new to draw
    double lastView[kViewNumbers] = {};     // the camera as the last frame left it
};
extern FramePacingStruct framePacing;

// A usable refresh rate from what the screen reports (0, NaN or absurd values fall back).
double UsableRefreshHz(double reported);
// Seconds between frames for this choice and state; 0 means as fast as possible.
// inBackground: another application is active, we are minimised, or the scene is at rest.
double FrameIntervalSeconds(FrameRateChoice choice, double refreshHz, bool inBackground);
// Called as a frame starts with the clock in seconds: tells the push budget how many
// refresh periods' worth of pushes this frame earned (none paced when Unlimited).
void StartPacedFrame(FramePacingStruct& pacing, FrameRateChoice choice, double nowSeconds);
// Called after a frame: seconds to wait before the next one, keeping frames one interval
// apart on average; a late frame moves the schedule rather than bunching frames to catch up.
double SecondsUntilNextFrame(FramePacingStruct& pacing, FrameRateChoice choice, double nowSeconds);
// After a frame: whether the paused scene is at rest (sets pacing.atRest). Compares the
// camera with the previous frame's and looks for anything that would move it next frame.
bool NoteWhetherAtRest(FramePacingStruct& pacing);
