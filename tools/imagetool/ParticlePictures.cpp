#include "imagetool/ParticlePictures.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Argb(float alpha, float red, float green, float blue) {
    const auto byte = [](float value) {
        return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    return byte(alpha) << 24 | byte(red) << 16 | byte(green) << 8 | byte(blue);
}

// 1 in the middle of a square of `size` pixels, falling to 0 at `radius`
// (a fraction of half the size).
float Falloff(int x, int y, int size, float radius) {
    const float middle = (static_cast<float>(size) - 1) * 0.5f;
    const float distance =
        std::hypot(static_cast<float>(x) - middle, static_cast<float>(y) - middle) / (middle * radius);
    return std::clamp(1.0f - distance, 0.0f, 1.0f);
}

// One flame tongue in a cell of `size` pixels: wide and yellow-white at the
// bottom, narrowing to red at a tip `height` (a fraction of the cell) up.
uint32_t FlameAt(int x, int y, int size, float height) {
    const float across = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * 2 - 1;
    const float up = 1 - (static_cast<float>(y) + 0.5f) / static_cast<float>(size);
    if (up > height)
        return 0;
    const float rise = up / height;
    const float width = 0.8f * (1 - rise) + 0.05f;
    const float body = std::clamp(1 - std::fabs(across) / width, 0.0f, 1.0f);
    return Argb(body * (1 - rise * 0.5f), 1, 0.9f - rise * 0.6f, 0.5f - rise * 0.5f);
}

} // namespace

Image SparkPicture() {
    constexpr int kSize = 32;
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            image.At(x, y) = Argb(std::pow(Falloff(x, y, kSize, 1), 1.5f), 1, 1, 1);
    return image;
}

Image TracerPicture() {
    constexpr int kLength = 64, kAcross = 16;
    Image image(kLength, kAcross);
    for (int y = 0; y < kAcross; ++y) {
        const float across = std::fabs((static_cast<float>(y) + 0.5f) / kAcross * 2 - 1);
        const float edge = std::clamp((1 - across) * 2, 0.0f, 1.0f);
        for (int x = 0; x < kLength; ++x) {
            const float along = (static_cast<float>(x) + 0.5f) / kLength;
            image.At(x, y) = Argb(edge * (0.4f + 0.6f * along), 1, 0.95f, 0.75f);
        }
    }
    return image;
}

Image PuffPicture() {
    constexpr int kSize = 64;
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            image.At(x, y) = Argb(Falloff(x, y, kSize, 1) * 0.8f, 1, 1, 1);
    return image;
}

Image FirePicture() {
    constexpr int kCell = 32;
    Image image(4 * kCell, 4 * kCell);
    for (int frame = 0; frame < 16; ++frame) {
        const float height = 0.55f + 0.4f * std::fabs(std::sin(static_cast<float>(frame) * 0.7f));
        const int left = (frame % 4) * kCell;
        const int top = (frame / 4) * kCell;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                image.At(left + x, top + y) = FlameAt(x, y, kCell, height);
    }
    return image;
}

Image ScorchPicture() {
    constexpr int kSize = 64;
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float ragged = 0.85f + 0.1f * std::sin(static_cast<float>(x * 7 + y * 3));
            image.At(x, y) = Argb(Falloff(x, y, kSize, ragged), 0.08f, 0.06f, 0.05f);
        }
    return image;
}
