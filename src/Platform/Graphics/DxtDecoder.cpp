#include "Platform/Graphics/DxtDecoder.h"

#include <algorithm>

namespace {

constexpr uint32_t kColourMask = 0x00FFFFFFu;

uint32_t Expand565(uint16_t colour) {
    const uint32_t r = (colour >> 11) & 31;
    const uint32_t g = (colour >> 5) & 63;
    const uint32_t b = colour & 31;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// (a * wa + b * wb) / (wa + wb), channel by channel, alpha opaque.
uint32_t Blend(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb) {
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t channel = (((a >> shift) & 0xFF) * wa + ((b >> shift) & 0xFF) * wb) / (wa + wb);
        result |= channel << shift;
    }
    return result;
}

uint16_t ReadU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

} // namespace

size_t PlatDxtDecoder::BlockBytes(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_DXT1:
        return 8;
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        return 16;
    default:
        return 0;
    }
}

size_t PlatDxtDecoder::LevelBytes(D3DFORMAT format, uint32_t width, uint32_t height) {
    return size_t(std::max(1u, (width + 3) / 4)) * std::max(1u, (height + 3) / 4) * BlockBytes(format);
}

void PlatDxtDecoder::DecodeLevel(D3DFORMAT format, const uint8_t* blocks, uint32_t width, uint32_t height,
                                 uint32_t* texels) {
    const size_t blockBytes = BlockBytes(format);
    uint32_t tile[16];
    for (uint32_t blockY = 0; blockY < height; blockY += 4)
        for (uint32_t blockX = 0; blockX < width; blockX += 4, blocks += blockBytes) {
            DecodeBlock(format, blocks, tile);
            for (uint32_t y = 0; y < 4 && blockY + y < height; ++y)
                for (uint32_t x = 0; x < 4 && blockX + x < width; ++x)
                    texels[size_t(blockY + y) * width + blockX + x] = tile[y * 4 + x];
        }
}

void PlatDxtDecoder::DecodeBlock(D3DFORMAT format, const uint8_t* block, uint32_t tile[16]) {
    if (format == D3DFMT_DXT1) {
        DecodeColours(block, true, tile);
        return;
    }
    DecodeColours(block + 8, false, tile);
    if (format == D3DFMT_DXT3)
        DecodeExplicitAlpha(block, tile);
    else
        DecodeInterpolatedAlpha(block, tile);
}

// Two 5:6:5 end colours and sixteen 2-bit indices. When the first end colour
// is not the larger, DXT1 blocks have three colours and transparent black.
void PlatDxtDecoder::DecodeColours(const uint8_t* block, bool allowTransparent, uint32_t tile[16]) {
    const uint16_t first = ReadU16(block);
    const uint16_t second = ReadU16(block + 2);
    uint32_t palette[4] = {Expand565(first), Expand565(second), 0, 0};
    if (first > second || !allowTransparent) {
        palette[2] = Blend(palette[0], palette[1], 2, 1);
        palette[3] = Blend(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = Blend(palette[0], palette[1], 1, 1);
        palette[3] = 0;
    }
    for (int i = 0; i < 16; ++i)
        tile[i] = palette[(block[4 + i / 4] >> (2 * (i % 4))) & 3];
}

// Sixteen 4-bit alpha values, low nibble first.
void PlatDxtDecoder::DecodeExplicitAlpha(const uint8_t* block, uint32_t tile[16]) {
    for (int i = 0; i < 16; ++i) {
        const uint32_t alpha = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        tile[i] = (tile[i] & kColourMask) | ((alpha * 17) << 24);
    }
}

// Two end alphas and sixteen 3-bit indices into eight values: six between
// the ends, or four between them plus 0 and 255 when the first is not larger.
void PlatDxtDecoder::DecodeInterpolatedAlpha(const uint8_t* block, uint32_t tile[16]) {
    const uint32_t first = block[0];
    const uint32_t second = block[1];
    uint32_t palette[8] = {first, second, 0, 0, 0, 0, 0, 255};
    const uint32_t steps = first > second ? 7 : 5;
    for (uint32_t i = 1; i < steps; ++i)
        palette[i + 1] = ((steps - i) * first + i * second) / steps;
    uint64_t indices = 0;
    for (int i = 0; i < 6; ++i)
        indices |= uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) {
        const uint32_t alpha = palette[(indices >> (3 * i)) & 7];
        tile[i] = (tile[i] & kColourMask) | (alpha << 24);
    }
}
