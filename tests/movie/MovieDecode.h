// Reads a movie (or picture) back with libavformat/libavcodec: codec, size, rate,
// frame count, and the first frame as native 0x00RRGGBB pixels.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <cmath>
#include <string>
#include <vector>

struct DecodedMovie {  // no frames when the file cannot be read
    std::string codec;
    int width = 0, height = 0, frames = 0;  // of the first frame
    double framesPerSecond = 0;
    std::vector<uint32_t> first;
};

inline DecodedMovie DecodeMovie(const std::string& path) {
    DecodedMovie out;
    AVFormatContext* in = nullptr;
    const AVCodec* decoder = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return out;
    const int index = avformat_find_stream_info(in, nullptr) < 0 ? -1 : av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) return avformat_close_input(&in), out;
    AVCodecContext* c = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(c, in->streams[index]->codecpar);
    c->thread_count = 1;
    avcodec_open2(c, decoder, nullptr);
    out.codec = decoder->name;
    out.framesPerSecond = av_q2d(in->streams[index]->avg_frame_rate);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto receive = [&] {
        for (; avcodec_receive_frame(c, frame) == 0; ++out.frames) {
            if (out.frames > 0) continue;
            out.width = frame->width, out.height = frame->height;
            out.first.resize(size_t(frame->width) * size_t(frame->height) + 64);  // swscale may overrun a little
            SwsContext* s = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                           frame->height, AV_PIX_FMT_0RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
            uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(out.first.data())};
            const int stride[1] = {frame->width * 4};
            sws_scale(s, frame->data, frame->linesize, 0, frame->height, dst, stride);
            sws_freeContext(s);
            out.first.resize(size_t(frame->width) * size_t(frame->height));
        }
    };
    for (; av_read_frame(in, packet) >= 0; av_packet_unref(packet))
        if (packet->stream_index == index && avcodec_send_packet(c, packet) >= 0) receive();
    avcodec_send_packet(c, nullptr), receive();
    av_frame_free(&frame), av_packet_free(&packet), avcodec_free_context(&c), avformat_close_input(&in);
    return out;
}

// Peak signal-to-noise ratio of b against a over the three channels, in dB.
inline double Psnr(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {16, 8, 0}) sum += std::pow(double((a[i] >> shift) & 255) - double((b[i] >> shift) & 255), 2);
    return sum == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * 3.0 * double(a.size()) / sum);
}
