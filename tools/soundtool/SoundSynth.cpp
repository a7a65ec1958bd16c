#include "soundtool/SoundSynth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.28318530718f;

// The waveform's value at a phase of 0..1.
float WaveAt(Waveform wave, float phase) {
    switch (wave) {
    case Waveform::Sine:
        return std::sin(kTwoPi * phase);
    case Waveform::Square:
        return phase < 0.5f ? 1.0f : -1.0f;
    case Waveform::Saw:
        return 2.0f * phase - 1.0f;
    case Waveform::Triangle:
        return 1.0f - 4.0f * std::abs(phase - 0.5f);
    }
    return 0;
}

std::size_t SampleCount(float seconds, int rate) {
    return static_cast<std::size_t>(std::max(0.0f, seconds) * static_cast<float>(rate));
}

float EnvelopeAt(const Envelope& e, float t, float length) {
    const float releaseStart = length - e.release;
    if (t < e.attack)
        return t / e.attack;
    if (t >= releaseStart)
        return e.sustain * std::max(0.0f, (length - t) / e.release);
    if (t < e.attack + e.decay)
        return 1.0f - (1.0f - e.sustain) * (t - e.attack) / e.decay;
    return e.sustain;
}

} // namespace

std::vector<float> Oscillator(Waveform wave, float hz, float seconds, int rate) {
    return Sweep(wave, hz, hz, seconds, rate);
}

std::vector<float> Sweep(Waveform wave, float fromHz, float toHz, float seconds, int rate) {
    std::vector<float> samples(SampleCount(seconds, rate));
    double phase = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = WaveAt(wave, static_cast<float>(phase));
        const float hz =
            fromHz + (toHz - fromHz) * static_cast<float>(i) / static_cast<float>(samples.size());
        phase = std::fmod(phase + hz / rate, 1.0);
    }
    return samples;
}

std::vector<float> Noise(float seconds, int rate, uint32_t seed) {
    std::vector<float> samples(SampleCount(seconds, rate));
    for (float& sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    }
    return samples;
}

void ApplyEnvelope(std::vector<float>& samples, const Envelope& envelope, int rate) {
    const float length = static_cast<float>(samples.size()) / static_cast<float>(rate);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] *= EnvelopeAt(envelope, static_cast<float>(i) / static_cast<float>(rate), length);
}

void LowPass(std::vector<float>& samples, float cutoffHz, int rate) {
    const float alpha = 1.0f - std::exp(-kTwoPi * cutoffHz / static_cast<float>(rate));
    float state = 0;
    for (float& sample : samples)
        sample = state += alpha * (sample - state);
}

void MixInto(std::vector<float>& mix, const std::vector<float>& sound, std::size_t at, float gain) {
    if (mix.size() < at + sound.size())
        mix.resize(at + sound.size());
    for (std::size_t i = 0; i < sound.size(); ++i)
        mix[at + i] += gain * sound[i];
}

std::vector<float> Sequence(const std::vector<float>& notes, float stepSeconds, const Voice& voice,
                            int rate) {
    const std::size_t stepSamples = SampleCount(stepSeconds, rate);
    std::vector<float> mix(stepSamples * notes.size());
    for (std::size_t step = 0; step < notes.size(); ++step) {
        if (notes[step] <= 0)
            continue;
        std::vector<float> note = Oscillator(voice.wave, notes[step], stepSeconds, rate);
        ApplyEnvelope(note, voice.envelope, rate);
        MixInto(mix, note, step * stepSamples, voice.gain);
    }
    return mix;
}
