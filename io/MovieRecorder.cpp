#include "io/MovieRecorder.h"

#include <algorithm>
#include <cstring>

#include "io/MovieCodecLoader.h"

namespace {
constexpr size_t kScalerSlack = 64;  // pixels
}

MovieRecorder::~MovieRecorder() {
    Abandon();
    if (scaler_) codec_->freeScaler(scaler_);
}

bool MovieRecorder::Start(const std::string& path, const MovieFormat& format, int64_t frameLimit,
                          std::string& error) {
    Abandon();
    if (frameLimit < 0) {
        error = "The length of a movie cannot be negative.";
        return false;
    }
    if (!encoder_.Open(path, format, error)) return false;
    codec_ = MovieCodecModuleOrError(error);  // loaded, or Open would have failed
    const MovieFormat& f = encoder_.Format();
    try {
        // swscale's vector code may store a little past the last pixel: room for that.
        slots_.assign(kQueueDepth, std::vector<uint32_t>(size_t(f.width) * size_t(f.height) + kScalerSlack));
    } catch (const std::bad_alloc&) {
        encoder_.Abandon();
        error = "No memory for the movie's frame queue.";
        return false;
    }
    frameLimit_ = frameLimit;
    framesAdded_ = 0;
    head_ = count_ = 0;
    closing_ = failed_ = false;
    failure_.clear();
    worker_ = std::thread(&MovieRecorder::Work, this);
    return true;
}

bool MovieRecorder::AddFrame(const PixelSurface& frame, std::string& error) {
    if (!Recording()) {
        error = "No movie is being recorded.";
        return false;
    }
    if (!frame.base || frame.width <= 0 || frame.height <= 0) return true;  // nothing drawn yet
    std::unique_lock<std::mutex> lock(mutex_);
    freed_.wait(lock, [this] { return count_ < kQueueDepth || failed_; });
    if (failed_) {
        error = failure_;
        lock.unlock();
        Abandon();
        return false;
    }
    std::vector<uint32_t>& slot = slots_[size_t((head_ + count_) % kQueueDepth)];
    lock.unlock();  // the slot is ours until it is counted in

    const MovieFormat& f = encoder_.Format();
    const int32_t padRight = f.width - frame.width, padBottom = f.height - frame.height;
    if (padRight >= 0 && padRight <= 1 && padBottom >= 0 && padBottom <= 1) {
        // The picture itself, padded with black to the even size codecs need.
        for (int32_t y = 0; y < f.height; ++y) {
            uint32_t* row = slot.data() + size_t(y) * size_t(f.width);
            if (y < frame.height)
                std::memcpy(row, reinterpret_cast<const uint8_t*>(frame.base) + size_t(y) * size_t(frame.rowBytes),
                            size_t(frame.width) * 4);
            std::fill(row + (y < frame.height ? frame.width : 0), row + f.width, 0u);
        }
    } else {
        // The window's size is not the movie's: scale (the context is rebuilt only when the size changes).
        if (!codec_->scale(&scaler_, static_cast<const uint32_t*>(frame.base), frame.width, frame.height,
                           frame.rowBytes, slot.data(), f.width, f.height)) {
            error = "No memory to scale the frame to the movie's size.";
            Abandon();
            return false;
        }
    }
    lock.lock();
    ++count_;
    lock.unlock();
    queued_.notify_one();
    ++framesAdded_;
    return true;
}

void MovieRecorder::Work() {
    const int32_t rowBytes = encoder_.Format().width * 4;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        queued_.wait(lock, [this] { return count_ > 0 || closing_; });
        if (count_ == 0) return;  // closing and nothing left
        const std::vector<uint32_t>& slot = slots_[size_t(head_)];
        lock.unlock();
        std::string error;
        const bool ok = encoder_.Encode(slot.data(), rowBytes, error);
        lock.lock();
        head_ = (head_ + 1) % kQueueDepth;
        --count_;
        if (!ok) {
            failed_ = true;
            failure_ = error;
            count_ = 0;
        }
        lock.unlock();
        freed_.notify_one();
        if (!ok) return;
    }
}

bool MovieRecorder::JoinWorker(std::string& error) {
    if (!worker_.joinable()) return true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    queued_.notify_one();
    worker_.join();
    if (failed_) error = failure_;
    return !failed_;
}

bool MovieRecorder::Stop(std::string& error) {
    if (!Recording()) {
        error = "No movie is being recorded.";
        return false;
    }
    if (!JoinWorker(error)) {
        encoder_.Abandon();
        return false;
    }
    if (framesAdded_ == 0) {
        encoder_.Abandon();
        error = "The movie has no frames; nothing was saved.";
        return false;
    }
    return encoder_.Finish(error);
}

void MovieRecorder::Abandon() {
    std::string ignored;
    JoinWorker(ignored);
    encoder_.Abandon();
}
