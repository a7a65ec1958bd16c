#pragma once

#include <cstdint>
#include <vector>

// Building blocks for short sound effects and music loops, all mono floats
// at a given sample rate.

enum class Waveform { Sine, Square, Saw, Triangle };

// `seconds` of a wave of `hz` at amplitude 1.
std::vector<float> Oscillator(Waveform wave, float hz, float seconds, int rate);
// A wave whose frequency slides linearly from `fromHz` to `toHz`.
std::vector<float> Sweep(Waveform wave, float fromHz, float toHz, float seconds, int rate);
// White noise from a fixed seed, so the data comes out the same every build.
std::vector<float> Noise(float seconds, int rate, uint32_t seed);

// Attack, decay, sustain level and release, in seconds; the release ends
// the sound.
struct Envelope {
    float attack = 0.005f;
    float decay = 0.05f;
    float sustain = 0.7f;
    float release = 0.05f;
};
void ApplyEnvelope(std::vector<float>& samples, const Envelope& envelope, int rate);
// One-pole low-pass filter.
void LowPass(std::vector<float>& samples, float cutoffHz, int rate);
// Adds `sound` times `gain` into `mix` from sample `at`, growing `mix`.
void MixInto(std::vector<float>& mix, const std::vector<float>& sound, std::size_t at, float gain);

// A step sequencer: each step plays a note (Hz, 0 for a rest) for one step
// length with the voice's waveform and envelope.
struct Voice {
    Waveform wave = Waveform::Square;
    Envelope envelope;
    float gain = 0.3f;
};
std::vector<float> Sequence(const std::vector<float>& notes, float stepSeconds, const Voice& voice, int rate);
