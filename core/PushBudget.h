// How many pushes one frame may run. A frame asks for pushesPerFrame pushes
// (a batch); when they would take longer than the frame's time budget the
// frame stops early and the rest of the batch carries over to the next
// frames, so the window keeps answering the user however large the batch is.
// The pushes themselves are the same ones in the same order: only their
// spreading over frames changes.
#pragma once
#include <cstdint>
#include <limits>

// What the interactive window allows a frame for pushing; headless runs keep
// no budget, so their results never depend on the machine's speed.
constexpr double kInteractivePushSeconds = 0.05;

struct PushBudgetStruct {
    int64_t owed = 0;  // pushes of the current batch not yet run
    // Wall time one frame may spend pushing.
    double frameSeconds = std::numeric_limits<double>::infinity();
    // Pushes per second of wall time, measured over about a second of running.
    int64_t countedPushes = 0;
    double countedSeconds = 0;
    double pushesPerSecond = 0;
    // Paced frames (core/FramePacing.h): refresh periods' worth of batches the time since
    // the last drawn frame earned, taken by the frame's first push stage; negative when
    // every frame asks for one batch (unlimited frames, headless runs).
    double pacedFrames = -1;
    double pushCredit = 0;  // fractions of a push earned and not yet run
    double mostOwedFrames = 15;  // paced pushes owed never exceed this many batches
};
extern PushBudgetStruct pushBudget;

// Opens this frame's pushing: starts a new batch when the last one is done
// (a smaller pushesPerFrame also cuts a running batch) and starts the clock.
// Paced, the frame adds the pushes its time earned to what is owed instead.
// Returns how many pushes the stage may try (the rest of the batch).
int32_t BeginPushes(int32_t pushesPerFrame);
// Whether the frame's time is spent after `done` pushes of this stage; the
// first push always runs, so every frame makes progress.
bool PushTimeUp(int32_t done);
// Closes this frame's pushing after `run` pushes.
void EndPushes(int32_t run);
// True when the batch is complete (the trail then takes its snapshot).
bool PushBatchDone();
// The rest of the batch is not run (Escape, a collision that stops or merges).
void DropPushBatch();
// Measured pushes per second, 0 until a measurement exists.
double PushesPerSecond();
