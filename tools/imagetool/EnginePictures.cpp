#include "imagetool/EnginePictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPostPictureSize = 256;
// The grain covers the frame at about 5 %.
constexpr uint32_t kNoiseAlpha = 12;

uint32_t Grey(uint32_t alpha, uint32_t level) {
    return alpha << 24 | level << 16 | level << 8 | level;
}

} // namespace

uint32_t GrainAt(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return (h ^ (h >> 16)) & 0xFF;
}

Image ErrorPicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = ((x / 8 + y / 8) % 2) ? 0xff000000 : 0xffff00ff;
    return image;
}

Image BackgroundPicture() {
    Image image(512, 512);
    for (int y = 0; y < image.height; ++y) {
        const int t = y * 255 / (image.height - 1);
        const auto r = static_cast<uint32_t>(40 + t * 150 / 255);
        const auto g = static_cast<uint32_t>(30 + t * 60 / 255);
        const auto b = static_cast<uint32_t>(90 - t * 60 / 255);
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = 0xff000000 | r << 16 | g << 8 | b;
    }
    return image;
}

Image BarPicture() {
    Image image(16, 16);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = (x == 0 || x == image.width - 1) ? 0xffc06000 : 0xffffa020;
    return image;
}

Image BlurMaskPicture() {
    constexpr float kSharp = 0.3f; // distance from the middle (1 at the corners) kept sharp
    Image image(kPostPictureSize, kPostPictureSize);
    const float middle = (kPostPictureSize - 1) * 0.5f;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float distance = std::hypot(x - middle, y - middle) / std::hypot(middle, middle);
            const float reach = std::clamp((distance - kSharp) / (1.0f - kSharp), 0.0f, 1.0f);
            image.At(x, y) = Grey(static_cast<uint32_t>(std::lround(reach * reach * 255.0f)), 255);
        }
    }
    return image;
}

Image NoisePicture() {
    Image image(kPostPictureSize, kPostPictureSize);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = Grey(kNoiseAlpha, GrainAt(x, y));
    return image;
}

Image CratePicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool frame = x < 6 || y < 6 || x >= 58 || y >= 58;
            image.At(x, y) = frame ? 0xff4a2e14 : 0xffa0703c;
        }
    return image;
}

namespace {

// The colour of the buggy's texture at a pixel: the livery's regions as the
// model's texture coordinates pick them.
uint32_t BuggyColour(int x, int y, uint32_t paint) {
    if (y >= 32) {
        // The rear lights: stop lights dim and lit, back lights dim and lit.
        const uint32_t lights[4] = {0xff601010, 0xffff2020, 0xff808070, 0xffffffe0};
        return lights[x / 16];
    }
    if (x < 32)
        return y <= 12 ? 0xfff0f0f0 : paint; // white stripe over the paint
    return y < 20 ? 0xff202020 : 0xffb0b0b0; // tyre rubber, then the hubs
}

} // namespace

Image BuggyPicture(uint32_t paint) {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = BuggyColour(x, y, paint);
    return image;
}

Image TorchPicture() {
    Image image(16, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = y < 12 ? 0xff303238 : ((x + y / 4) % 5 == 0 ? 0xff3a2410 : 0xff5a3818);
    return image;
}

namespace {

constexpr float kShadowDensity = 176.0f;
// The ellipse stops short of the border, whose texels the decal repeats
// across the ground beyond the footprint; it fades out over the last part
// of its radius.
constexpr float kShadowRadius = 0.9f;
constexpr float kShadowSoftEdge = 0.4f;

} // namespace

Image ShadowPicture() {
    Image image(64, 64);
    const float middle = static_cast<float>(image.width) / 2.0f;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const float distance = std::hypot(x + 0.5f - middle, y + 0.5f - middle) / middle;
            const float density = std::clamp((kShadowRadius - distance) / kShadowSoftEdge, 0.0f, 1.0f);
            image.At(x, y) = static_cast<uint32_t>(std::lround(density * kShadowDensity)) << 24;
        }
    return image;
}
