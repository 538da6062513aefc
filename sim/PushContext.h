// The settings and counters a push reads and writes. The live run's are `set` and `rt`;
// a worker that pushes its own copy of the system (the flight prediction) installs its
// own for its thread, so the same push code runs on both and neither disturbs the other.
// The scratch memory and histories of the push code are kept per thread for the same reason.
#pragma once
#include <cstdint>

#include "core/Records.h"

struct PushContextStruct {
    const SettingsStruct* settings;  // physics: law, G, time step, method, relativity
    const int64_t* pushCount;        // pushes done since the state was built
    int32_t* substepsLastPush;       // written by the adaptive method
};

// The calling thread's context: set and rt unless the thread installed its own.
const PushContextStruct& PushContext();
inline const SettingsStruct& PushSettings() { return *PushContext().settings; }
// Installs ctx for the calling thread; nullptr goes back to set and rt.
void SetThreadPushContext(const PushContextStruct* ctx);
