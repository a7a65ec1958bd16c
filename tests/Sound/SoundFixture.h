#pragma once

#include "Core/Log.h"
#include "Core/PSettings.h"
#include "Platform/Sound/SoundBackend.h"
#include "Sound/NAudio.h"
#include "Sound/NSoundCache.h"
#include "Sound/PMusic.h"
#include "Support/TempGameRoot.h"
#include "soundtool/SoundSynth.h"
#include "soundtool/SoundWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

constexpr int kRate = 22050;

// A sine of `hz` as 16-bit mono samples at 22,050 Hz, half amplitude.
inline std::vector<float> Tone(float hz, float seconds) {
    std::vector<float> samples = Oscillator(Waveform::Sine, hz, seconds, kRate);
    for (float& sample : samples)
        sample *= 0.5f;
    return samples;
}

inline std::string AsText(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A stretch of the stereo mix of the loopback device.
struct Mix {
    std::vector<float> samples; // left, right, left, right ...

    float Rms(int channel) const {
        double sum = 0;
        for (std::size_t i = channel; i < samples.size(); i += 2)
            sum += samples[i] * samples[i];
        return static_cast<float>(std::sqrt(sum / std::max<std::size_t>(1, samples.size() / 2)));
    }
    // Sign changes per second of one channel: twice the frequency of a tone.
    float CrossingsPerSecond(int channel, unsigned rate) const {
        int crossings = 0;
        for (std::size_t i = channel + 2; i < samples.size(); i += 2)
            crossings += (samples[i - 2] < 0) != (samples[i] < 0);
        return static_cast<float>(crossings) * static_cast<float>(rate) /
               static_cast<float>(samples.size() / 2);
    }
    float Frequency(unsigned rate) const { return CrossingsPerSecond(0, rate) / 2; }
};

// A game folder with the sound manager initialised on the loopback device;
// what would be heard is rendered on request.
class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override {
        GetLog().SetSink([this](std::string_view text) { log += text; });
        PlatSetSoundBackendKind(PlatSoundBackendKind::Loopback);
        g_SoundVolume = 1;
        g_MusicVolume = 1;
    }
    void TearDown() override {
        music.reset();
        audio.reset();
        PlatSetSoundBackendKind(PlatSoundBackendKind::Default);
        GetLog().SetSink({});
        g_SoundVolume = g_MusicVolume = 0.5f;
    }

    void StartAudio() {
        audio = std::make_unique<CNAudio>();
        ASSERT_EQ(audio->Init(nullptr), S_OK) << log;
        audio->SetListenerPosition({0, 0, 0}, {0, 0, 0});
        audio->SetListenerOrientation({0, 0, 1}, {0, -1, 0});
    }

    static void WriteSound(const std::string& file, const std::vector<float>& samples,
                           PcmFormat format = {}) {
        TempGameRoot::WriteFile("Data/Sounds/" + file, AsText(EncodeWave(samples, format)));
    }

    // A sound loaded through the manager, owned by the test.
    CNSound* Load(const std::string& file, bool is3D) {
        CPRefPtr<CNSound> sound;
        audio->LoadSound(sound, file, is3D, true);
        owned.emplace_back(sound.Get());
        return sound.Get();
    }

    static Mix Render(float seconds) {
        const auto frames = static_cast<unsigned>(seconds * static_cast<float>(PlatGetSoundMixFrequency()));
        Mix mix;
        mix.samples.resize(frames * 2u);
        EXPECT_TRUE(PlatRenderSoundMix(mix.samples.data(), frames));
        return mix;
    }

    TempGameRoot root;
    std::string log;
    std::unique_ptr<CPMusic> music;
    std::unique_ptr<CNAudio> audio;
    std::vector<std::unique_ptr<CNSound>> owned;
};
