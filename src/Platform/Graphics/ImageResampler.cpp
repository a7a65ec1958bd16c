#include "Platform/Graphics/ImageResampler.h"

#include "Platform/Graphics/EffectTypes.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tap {
    UINT index;
    float weight;
};

// For each target texel along one axis, the source texels it is made of
// and their weights (summing to 1).
std::vector<std::vector<Tap>> AxisTaps(UINT from, UINT to, PlatResampleFilter filter) {
    const float scale = float(from) / float(to);
    const float reach = filter == PlatResampleFilter::Box ? std::max(0.5f, scale / 2) : std::max(1.0f, scale);
    std::vector<std::vector<Tap>> taps(to);
    for (UINT target = 0; target < to; ++target) {
        const float centre = (float(target) + 0.5f) * scale - 0.5f;
        float total = 0;
        for (int i = int(std::ceil(centre - reach)); float(i) <= centre + reach; ++i) {
            const float distance = std::abs(float(i) - centre);
            const float weight = filter == PlatResampleFilter::Box ? (distance < reach ? 1.0f : 0.0f)
                                                                   : 1.0f - distance / reach;
            if (weight <= 0)
                continue;
            taps[target].push_back({static_cast<UINT>(std::clamp(i, 0, int(from) - 1)), weight});
            total += weight;
        }
        for (Tap& tap : taps[target])
            tap.weight /= total;
    }
    return taps;
}

float Channel(uint32_t texel, int channel) {
    return float((texel >> (8 * channel)) & 0xFF);
}

} // namespace

PlatPixels PlatResample(const PlatPixels& source, UINT width, UINT height, PlatResampleFilter filter) {
    if (source.width == width && source.height == height)
        return source;
    const auto across = AxisTaps(source.width, width, filter);
    const auto down = AxisTaps(source.height, height, filter);

    // Across first, into four floats per texel of width x source height.
    std::vector<float> rows(size_t(width) * source.height * 4, 0.0f);
    for (UINT y = 0; y < source.height; ++y)
        for (UINT x = 0; x < width; ++x)
            for (const Tap& tap : across[x])
                for (int channel = 0; channel < 4; ++channel)
                    rows[(size_t(y) * width + x) * 4 + channel] +=
                        tap.weight * Channel(source.texels[size_t(y) * source.width + tap.index], channel);

    PlatPixels target(width, height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            uint32_t texel = 0;
            for (int channel = 0; channel < 4; ++channel) {
                float sum = 0;
                for (const Tap& tap : down[y])
                    sum += tap.weight * rows[(size_t(tap.index) * width + x) * 4 + channel];
                texel |= uint32_t(std::clamp(std::lround(sum), 0L, 255L)) << (8 * channel);
            }
            target.texels[size_t(y) * width + x] = texel;
        }
    return target;
}

PlatResampleFilter PlatResampleFilterFor(DWORD d3dxFilter) {
    return d3dxFilter != D3DX_DEFAULT && (d3dxFilter & 0xFF) == D3DX_FILTER_BOX
               ? PlatResampleFilter::Box
               : PlatResampleFilter::Triangle;
}
