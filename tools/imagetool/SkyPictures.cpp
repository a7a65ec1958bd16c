#include "imagetool/SkyPictures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGradientHeight = 64;
constexpr uint32_t kGradientDimming = 32; // levels lost from horizon to zenith
constexpr int kRoundSize = 64;

// Alpha 255 inside `core` of the radius, falling linearly to 0 at the rim.
uint32_t RoundAlpha(int x, int y, float core) {
    const float middle = (kRoundSize - 1) * 0.5f;
    const float distance = std::hypot(x - middle, y - middle) / (kRoundSize * 0.5f);
    const float fall = std::clamp((1.0f - distance) / (1.0f - core), 0.0f, 1.0f);
    return static_cast<uint32_t>(fall * 255.0f + 0.5f);
}

Image Round(uint32_t rgb, float core) {
    Image image(kRoundSize, kRoundSize);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = RoundAlpha(x, y, core) << 24 | rgb;
    return image;
}

} // namespace

Image SkyGradientPicture() {
    Image image(4, kGradientHeight);
    for (int y = 0; y < image.height; ++y) {
        const uint32_t level = 255 - kGradientDimming * static_cast<uint32_t>(y) / (kGradientHeight - 1);
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = 0xff000000 | level << 16 | level << 8 | level;
    }
    return image;
}

Image SunPicture() {
    return Round(0xfff4dc, 0.7f);
}

Image CloudPicture() {
    return Round(0xffffff, 0.3f);
}
