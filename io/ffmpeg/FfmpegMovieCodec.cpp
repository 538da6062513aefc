// The movie codec module: H.264 in MP4 or VP9 in WebM through Debian's FFmpeg libraries,
// and the frame scaler. Built as a loadable module so FFmpeg is mapped only by a process
// that records a movie; io/MovieEncoder.cpp keeps the checks, file naming and clean-up.
#include "io/MovieCodecModule.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <filesystem>
#include <string>

struct MovieCodecStream {
    AVFormatContext* muxer = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* toYuv = nullptr;
    std::string path;  // the finished movie's name, for messages
    bool fileOpen = false;

    ~MovieCodecStream() {
        sws_freeContext(toYuv);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (muxer) {
            if (fileOpen) avio_closep(&muxer->pb);
            avformat_free_context(muxer);
        }
    }
};

namespace {

struct CodecChoice {
    const AVCodec* codec = nullptr;
    const char* container = nullptr;  // FFmpeg muxer name
    const char* extension = nullptr;
    const char* description = nullptr;
};

CodecChoice Vp9() {
    if (const AVCodec* c = avcodec_find_encoder_by_name("libvpx-vp9")) return {c, "webm", ".webm", "VP9 (WebM)"};
    return {};
}

// H.264 first: every player and editor reads MP4/H.264. Debian's FFmpeg is built
// with libx264; VP9 (libvpx, always in Debian's build) in WebM is the fallback,
// and the choice when the user names a .webm file.
CodecChoice ChooseCodec(const char* path) {
    if (std::filesystem::path(path).extension() == ".webm" && Vp9().codec) return Vp9();
    if (const AVCodec* c = avcodec_find_encoder_by_name("libx264")) return {c, "mp4", ".mp4", "H.264 (MP4)"};
    return Vp9();
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

bool Fail(const std::string& message, char* error, size_t errorSize) {
    std::snprintf(error, errorSize, "%s", message.c_str());
    return false;
}

// Sends one frame (or the end, for null) and writes every packet that comes out.
bool Drain(MovieCodecStream* s, AVFrame* in, char* error, size_t errorSize) {
    int rc = avcodec_send_frame(s->codec, in);
    if (rc < 0) return Fail("The movie encoder refused a frame (" + AvError(rc) + ").", error, errorSize);
    for (;;) {
        rc = avcodec_receive_packet(s->codec, s->packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
        if (rc < 0) return Fail("The movie encoder failed (" + AvError(rc) + ").", error, errorSize);
        if (s->packet->duration == 0) s->packet->duration = 1;  // one frame, so players see the true rate
        av_packet_rescale_ts(s->packet, s->codec->time_base, s->stream->time_base);
        s->packet->stream_index = s->stream->index;
        rc = av_interleaved_write_frame(s->muxer, s->packet);
        if (rc < 0 || (s->muxer->pb && s->muxer->pb->error < 0))
            return Fail("The movie could not be written (" + AvError(rc < 0 ? rc : s->muxer->pb->error) +
                            "); is the disk full?",
                        error, errorSize);
    }
}

MovieCodecChoice Choose(const char* path) {
    const CodecChoice c = ChooseCodec(path);
    if (!c.codec) return {};
    return {c.extension, c.description};
}

bool OpenInto(MovieCodecStream* s, const char* path, const char* tempPath, int32_t width, int32_t height,
              int32_t framesPerSecond, char* error, size_t errorSize) {
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are not for the user's terminal
    const CodecChoice choice = ChooseCodec(path);
    if (!choice.codec) return Fail("This system's FFmpeg has neither an H.264 nor a VP9 encoder.", error, errorSize);
    s->path = path;
    if (avformat_alloc_output_context2(&s->muxer, nullptr, choice.container, tempPath) < 0 || !s->muxer)
        return Fail("FFmpeg cannot write " + std::string(choice.container) + " files.", error, errorSize);
    s->codec = avcodec_alloc_context3(choice.codec);
    s->frame = av_frame_alloc();
    s->packet = av_packet_alloc();
    if (!s->codec || !s->frame || !s->packet) return Fail("No memory for the movie encoder.", error, errorSize);
    AVCodecContext* c = s->codec;
    c->width = width;
    c->height = height;
    c->time_base = AVRational{1, framesPerSecond};
    c->framerate = AVRational{framesPerSecond, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = 2 * framesPerSecond;
    // One thread: the bytes of the movie must not depend on the machine's core count.
    c->thread_count = 1;
    if (s->muxer->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (choice.codec->id == AV_CODEC_ID_H264) {
        av_opt_set(c->priv_data, "preset", "veryfast", 0);
        av_opt_set(c->priv_data, "crf", "18", 0);
    } else {
        c->bit_rate = 0;
        av_opt_set(c->priv_data, "crf", "24", 0);
        av_opt_set(c->priv_data, "deadline", "realtime", 0);
        av_opt_set(c->priv_data, "cpu-used", "8", 0);
    }
    int rc = avcodec_open2(c, choice.codec, nullptr);
    if (rc < 0) return Fail("The movie encoder could not start (" + AvError(rc) + ").", error, errorSize);
    s->stream = avformat_new_stream(s->muxer, nullptr);
    if (!s->stream || avcodec_parameters_from_context(s->stream->codecpar, c) < 0)
        return Fail("No memory for the movie stream.", error, errorSize);
    s->stream->time_base = c->time_base;
    s->frame->format = c->pix_fmt;
    s->frame->width = c->width;
    s->frame->height = c->height;
    if (av_frame_get_buffer(s->frame, 0) < 0) return Fail("No memory for a movie frame.", error, errorSize);
    s->toYuv = sws_getContext(width, height, AV_PIX_FMT_0RGB32, width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR,
                              nullptr, nullptr, nullptr);
    if (!s->toYuv) return Fail("No memory for the colour conversion.", error, errorSize);
    rc = avio_open(&s->muxer->pb, tempPath, AVIO_FLAG_WRITE);
    if (rc < 0) return Fail("Cannot write the movie \"" + s->path + "\" (" + AvError(rc) + ").", error, errorSize);
    s->fileOpen = true;
    rc = avformat_write_header(s->muxer, nullptr);
    if (rc < 0) return Fail("Cannot write the movie \"" + s->path + "\" (" + AvError(rc) + ").", error, errorSize);
    return true;
}

MovieCodecStream* Open(const char* path, const char* tempPath, int32_t width, int32_t height,
                       int32_t framesPerSecond, char* error, size_t errorSize) {
    auto* s = new (std::nothrow) MovieCodecStream;
    if (!s) {
        Fail("No memory for the movie encoder.", error, errorSize);
        return nullptr;
    }
    if (!OpenInto(s, path, tempPath, width, height, framesPerSecond, error, errorSize)) {
        delete s;
        return nullptr;
    }
    return s;
}

bool Encode(MovieCodecStream* s, const uint32_t* pixels, int32_t rowBytes, int64_t frame, char* error,
            size_t errorSize) {
    if (av_frame_make_writable(s->frame) < 0) return Fail("No memory for a movie frame.", error, errorSize);
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(pixels)};
    const int stride[1] = {rowBytes};
    sws_scale(s->toYuv, src, stride, 0, s->codec->height, s->frame->data, s->frame->linesize);
    s->frame->pts = frame;
    return Drain(s, s->frame, error, errorSize);
}

bool Finish(MovieCodecStream* s, char* error, size_t errorSize) {
    if (!Drain(s, nullptr, error, errorSize)) return false;
    int rc = av_write_trailer(s->muxer);
    if (rc < 0 || s->muxer->pb->error < 0)
        return Fail("The movie could not be completed (" + AvError(rc < 0 ? rc : s->muxer->pb->error) +
                        "); is the disk full?",
                    error, errorSize);
    avio_flush(s->muxer->pb);
    rc = avio_closep(&s->muxer->pb);
    s->fileOpen = false;
    if (rc < 0) return Fail("The movie could not be completed (" + AvError(rc) + "); is the disk full?", error, errorSize);
    return true;
}

void Close(MovieCodecStream* s) { delete s; }

bool Scale(MovieCodecScaler** scaler, const uint32_t* src, int32_t srcWidth, int32_t srcHeight, int32_t srcRowBytes,
           uint32_t* dst, int32_t dstWidth, int32_t dstHeight) {
    SwsContext* context = sws_getCachedContext(reinterpret_cast<SwsContext*>(*scaler), srcWidth, srcHeight,
                                               AV_PIX_FMT_0RGB32, dstWidth, dstHeight, AV_PIX_FMT_0RGB32,
                                               SWS_BICUBIC, nullptr, nullptr, nullptr);
    *scaler = reinterpret_cast<MovieCodecScaler*>(context);
    if (!context) return false;
    const uint8_t* srcPlanes[1] = {reinterpret_cast<const uint8_t*>(src)};
    const int srcStride[1] = {srcRowBytes};
    uint8_t* dstPlanes[1] = {reinterpret_cast<uint8_t*>(dst)};
    const int dstStride[1] = {dstWidth * 4};
    sws_scale(context, srcPlanes, srcStride, 0, srcHeight, dstPlanes, dstStride);
    return true;
}

void FreeScaler(MovieCodecScaler* scaler) { sws_freeContext(reinterpret_cast<SwsContext*>(scaler)); }

const MovieCodecModule kModule = {kMovieCodecModuleVersion, Choose, Open, Encode, Finish, Close, Scale, FreeScaler};

}  // namespace

extern "C" __attribute__((visibility("default"))) const MovieCodecModule* gravitas_movie_codec_module() {
    return &kModule;
}
