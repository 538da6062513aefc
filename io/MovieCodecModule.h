// The table of functions the movie codec module hands out. FFmpeg and the libraries it
// pulls in (about 140 of them) are mapped only when a movie is really written: the module
// (io/ffmpeg/) is loaded on first use, and a program that never records never pays for it.
// Plain types only across the boundary; errors come back as text for the user.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t kMovieCodecModuleVersion = 1;
constexpr const char* kMovieCodecModuleFile = "gravitas-movie-ffmpeg.so";
constexpr const char* kMovieCodecModuleEntry = "gravitas_movie_codec_module";

struct MovieCodecStream;  // an open encoder and its file
struct MovieCodecScaler;  // a cached frame scaler

struct MovieCodecChoice {
    const char* extension = nullptr;    // ".mp4" or ".webm"; null when FFmpeg can write neither
    const char* description = nullptr;  // "H.264 (MP4)" or "VP9 (WebM)"
};

struct MovieCodecModule {
    int32_t version;
    // The codec a movie named `path` is written with (a ".webm" name asks for VP9).
    MovieCodecChoice (*choose)(const char* path);
    // Starts the encoder for `path` and opens `tempPath` to write it; null with a message.
    MovieCodecStream* (*open)(const char* path, const char* tempPath, int32_t width, int32_t height,
                              int32_t framesPerSecond, char* error, size_t errorSize);
    // One frame of native 0x00RRGGBB pixels of the stream's size, numbered from 0.
    bool (*encode)(MovieCodecStream* stream, const uint32_t* pixels, int32_t rowBytes, int64_t frame,
                   char* error, size_t errorSize);
    // Flushes the encoder, writes the trailer and closes the file.
    bool (*finish)(MovieCodecStream* stream, char* error, size_t errorSize);
    // Frees the stream, closing its file if it is still open.
    void (*close)(MovieCodecStream* stream);
    // Scales 0x00RRGGBB pixels, rebuilding *scaler only when a size changes; false without memory.
    bool (*scale)(MovieCodecScaler** scaler, const uint32_t* src, int32_t srcWidth, int32_t srcHeight,
                  int32_t srcRowBytes, uint32_t* dst, int32_t dstWidth, int32_t dstHeight);
    void (*freeScaler)(MovieCodecScaler* scaler);
};

extern "C" {
using MovieCodecModuleEntry = const MovieCodecModule* (*)();
}
