// Worker threads that live as long as the application and run numbered tasks of one job.
// A job hands out task numbers in any order to any thread, so callers that need results
// independent of the thread count make each task's work and output depend on its number only.
#pragma once
#include <cstdint>

using PoolTask = void (*)(void* context, int32_t task);

// Runs task(context, t) for every t in [0, taskCount) on the workers and the calling
// thread; returns when all have finished. Allocates nothing.
void RunPoolTasks(int32_t taskCount, PoolTask task, void* context);

// Threads that run a job, the caller included.
int32_t PoolThreadCount();

// Changes the number of threads (stopping and starting workers); 0 or less restores the default.
void SetPoolThreadCount(int32_t threads);

// GRAVITAS_THREADS when it holds a positive number, otherwise the hardware's thread count.
int32_t DefaultPoolThreadCount();
