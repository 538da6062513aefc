// Writing a movie file frame by frame: H.264 in MP4 when the system's FFmpeg
// has an H.264 encoder, otherwise (or for a file named .webm) VP9 in WebM. The
// target is checked as every replaced file is (links followed, only a writable
// regular file replaced); the movie is written under a temporary name beside it
// and renamed only when complete, so a failed recording leaves nothing behind.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

struct MovieFormat {
    int32_t width = 640;   // rounded down to even numbers (4:2:0 video)
    int32_t height = 480;
    int32_t framesPerSecond = 30;
};

// "H.264 (MP4)" or "VP9 (WebM)", as this system's FFmpeg can write; empty when it can write neither.
std::string MovieCodecDescription();
// The path the movie will really be written to: `path` itself, or with ".webm" in place of
// its extension when only the VP9 encoder is available. A ".webm" path is written as VP9.
std::string MoviePathFor(const std::string& path);

class MovieEncoder {
public:
    MovieEncoder();
    ~MovieEncoder();  // an unfinished movie is abandoned: its temporary file is removed
    MovieEncoder(const MovieEncoder&) = delete;
    MovieEncoder& operator=(const MovieEncoder&) = delete;

    // Opens the temporary file and the encoder; false with a message for the user.
    bool Open(const std::string& path, const MovieFormat& format, std::string& error);
    // Encodes one frame of native 0x00RRGGBB pixels of exactly the movie's size.
    bool Encode(const uint32_t* pixels, int32_t rowBytes, std::string& error);
    // Flushes the encoder, completes the file and gives it its name.
    bool Finish(std::string& error);
    // Drops the temporary file.
    void Abandon();

    const MovieFormat& Format() const;
    const std::string& Path() const;  // where the finished movie goes
    int64_t FramesWritten() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};
