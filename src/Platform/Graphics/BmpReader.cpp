#include "Platform/Graphics/BmpReader.h"

#include "Platform/Graphics/ByteReader.h"

#include <algorithm>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kUncompressed = 0;

struct BmpHeader {
    uint32_t pixelOffset = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint16_t bitsPerPixel = 0;
    uint32_t paletteOffset = 0;
    uint32_t paletteSize = 0;
};

bool ReadHeader(const uint8_t* data, size_t size, BmpHeader& header) {
    PlatByteReader reader(data, size);
    uint32_t infoSize = 0, width = 0, height = 0, compression = 0, colours = 0;
    uint16_t planes = 0;
    if (!reader.Skip(10) || !reader.ReadU32(&header.pixelOffset) || !reader.ReadU32(&infoSize) ||
        !reader.ReadU32(&width) || !reader.ReadU32(&height) || !reader.ReadU16(&planes) ||
        !reader.ReadU16(&header.bitsPerPixel) || !reader.ReadU32(&compression) || !reader.Skip(12) ||
        !reader.ReadU32(&colours))
        return false;
    // Heights are signed: negative for rows stored top-down. The lowest
    // value has no positive counterpart and is refused with the rest.
    const auto signedWidth = static_cast<int32_t>(width), signedHeight = static_cast<int32_t>(height);
    header.topDown = signedHeight < 0;
    header.width = signedWidth > 0 ? width : 0;
    header.height = signedHeight > INT32_MIN ? static_cast<uint32_t>(std::abs(signedHeight)) : 0;
    header.paletteOffset = static_cast<uint32_t>(kFileHeaderSize) + infoSize;
    header.paletteSize = colours == 0 ? 256 : colours;
    const bool knownDepth =
        header.bitsPerPixel == 8 || header.bitsPerPixel == 24 || header.bitsPerPixel == 32;
    return infoSize >= kInfoHeaderSize && planes == 1 && compression == kUncompressed && knownDepth &&
           header.paletteSize <= 256 && PlatImageSizeAllowed(header.width, header.height);
}

// The palette's entries as opaque texels; empty when the file is too short.
std::vector<uint32_t> ReadPalette(const uint8_t* data, size_t size, const BmpHeader& header) {
    std::vector<uint32_t> palette;
    const uint64_t end = uint64_t(header.paletteOffset) + uint64_t(header.paletteSize) * 4;
    if (end > size || end > header.pixelOffset)
        return palette;
    for (uint32_t i = 0; i < header.paletteSize; ++i) {
        const uint8_t* entry = data + header.paletteOffset + size_t(i) * 4;
        palette.push_back(0xFF000000u | (uint32_t(entry[2]) << 16) | (uint32_t(entry[1]) << 8) | entry[0]);
    }
    return palette;
}

// One stored texel; false for a palette index past the palette.
bool ReadTexel(const uint8_t* texel, uint16_t bitsPerPixel, const std::vector<uint32_t>& palette,
               uint32_t& out) {
    if (bitsPerPixel == 8) {
        if (texel[0] >= palette.size())
            return false;
        out = palette[texel[0]];
        return true;
    }
    const uint32_t alpha = bitsPerPixel == 32 ? texel[3] : 0xFFu;
    out = (alpha << 24) | (uint32_t(texel[2]) << 16) | (uint32_t(texel[1]) << 8) | texel[0];
    return true;
}

bool ReadRows(const uint8_t* data, const BmpHeader& header, const std::vector<uint32_t>& palette,
              PlatPixels& pixels) {
    const size_t bytesPerTexel = header.bitsPerPixel / 8;
    const size_t stride = (size_t(header.width) * bytesPerTexel + 3) & ~size_t(3);
    for (uint32_t row = 0; row < header.height; ++row) {
        const uint8_t* in = data + header.pixelOffset + size_t(row) * stride;
        const uint32_t y = header.topDown ? row : header.height - 1 - row;
        uint32_t* out = pixels.texels.data() + size_t(y) * header.width;
        for (uint32_t x = 0; x < header.width; ++x)
            if (!ReadTexel(in + x * bytesPerTexel, header.bitsPerPixel, palette, out[x]))
                return false;
    }
    return true;
}

} // namespace

bool PlatReadBmp(const uint8_t* data, size_t size, PlatImage* image) {
    BmpHeader header;
    if (!ReadHeader(data, size, header))
        return false;
    const size_t stride = (size_t(header.width) * (header.bitsPerPixel / 8) + 3) & ~size_t(3);
    if (header.pixelOffset > size || (size - header.pixelOffset) / stride < header.height)
        return false;
    const std::vector<uint32_t> palette =
        header.bitsPerPixel == 8 ? ReadPalette(data, size, header) : std::vector<uint32_t>();
    if (header.bitsPerPixel == 8 && palette.empty())
        return false;
    PlatPixels pixels(header.width, header.height);
    if (!ReadRows(data, header, palette, pixels))
        return false;
    // Writers that leave the fourth byte 0 mean an opaque picture.
    bool hasAlpha = header.bitsPerPixel == 32 && std::any_of(pixels.texels.begin(), pixels.texels.end(),
                                                             [](uint32_t t) { return t >> 24; });
    if (header.bitsPerPixel == 32 && !hasAlpha)
        for (uint32_t& texel : pixels.texels)
            texel |= 0xFF000000u;
    PlatSetSinglePicture(image, D3DXIFF_BMP, hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8, std::move(pixels));
    return true;
}
