#include "Platform/Graphics/DdsReader.h"

#include "Platform/Graphics/BaseTexture9.h"
#include "Platform/Graphics/ByteReader.h"
#include "Platform/Graphics/DxtDecoder.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

constexpr uint32_t kMagic = 0x20534444; // "DDS "
constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr uint32_t kHasAlphaPixels = 0x1;
constexpr uint32_t kHasFourCC = 0x4;
constexpr uint32_t kHasRgb = 0x40;
constexpr uint32_t kCubeMap = 0x200;
constexpr uint32_t kAllCubeFaces = 0xFC00;
constexpr uint32_t kVolume = 0x200000;

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16) |
           (uint32_t(uint8_t(d)) << 24);
}

struct DdsHeader {
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t mipCount = 0;
    uint32_t formatFlags = 0;
    uint32_t fourCC = 0;
    uint32_t bitCount = 0;
    std::array<uint32_t, 4> masks{}; // red, green, blue, alpha
    uint32_t caps2 = 0;
};

bool ReadHeader(PlatByteReader& reader, DdsHeader* header) {
    uint32_t magic = 0, headerSize = 0, flags = 0, pitch = 0, depth = 0, formatSize = 0, caps = 0;
    if (!reader.ReadU32(&magic) || !reader.ReadU32(&headerSize) || magic != kMagic ||
        headerSize != kHeaderSize)
        return false;
    bool ok = reader.ReadU32(&flags) && reader.ReadU32(&header->height) && reader.ReadU32(&header->width) &&
              reader.ReadU32(&pitch) && reader.ReadU32(&depth) && reader.ReadU32(&header->mipCount) &&
              reader.Skip(11 * 4) && reader.ReadU32(&formatSize) && reader.ReadU32(&header->formatFlags) &&
              reader.ReadU32(&header->fourCC) && reader.ReadU32(&header->bitCount);
    for (uint32_t& mask : header->masks)
        ok = ok && reader.ReadU32(&mask);
    return ok && reader.ReadU32(&caps) && reader.ReadU32(&header->caps2) && reader.Skip(3 * 4) &&
           formatSize == kPixelFormatSize;
}

// The file's format, or UNKNOWN for one this reader does not take.
D3DFORMAT FormatOf(const DdsHeader& header) {
    if (header.formatFlags & kHasFourCC) {
        switch (header.fourCC) {
        case FourCC('D', 'X', 'T', '1'):
            return D3DFMT_DXT1;
        case FourCC('D', 'X', 'T', '3'):
            return D3DFMT_DXT3;
        case FourCC('D', 'X', 'T', '5'):
            return D3DFMT_DXT5;
        default:
            return D3DFMT_UNKNOWN;
        }
    }
    if (!(header.formatFlags & kHasRgb) || (header.bitCount != 32 && header.bitCount != 24))
        return D3DFMT_UNKNOWN;
    // Each colour mask must be one whole byte of the pixel, and no two alike.
    uint32_t used = 0;
    const bool hasAlpha = (header.formatFlags & kHasAlphaPixels) && header.masks[3] != 0;
    for (size_t channel = 0; channel < (hasAlpha ? 4u : 3u); ++channel) {
        const uint32_t mask = header.masks[channel];
        const bool wholeByte = mask == 0xFFu || mask == 0xFF00u || mask == 0xFF0000u || mask == 0xFF000000u;
        if (!wholeByte || (used & mask) || (header.bitCount == 24 && mask == 0xFF000000u))
            return D3DFMT_UNKNOWN;
        used |= mask;
    }
    return hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

size_t LevelBytes(D3DFORMAT format, const DdsHeader& header, uint32_t width, uint32_t height) {
    if (PlatDxtDecoder::BlockBytes(format) != 0)
        return PlatDxtDecoder::LevelBytes(format, width, height);
    return size_t(width) * height * (header.bitCount / 8);
}

void DecodeUncompressed(const DdsHeader& header, bool hasAlpha, const uint8_t* bytes, PlatPixels& pixels) {
    const size_t bytesPerPixel = header.bitCount / 8;
    std::array<int, 4> byteOf{};
    for (size_t channel = 0; channel < 4; ++channel)
        byteOf[channel] = header.masks[channel] ? std::countr_zero(header.masks[channel]) / 8 : 0;
    for (size_t i = 0; i < pixels.texels.size(); ++i) {
        const uint8_t* pixel = bytes + i * bytesPerPixel;
        const uint32_t alpha = hasAlpha ? pixel[byteOf[3]] : 0xFFu;
        pixels.texels[i] = (alpha << 24) | (uint32_t(pixel[byteOf[0]]) << 16) |
                           (uint32_t(pixel[byteOf[1]]) << 8) | pixel[byteOf[2]];
    }
}

} // namespace

bool PlatReadDds(const uint8_t* data, size_t size, PlatImage* image) {
    PlatByteReader reader(data, size);
    DdsHeader header;
    if (!ReadHeader(reader, &header))
        return false;
    const D3DFORMAT format = FormatOf(header);
    const bool isCube = (header.caps2 & kCubeMap) != 0;
    const uint32_t levelCount = std::max(header.mipCount, 1u);
    if (format == D3DFMT_UNKNOWN || header.width == 0 || header.height == 0 ||
        header.width > kPlatMaxImageEdge || header.height > kPlatMaxImageEdge || (header.caps2 & kVolume) ||
        (isCube && ((header.caps2 & kAllCubeFaces) != kAllCubeFaces || header.width != header.height)) ||
        levelCount > IDirect3DBaseTexture9::FullChainLength(header.width, header.height))
        return false;

    // Faces one after the other, each with its whole chain; all checked
    // against the data before anything is allocated.
    const uint32_t faceCount = isCube ? 6 : 1;
    size_t chainBytes = 0;
    for (uint32_t level = 0; level < levelCount; ++level)
        chainBytes += LevelBytes(format, header, std::max(1u, header.width >> level),
                                 std::max(1u, header.height >> level));
    if (chainBytes * faceCount > reader.Remaining())
        return false;

    *image = {};
    image->fileFormat = D3DXIFF_DDS;
    image->format = format;
    image->isCube = isCube;
    image->levelCount = levelCount;
    for (uint32_t face = 0; face < faceCount; ++face)
        for (uint32_t level = 0; level < levelCount; ++level) {
            PlatPixels pixels(std::max(1u, header.width >> level), std::max(1u, header.height >> level));
            const uint8_t* bytes = reader.Take(LevelBytes(format, header, pixels.width, pixels.height));
            if (!bytes)
                return false;
            if (PlatDxtDecoder::BlockBytes(format) != 0)
                PlatDxtDecoder::DecodeLevel(format, bytes, pixels.width, pixels.height, pixels.texels.data());
            else
                DecodeUncompressed(header, format == D3DFMT_A8R8G8B8, bytes, pixels);
            image->surfaces.push_back(std::move(pixels));
        }
    return true;
}
