#include "io/MovieEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <filesystem>
#include <unistd.h>

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
CodecChoice ChooseCodec(const std::string& path = "") {
    if (std::filesystem::path(path).extension() == ".webm" && Vp9().codec) return Vp9();
    if (const AVCodec* c = avcodec_find_encoder_by_name("libx264")) return {c, "mp4", ".mp4", "H.264 (MP4)"};
    return Vp9();
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

std::string MovieCodecDescription() {
    const CodecChoice choice = ChooseCodec();
    return choice.codec ? choice.description : "";
}

std::string MoviePathFor(const std::string& path) {
    const CodecChoice choice = ChooseCodec(path);
    if (!choice.codec || std::string(choice.extension) == ".mp4") return path;
    return std::filesystem::path(path).replace_extension(choice.extension).string();
}

struct MovieEncoder::State {
    MovieFormat format;
    std::string path, tempPath;
    AVFormatContext* muxer = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* toYuv = nullptr;
    int64_t frames = 0;
    bool fileOpen = false;

    ~State() {
        sws_freeContext(toYuv);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (muxer) {
            if (fileOpen) avio_closep(&muxer->pb);
            avformat_free_context(muxer);
        }
    }

    // Sends one frame (or the end, for null) and writes every packet that comes out.
    bool Drain(AVFrame* in, std::string& error) {
        int rc = avcodec_send_frame(codec, in);
        if (rc < 0) {
            error = "The movie encoder refused a frame (" + AvError(rc) + ").";
            return false;
        }
        for (;;) {
            rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) {
                error = "The movie encoder failed (" + AvError(rc) + ").";
                return false;
            }
            if (packet->duration == 0) packet->duration = 1;  // one frame, so players see the true rate
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            rc = av_interleaved_write_frame(muxer, packet);
            if (rc < 0 || (muxer->pb && muxer->pb->error < 0)) {
                error = "The movie could not be written (" + AvError(rc < 0 ? rc : muxer->pb->error) +
                        "); is the disk full?";
                return false;
            }
        }
    }
};

MovieEncoder::MovieEncoder() = default;

MovieEncoder::~MovieEncoder() { Abandon(); }

const MovieFormat& MovieEncoder::Format() const {
    static const MovieFormat none;
    return s_ ? s_->format : none;
}
const std::string& MovieEncoder::Path() const {
    static const std::string none;
    return s_ ? s_->path : none;
}
int64_t MovieEncoder::FramesWritten() const { return s_ ? s_->frames : 0; }

