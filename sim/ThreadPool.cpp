#include "sim/ThreadPool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int32_t kMaxPoolThreads = 256;

class Pool {
public:
    explicit Pool(int32_t threads) { Start(threads); }
    ~Pool() { Stop(); }

    int32_t Threads() const { return int32_t(workers_.size()) + 1; }

    void Resize(int32_t threads) {
        Stop();
        Start(threads);
    }

    void Run(int32_t taskCount, PoolTask task, void* context) {
        if (workers_.empty() || taskCount <= 1) {
            for (int32_t t = 0; t < taskCount; ++t) task(context, t);
            return;
        }
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // A worker that woke after the last job ended may still be looking at its counter.
            while (busy_.load(std::memory_order_acquire) != 0) {
                lock.unlock();
                std::this_thread::yield();
                lock.lock();
            }
            task_ = task;
            context_ = context;
            taskCount_ = taskCount;
            next_.store(0, std::memory_order_relaxed);
            done_.store(0, std::memory_order_relaxed);
            ++generation_;
        }
        wake_.notify_all();
        Work();
        while (done_.load(std::memory_order_acquire) < taskCount) std::this_thread::yield();
    }

private:
    void Start(int32_t threads) {
        stopping_ = false;
        threads = std::clamp(threads, 1, kMaxPoolThreads);
        workers_.reserve(size_t(threads - 1));
        // Workers count jobs from now, so one that starts late still joins the first job.
        const uint64_t now = generation_;
        for (int32_t t = 1; t < threads; ++t) workers_.emplace_back([this, now] { WorkerLoop(now); });
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread& w : workers_) w.join();
        workers_.clear();
    }

    void WorkerLoop(uint64_t seen) {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
                if (stopping_) return;
                seen = generation_;
                busy_.fetch_add(1, std::memory_order_relaxed);
            }
            Work();
            busy_.fetch_sub(1, std::memory_order_release);
        }
    }

    void Work() {
        for (;;) {
            int32_t t = next_.fetch_add(1, std::memory_order_relaxed);
            if (t >= taskCount_) return;
            task_(context_, t);
            done_.fetch_add(1, std::memory_order_release);
        }
    }

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t generation_ = 0;
    bool stopping_ = false;
    PoolTask task_ = nullptr;
    void* context_ = nullptr;
    int32_t taskCount_ = 0;
    std::atomic<int32_t> next_{0}, done_{0}, busy_{0};
};

Pool& ThePool() {
    static Pool pool(DefaultPoolThreadCount());
    return pool;
}

}  // namespace

int32_t DefaultPoolThreadCount() {
    if (const char* env = std::getenv("GRAVITAS_THREADS")) {
        long n = std::strtol(env, nullptr, 10);
        if (n > 0) return int32_t(std::min<long>(n, kMaxPoolThreads));
    }
    unsigned hw = std::thread::hardware_concurrency();
    return hw ? int32_t(std::min<unsigned>(hw, kMaxPoolThreads)) : 1;
}

void RunPoolTasks(int32_t taskCount, PoolTask task, void* context) { ThePool().Run(taskCount, task, context); }

int32_t PoolThreadCount() { return ThePool().Threads(); }

void SetPoolThreadCount(int32_t threads) { ThePool().Resize(threads > 0 ? threads : DefaultPoolThreadCount()); }
