// The three event sounds, made at start-up instead of shipped as files:
// short mono 16-bit sounds, played from memory.
#pragma once
#include <cstdint>
#include <vector>

constexpr int16_t kCrashSoundId = 129;
constexpr int16_t kThrustSoundId = 130;
constexpr int16_t kTimedThrustSoundId = 131;
constexpr uint32_t kSoundSampleRate = 22050;

// The samples of an event sound (mono, kSoundSampleRate); empty for an unknown id.
std::vector<int16_t> SynthesizeEventSamples(int16_t id);
// The same as the bytes of a WAV file; empty for an unknown id.
std::vector<uint8_t> SynthesizeEventSound(int16_t id);
