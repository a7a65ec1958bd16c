#include "soundtool/DemoSounds.h"

#include "soundtool/SoundSynth.h"

namespace {

constexpr int kRate = kDemoSoundRate;

std::vector<float> Shaped(std::vector<float> samples, const Envelope& envelope, float gain) {
    ApplyEnvelope(samples, envelope, kRate);
    for (float& sample : samples)
        sample *= gain;
    return samples;
}

std::vector<float> FilteredNoise(float seconds, float cutoffHz, uint32_t seed) {
    std::vector<float> noise = Noise(seconds, kRate, seed);
    LowPass(noise, cutoffHz, kRate);
    return noise;
}

std::vector<float> Blip(float firstHz, float secondHz, float seconds) {
    std::vector<float> mix = Oscillator(Waveform::Square, firstHz, seconds / 2, kRate);
    MixInto(mix, Oscillator(Waveform::Square, secondHz, seconds / 2, kRate), mix.size(), 1);
    return Shaped(mix, {0.002f, 0.02f, 0.8f, 0.03f}, 0.4f);
}

// A loop of whole periods, so that it repeats without a click.
std::vector<float> EngineLoop() {
    std::vector<float> mix = Oscillator(Waveform::Saw, 55, 1, kRate);
    MixInto(mix, Oscillator(Waveform::Square, 110, 1, kRate), 0, 0.3f);
    for (float& sample : mix)
        sample *= 0.4f;
    return mix;
}

std::vector<float> Loop(float seconds, float cutoffHz, uint32_t seed, float gain) {
    return Shaped(FilteredNoise(seconds, cutoffHz, seed), {0.01f, 0.01f, 1, 0.01f}, gain);
}

// Eight bars of an arpeggio over a bass line, one step per sixteenth.
std::vector<float> Tune(const std::vector<float>& roots, float stepSeconds, Waveform lead) {
    std::vector<float> arpeggio, bass;
    for (float root : roots) {
        for (int beat = 0; beat < 4; ++beat)
            for (float factor : {1.0f, 1.25f, 1.5f, 2.0f})
                arpeggio.push_back(root * 2 * factor);
        for (int beat = 0; beat < 4; ++beat)
            bass.insert(bass.end(), {root / 2, 0, root / 2, 0});
    }
    std::vector<float> mix =
        Sequence(arpeggio, stepSeconds, {lead, {0.005f, 0.05f, 0.5f, 0.04f}, 0.2f}, kRate);
    MixInto(mix, Sequence(bass, stepSeconds, {Waveform::Triangle, {0.005f, 0.1f, 0.8f, 0.05f}, 0.5f}, kRate),
            0, 1);
    return mix;
}

} // namespace

std::vector<DemoSound> DemoEffects() {
    return {
        {"pad.wav", Shaped(Sweep(Waveform::Triangle, 300, 1200, 0.4f, kRate), {}, 0.6f)},
        {"slam.wav", Shaped(FilteredNoise(0.35f, 800, 7), {0.002f, 0.1f, 0.4f, 0.2f}, 1.5f)},
        {"pickup.wav", Blip(880, 1320, 0.2f)},
        {"switch.wav", Blip(660, 990, 0.16f)},
        {"deny.wav", Shaped(Sweep(Waveform::Square, 220, 160, 0.25f, kRate), {}, 0.3f)},
        {"beep.wav", Shaped(Oscillator(Waveform::Sine, 1000, 0.15f, kRate), {}, 0.6f)},
        {"go.wav", Shaped(Oscillator(Waveform::Sine, 1320, 0.6f, kRate), {0.005f, 0.1f, 0.8f, 0.2f}, 0.6f)},
        {"click.wav", Shaped(Noise(0.02f, kRate, 3), {0.001f, 0.005f, 0.5f, 0.01f}, 0.5f)},
        {"main.wav", EngineLoop()},
        {"vizg.wav", Loop(1, 2000, 11, 0.5f)},
        {"nitro.wav", Loop(1, 4000, 13, 0.4f)},
        {"lgun.wav", Shaped(FilteredNoise(0.12f, 3000, 17), {0.001f, 0.03f, 0.3f, 0.05f}, 1.0f)},
        {"rocket.wav", Shaped(FilteredNoise(0.8f, 600, 19), {0.02f, 0.2f, 0.6f, 0.4f}, 1.5f)},
        {"morgrave.wav", Shaped(Sweep(Waveform::Saw, 2000, 200, 0.4f, kRate), {}, 0.4f)},
    };
}

std::vector<DemoSound> DemoMusic() {
    const std::vector<float> progression = {220, 174.6f, 130.8f, 196, 220, 174.6f, 196, 164.8f};
    return {
        {"menu.ogg", Tune(progression, 0.125f, Waveform::Triangle)},
        {"race.ogg", Tune(progression, 0.09f, Waveform::Square)},
    };
}
