#include "platform/SoundSynth.h"

#include <cmath>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

std::vector<uint8_t> Wav(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kSoundSampleRate);
    Put32(out, kSoundSampleRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (int16_t s : samples) Put16(out, uint16_t(s));
    return out;
}

// A deterministic noise source, so the sounds are the same on every run.
struct Noise {
    uint32_t state = 0x12345678u;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24) * 2.0 - 1.0;
    }
};

int16_t Sample(double v) { return int16_t(std::lround(std::fmax(-1.0, std::fmin(1.0, v)) * 32000.0)); }

}  // namespace

std::vector<int16_t> SynthesizeEventSamples(int16_t id) {
    const double rate = kSoundSampleRate;
    std::vector<int16_t> s;
    Noise noise;
    switch (id) {
        case kCrashSoundId: {  // a low thud with a crackle: 0.35 s
            const size_t n = size_t(0.35 * rate);
            for (size_t i = 0; i < n; ++i) {
                const double t = double(i) / rate;
                const double thud = std::sin(2 * M_PI * (90.0 - 60.0 * t) * t) * std::exp(-9.0 * t);
                s.push_back(Sample(0.7 * thud + 0.35 * noise.Next() * std::exp(-14.0 * t)));
            }
            break;
        }
        case kThrustSoundId: {  // a short soft hiss: 0.12 s, shaped so repeats join smoothly
            const size_t n = size_t(0.12 * rate);
            double low = 0.0;
            for (size_t i = 0; i < n; ++i) {
                low += 0.15 * (noise.Next() - low);
                const double envelope = std::sin(M_PI * double(i) / double(n));
                s.push_back(Sample(0.5 * low * envelope));
            }
            break;
        }
        case kTimedThrustSoundId: {  // two rising tones: 0.25 s
            const size_t n = size_t(0.25 * rate);
            for (size_t i = 0; i < n; ++i) {
                const double t = double(i) / rate;
                const double f = t < 0.125 ? 660.0 : 880.0;
                const double local = t < 0.125 ? t : t - 0.125;
                const double envelope = std::fmin(1.0, local * 200.0) * std::exp(-12.0 * local);
                s.push_back(Sample(0.45 * std::sin(2 * M_PI * f * t) * envelope));
            }
            break;
        }
        default: return {};
    }
    return s;
}

std::vector<uint8_t> SynthesizeEventSound(int16_t id) {
    const std::vector<int16_t> samples = SynthesizeEventSamples(id);
    return samples.empty() ? std::vector<uint8_t>() : Wav(samples);
}