bool MovieEncoder::Open(const std::string& requestedPath, const MovieFormat& requested, std::string& error) {
    Abandon();
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are not for the user's terminal
    const CodecChoice choice = ChooseCodec(requestedPath);
    if (!choice.codec) {
        error = "This system's FFmpeg has neither an H.264 nor a VP9 encoder.";
        return false;
    }
    MovieFormat format = requested;
    format.width &= ~1;
    format.height &= ~1;
    if (format.width < 16 || format.height < 16 || format.width > 8192 || format.height > 8192) {
        error = "A movie frame is 16 to 8192 pixels wide and high.";
        return false;
    }
    if (format.framesPerSecond < 1 || format.framesPerSecond > 240) {
        error = "The frame rate must be 1 to 240 frames per second.";
        return false;
    }
    auto s = std::make_unique<State>();
    s->format = format;
    s->path = MoviePathFor(requestedPath);
    namespace fs = std::filesystem;
    const fs::path target(s->path);
    if (target.filename().empty()) {
        error = "\"" + s->path + "\" does not name a file.";
        return false;
    }
    // Hidden, beside the target: the final rename stays within one file system.
    s->tempPath = (target.parent_path() / ("." + target.filename().string() + ".part-" + std::to_string(getpid())))
                      .string();

    if (avformat_alloc_output_context2(&s->muxer, nullptr, choice.container, s->tempPath.c_str()) < 0 || !s->muxer) {
        error = "FFmpeg cannot write " + std::string(choice.container) + " files.";
        return false;
    }
    s->codec = avcodec_alloc_context3(choice.codec);
    s->frame = av_frame_alloc();
    s->packet = av_packet_alloc();
    if (!s->codec || !s->frame || !s->packet) {
        error = "No memory for the movie encoder.";
        return false;
    }
    AVCodecContext* c = s->codec;
    c->width = format.width;
    c->height = format.height;
    c->time_base = AVRational{1, format.framesPerSecond};
    c->framerate = AVRational{format.framesPerSecond, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = 2 * format.framesPerSecond;
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
    if (rc < 0) {
        error = "The movie encoder could not start (" + AvError(rc) + ").";
        return false;
    }
    s->stream = avformat_new_stream(s->muxer, nullptr);
    if (!s->stream || avcodec_parameters_from_context(s->stream->codecpar, c) < 0) {
        error = "No memory for the movie stream.";
        return false;
    }
    s->stream->time_base = c->time_base;
    s->frame->format = c->pix_fmt;
    s->frame->width = c->width;
    s->frame->height = c->height;
    if (av_frame_get_buffer(s->frame, 0) < 0) {
        error = "No memory for a movie frame.";
        return false;
    }
    s->toYuv = sws_getContext(format.width, format.height, AV_PIX_FMT_0RGB32, format.width, format.height,
                              AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s->toYuv) {
        error = "No memory for the colour conversion.";
        return false;
    }
    rc = avio_open(&s->muxer->pb, s->tempPath.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) {
        error = "Cannot write the movie \"" + s->path + "\" (" + AvError(rc) + ").";
        return false;
    }
    s->fileOpen = true;
    s_ = std::move(s);
    rc = avformat_write_header(s_->muxer, nullptr);
    if (rc < 0) {
        error = "Cannot write the movie \"" + s_->path + "\" (" + AvError(rc) + ").";
        Abandon();
        return false;
    }
    return true;
}

bool MovieEncoder::Encode(const uint32_t* pixels, int32_t rowBytes, std::string& error) {
    if (!s_) {
        error = "No movie is being written.";
        return false;
    }
    if (av_frame_make_writable(s_->frame) < 0) {
        error = "No memory for a movie frame.";
        return false;
    }
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(pixels)};
    const int stride[1] = {rowBytes};
    sws_scale(s_->toYuv, src, stride, 0, s_->format.height, s_->frame->data, s_->frame->linesize);
    s_->frame->pts = s_->frames;
    if (!s_->Drain(s_->frame, error)) return false;
    ++s_->frames;
    return true;
}

bool MovieEncoder::Finish(std::string& error) {
    if (!s_) {
        error = "No movie is being written.";
        return false;
    }
    bool ok = s_->Drain(nullptr, error);
    if (ok) {
        const int rc = av_write_trailer(s_->muxer);
        if (rc < 0 || s_->muxer->pb->error < 0) {
            error = "The movie could not be completed (" + AvError(rc < 0 ? rc : s_->muxer->pb->error) +
                    "); is the disk full?";
            ok = false;
        }
    }
    if (ok) {
        avio_flush(s_->muxer->pb);
        const int rc = avio_closep(&s_->muxer->pb);
        s_->fileOpen = false;
        if (rc < 0) {
            error = "The movie could not be completed (" + AvError(rc) + "); is the disk full?";
            ok = false;
        }
    }
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(s_->tempPath, s_->path, ec);
        if (ec) {
            error = "The movie could not be named \"" + s_->path + "\" (" + ec.message() + ").";
            ok = false;
        }
    }
    if (!ok) {
        Abandon();
        return false;
    }
    s_->tempPath.clear();
    return true;
}

void MovieEncoder::Abandon() {
    if (!s_) return;
    const std::string temp = s_->tempPath;
    s_.reset();  // closes the file first
    if (!temp.empty()) std::remove(temp.c_str());
}
