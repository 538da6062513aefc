// Records a movie from frames handed over one by one: each frame is copied into
// a bounded queue (scaled to the movie's size when the window's differs) and
// encoded on a worker thread, so encoding never runs inside the frame. When the
// queue is full the caller waits for a slot: no frame is ever dropped.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "io/MovieCodecModule.h"
#include "io/MovieEncoder.h"
#include "platform/Platform.h"

class MovieRecorder {
public:
    static constexpr int kQueueDepth = 6;

    MovieRecorder() = default;
    ~MovieRecorder();  // a recording still running is abandoned
    MovieRecorder(const MovieRecorder&) = delete;
    MovieRecorder& operator=(const MovieRecorder&) = delete;

    // frameLimit 0: until Stop. False with a message for the user.
    bool Start(const std::string& path, const MovieFormat& format, int64_t frameLimit, std::string& error);
    // Queues one frame. False when the encoder has failed (the recording is then abandoned).
    bool AddFrame(const PixelSurface& frame, std::string& error);
    // Waits for the queue to empty and completes the file; false with a message on failure.
    bool Stop(std::string& error);
    void Abandon();

    bool Recording() const { return worker_.joinable(); }
    bool LimitReached() const { return frameLimit_ > 0 && framesAdded_ >= frameLimit_; }
    int64_t FramesAdded() const { return framesAdded_; }
    int64_t FrameLimit() const { return frameLimit_; }
    const MovieFormat& Format() const { return encoder_.Format(); }
    const std::string& Path() const { return encoder_.Path(); }

private:
    void Work();
    bool JoinWorker(std::string& error);

    MovieEncoder encoder_;
    std::vector<std::vector<uint32_t>> slots_;
    const MovieCodecModule* codec_ = nullptr;  // loaded by the encoder's first Open
    MovieCodecScaler* scaler_ = nullptr;
    int64_t frameLimit_ = 0;
    int64_t framesAdded_ = 0;

    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable queued_, freed_;
    int head_ = 0, count_ = 0;  // guarded by mutex_
    bool closing_ = false;
    bool failed_ = false;
    std::string failure_;
};
