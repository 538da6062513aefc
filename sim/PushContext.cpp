#include "sim/PushContext.h"

namespace {
const PushContextStruct liveContext{&set, &rt.pushCount, &rt.substepsLastPush};
thread_local const PushContextStruct* threadContext = nullptr;
}  // namespace

const PushContextStruct& PushContext() { return threadContext ? *threadContext : liveContext; }

void SetThreadPushContext(const PushContextStruct* ctx) { threadContext = ctx; }
