// The three event sounds, made at start-up instead of shipped as files:
// short mono 16-bit WAV images.
#pragma once
#include <cstdint>
#include <vector>

constexpr int16_t kCrashSoundId = 129;
constexpr int16_t kThrustSoundId = 130;
constexpr int16_t kTimedThrustSoundId = 131;
constexpr uint32_t kSoundSampleRate = 22050;

// The WAV file bytes of an event sound; empty for an unknown id.
std::vector<uint8_t> SynthesizeEventSound(int16_t id);
