#include "videotool/IntroVideo.h"

#include "soundtool/SoundSynth.h"
#include "uitool/GlyphRasterizer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr uint32_t kFramesPerSecond = 25;
constexpr float kSeconds = 5;
constexpr uint32_t kSoundRate = 22050;

// The title as white texels whose alpha is the glyphs' coverage, centred.
Image TitlePicture(GlyphRasterizer& font, const std::string& title) {
    Image picture(kWidth, kHeight, 0);
    int width = 0;
    for (const char c : title)
        width += font.Advance(static_cast<unsigned char>(c));
    int pen = (kWidth - width) / 2;
    const int baseline = (kHeight - font.LineHeight()) / 2 + font.Ascender();
    for (const char c : title)
        pen +=
            font.Draw(picture, static_cast<unsigned char>(c), pen, baseline, 0, 0, kWidth, kHeight, 0xffffff);
    return picture;
}

uint32_t Channel(float value) {
    return static_cast<uint32_t>(std::clamp(value, 0.0f, 255.0f));
}

// A blue-violet gradient whose bands move right and down with time.
uint32_t Gradient(int x, int y, float seconds) {
    const float phase = static_cast<float>(x + y) * 0.02f - seconds * 1.5f;
    const float r = 60 + 50 * std::sin(phase);
    const float g = 40 + 30 * std::sin(phase * 0.7f + 1.0f);
    const float b = 140 + 90 * std::sin(phase * 0.5f + 2.0f);
    return Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}

// `under` with white laid over it at `alpha` (0 to 1) per channel.
uint32_t Over(uint32_t under, float alpha) {
    uint32_t out = 0xff000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const auto channel = static_cast<float>((under >> shift) & 0xffu);
        out |= Channel(channel + (255 - channel) * alpha) << shift;
    }
    return out;
}

std::vector<uint32_t> Frame(const Image& title, float seconds) {
    const float fade = std::clamp((seconds - 0.5f) / 1.5f, 0.0f, 1.0f);
    std::vector<uint32_t> texels(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * kWidth + x;
            const float coverage = static_cast<float>(title.pixels[i] >> 24) / 255.0f;
            texels[i] = Over(Gradient(x, y, seconds), coverage * fade);
        }
    return texels;
}

// A minor chord that swells over the first second and fades over the last.
std::vector<float> Chord() {
    std::vector<float> sound(static_cast<std::size_t>(kSeconds * kSoundRate), 0.0f);
    for (const float hz : {220.0f, 261.6f, 329.6f}) {
        const std::vector<float> note = Oscillator(Waveform::Sine, hz, kSeconds, kSoundRate);
        for (std::size_t i = 0; i < sound.size() && i < note.size(); ++i)
            sound[i] += note[i] * 0.2f;
    }
    for (std::size_t i = 0; i < sound.size(); ++i) {
        const float t = static_cast<float>(i) / kSoundRate;
        sound[i] *= std::min({1.0f, t, kSeconds - t});
    }
    return sound;
}

} // namespace

RawVideo IntroVideo(GlyphRasterizer& titleFont, const std::string& title) {
    RawVideo video;
    video.width = kWidth;
    video.height = kHeight;
    video.framesPerSecond = kFramesPerSecond;
    const Image titlePicture = TitlePicture(titleFont, title);
    const auto frames = static_cast<int>(kSeconds * kFramesPerSecond);
    for (int i = 0; i < frames; ++i)
        video.frames.push_back(Frame(titlePicture, static_cast<float>(i) / kFramesPerSecond));
    video.sound = Chord();
    video.soundRate = kSoundRate;
    return video;
}
