#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "sim/ThreadPool.h"

namespace {

struct Counts {
    std::vector<std::atomic<int>> runs;
    explicit Counts(size_t n) : runs(n) {}
};

void CountRun(void* context, int32_t task) {
    auto* c = static_cast<Counts*>(context);
    c->runs[size_t(task)].fetch_add(1);
}

TEST(ThreadPool, EveryTaskRunsExactlyOnceWhateverTheThreadCount) {
    for (int32_t threads : {1, 2, 3, 5}) {
        SetPoolThreadCount(threads);
        EXPECT_EQ(PoolThreadCount(), threads);
        for (int32_t tasks : {0, 1, 2, 7, 100}) {
            for (int job = 0; job < 20; ++job) {
                Counts c{static_cast<size_t>(tasks)};
                RunPoolTasks(tasks, CountRun, &c);
                for (int32_t t = 0; t < tasks; ++t) ASSERT_EQ(c.runs[size_t(t)].load(), 1) << threads << " " << tasks;
            }
        }
    }
    SetPoolThreadCount(0);
    EXPECT_EQ(PoolThreadCount(), DefaultPoolThreadCount());
}

struct Runners {
    std::mutex mutex;
    std::set<std::thread::id> ids;
};

void NoteRunnerAndWait(void* context, int32_t) {
    auto* r = static_cast<Runners*>(context);
    {
        std::lock_guard<std::mutex> lock(r->mutex);
        r->ids.insert(std::this_thread::get_id());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

TEST(ThreadPool, WorkersShareTheTasks) {
    SetPoolThreadCount(3);
    Runners r;
    RunPoolTasks(60, NoteRunnerAndWait, &r);
    EXPECT_GE(r.ids.size(), 2u);
    SetPoolThreadCount(0);
}

TEST(ThreadPool, EnvironmentOverridesTheHardwareCount) {
    const char* old = std::getenv("GRAVITAS_THREADS");
    std::string saved = old ? old : "";
    setenv("GRAVITAS_THREADS", "3", 1);
    EXPECT_EQ(DefaultPoolThreadCount(), 3);
    setenv("GRAVITAS_THREADS", "junk", 1);
    unsigned hw = std::thread::hardware_concurrency();
    EXPECT_EQ(DefaultPoolThreadCount(), hw ? int32_t(hw) : 1);
    setenv("GRAVITAS_THREADS", "-4", 1);
    EXPECT_EQ(DefaultPoolThreadCount(), hw ? int32_t(hw) : 1);
    if (old) setenv("GRAVITAS_THREADS", saved.c_str(), 1);
    else unsetenv("GRAVITAS_THREADS");
}

}  // namespace
