// The synthesized event sounds are playable WAV images.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/SoundSynth.h"

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
}  // namespace

TEST(SoundSynth, EachEventSoundIsAShortMonoWavWithSound) {
    for (int16_t id : {kCrashSoundId, kThrustSoundId, kTimedThrustSoundId}) {
        const std::vector<uint8_t> wav = SynthesizeEventSound(id);
        ASSERT_GT(wav.size(), 44u) << id;
        EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
        EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVE", 4), 0);
        EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
        EXPECT_EQ(Le32(wav, 24), kSoundSampleRate);
        EXPECT_EQ(Le32(wav, 40), wav.size() - 44);
        const double seconds = double(wav.size() - 44) / 2 / kSoundSampleRate;
        EXPECT_GT(seconds, 0.05);
        EXPECT_LT(seconds, 0.5);
        // Not silence, and it fades to nearly nothing at the end (no click).
        int peak = 0;
        for (size_t i = 44; i + 1 < wav.size(); i += 2) peak = std::max(peak, std::abs(int(int16_t(wav[i] | wav[i + 1] << 8))));
        EXPECT_GT(peak, 3000) << id;
        const int last = std::abs(int(int16_t(wav[wav.size() - 2] | wav[wav.size() - 1] << 8)));
        EXPECT_LT(last, 2000) << id;
    }
    EXPECT_TRUE(SynthesizeEventSound(128).empty());
    EXPECT_EQ(SynthesizeEventSound(kCrashSoundId), SynthesizeEventSound(kCrashSoundId));
}
