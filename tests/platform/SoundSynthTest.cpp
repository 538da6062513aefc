// The event sounds against what they are meant to be: their lengths, a fade at the end (and at the start
// of the hiss that repeats), the timed thrust's two tones, and a WAV header true to the samples.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/SoundSynth.h"

namespace {
struct Sound { int16_t id; double seconds, endLimit, startLimit, tone1, tone2; };  // loudness limits, tones in Hz; 0: none
double Rms(const std::vector<int16_t>& s, double from, double to) {  // over fractions of the length
    double sum = 0;
    for (size_t i = size_t(from * double(s.size())); i < size_t(to * double(s.size())); ++i) sum += s[i] * s[i];
    return std::sqrt(sum / ((to - from) * double(s.size())));
}
double Frequency(const std::vector<int16_t>& s, double t0, double t1) {  // from the sign changes
    int changes = 0;
    for (size_t i = size_t(t0 * kSoundSampleRate); i < size_t(t1 * kSoundSampleRate); ++i) changes += (s[i] < 0) != (s[i + 1] < 0);
    return changes / 2.0 / (t1 - t0);
}
size_t Le(const std::vector<uint8_t>& b, size_t at, size_t bytes) { return bytes ? b[at] | Le(b, at + 1, bytes - 1) << 8 : 0; }
void PrintTo(const Sound& sound, std::ostream* out) { *out << "sound " << sound.id; }
class EventSound : public ::testing::TestWithParam<Sound> {};
}  // namespace

TEST_P(EventSound, HasItsLengthAndTonesFadesOutAndIsTheWavItsHeaderSays) {
    const Sound& p = GetParam();
    const std::vector<int16_t> s = SynthesizeEventSamples(p.id);
    ASSERT_NEAR(double(s.size()) / kSoundSampleRate, p.seconds, 1.0 / kSoundSampleRate);
    const double body = Rms(s, 0.25, 0.75);
    EXPECT_GT(body, 1500);
    EXPECT_LT(Rms(s, 0.95, 1.0), p.endLimit * body) << "a click at the end";
    if (p.startLimit) { EXPECT_LT(Rms(s, 0, 0.05), p.startLimit * body) << "repeats would click"; }
    if (p.tone1) { EXPECT_NEAR(Frequency(s, 0.01, 0.12), p.tone1, 0.02 * p.tone1); }
    if (p.tone2) { EXPECT_NEAR(Frequency(s, 0.135, 0.245), p.tone2, 0.02 * p.tone2); }
    const std::vector<uint8_t> wav = SynthesizeEventSound(p.id);
    ASSERT_EQ(wav.size(), 44 + 2 * s.size());
    EXPECT_EQ(std::string(&wav[0], &wav[4]) + std::string(&wav[8], &wav[16]) + std::string(&wav[36], &wav[40]), "RIFFWAVEfmt data");
    // Offset, width, value: sizes, PCM, mono, rate, bytes a second, bytes a sample frame, bits, data size.
    const size_t fields[][3] = {{4, 4, wav.size() - 8}, {16, 4, 16}, {20, 2, 1}, {22, 2, 1}, {24, 4, kSoundSampleRate},
                                {28, 4, 2 * kSoundSampleRate}, {32, 2, 2}, {34, 2, 16}, {40, 4, 2 * s.size()}};
    for (const auto& f : fields) EXPECT_EQ(Le(wav, f[0], f[1]), f[2]) << "at byte " << f[0];
    for (size_t k = 0; k < s.size(); k += 97) EXPECT_EQ(int16_t(Le(wav, 44 + 2 * k, 2)), s[k]) << "sample " << k;
    EXPECT_TRUE(SynthesizeEventSound(int16_t(p.id + 3)).empty() && SynthesizeEventSamples(p.id) == s) << "unknown; a rerun";
}
INSTANTIATE_TEST_SUITE_P(All, EventSound, ::testing::Values(Sound{kCrashSoundId, 0.35, 0.35, 0, 0, 0},
    Sound{kThrustSoundId, 0.12, 0.25, 0.25, 0, 0}, Sound{kTimedThrustSoundId, 0.25, 0.6, 0, 660, 880}));
