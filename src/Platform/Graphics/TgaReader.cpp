#include "Platform/Graphics/TgaReader.h"

#include "Platform/Graphics/ByteReader.h"

#include <cstring>

namespace {

constexpr uint8_t kTrueColour = 2;
constexpr uint8_t kGrey = 3;
constexpr uint8_t kRleFlag = 8;
constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopToBottom = 0x20;
constexpr size_t kMaxRunLength = 128;

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t bitsPerPixel = 0;
    uint8_t descriptor = 0;
};

bool ReadHeader(PlatByteReader& reader, TgaHeader* header) {
    uint16_t ignored16 = 0;
    return reader.ReadU8(&header->idLength) && reader.ReadU8(&header->colourMapType) &&
           reader.ReadU8(&header->imageType) && reader.ReadU16(&ignored16) &&
           reader.ReadU16(&header->colourMapLength) && reader.ReadU8(&header->colourMapEntryBits) &&
           reader.ReadU16(&ignored16) && reader.ReadU16(&ignored16) && reader.ReadU16(&header->width) &&
           reader.ReadU16(&header->height) && reader.ReadU8(&header->bitsPerPixel) &&
           reader.ReadU8(&header->descriptor);
}

bool IsSupported(const TgaHeader& header) {
    const uint8_t base = header.imageType & ~kRleFlag;
    const bool depthFits =
        base == kGrey ? header.bitsPerPixel == 8 : header.bitsPerPixel == 24 || header.bitsPerPixel == 32;
    return (base == kTrueColour || base == kGrey) && (header.imageType & ~(kRleFlag | 3)) == 0 && depthFits &&
           header.colourMapType <= 1 && (header.descriptor & kRightToLeft) == 0 && header.width > 0 &&
           header.height > 0;
}

// One pixel of the file (B, G, R[, A] or a grey level) as 0xAARRGGBB.
uint32_t ToTexel(const uint8_t* bytes, size_t bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1:
        return 0xFF000000u | (uint32_t(bytes[0]) * 0x010101u);
    case 3:
        return 0xFF000000u | (uint32_t(bytes[2]) << 16) | (uint32_t(bytes[1]) << 8) | bytes[0];
    default:
        return (uint32_t(bytes[3]) << 24) | (uint32_t(bytes[2]) << 16) | (uint32_t(bytes[1]) << 8) | bytes[0];
    }
}

bool ReadPlain(PlatByteReader& reader, size_t bytesPerPixel, std::vector<uint32_t>& texels) {
    const uint8_t* bytes = reader.Take(texels.size() * bytesPerPixel);
    if (!bytes)
        return false;
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = ToTexel(bytes + i * bytesPerPixel, bytesPerPixel);
    return true;
}

// Packets may run across rows but never past the last pixel.
bool ReadRunLength(PlatByteReader& reader, size_t bytesPerPixel, std::vector<uint32_t>& texels) {
    size_t filled = 0;
    while (filled < texels.size()) {
        uint8_t packet = 0;
        if (!reader.ReadU8(&packet))
            return false;
        const size_t count = size_t(packet & 0x7F) + 1;
        const bool repeated = (packet & 0x80) != 0;
        if (count > texels.size() - filled)
            return false;
        const uint8_t* bytes = reader.Take(repeated ? bytesPerPixel : count * bytesPerPixel);
        if (!bytes)
            return false;
        for (size_t i = 0; i < count; ++i)
            texels[filled + i] = ToTexel(bytes + (repeated ? 0 : i * bytesPerPixel), bytesPerPixel);
        filled += count;
    }
    return true;
}

void FlipRows(PlatPixels& pixels) {
    std::vector<uint32_t> row(pixels.width);
    for (UINT top = 0, bottom = pixels.height - 1; top < bottom; ++top, --bottom) {
        uint32_t* a = pixels.texels.data() + size_t(top) * pixels.width;
        uint32_t* b = pixels.texels.data() + size_t(bottom) * pixels.width;
        std::memcpy(row.data(), a, pixels.width * sizeof(uint32_t));
        std::memcpy(a, b, pixels.width * sizeof(uint32_t));
        std::memcpy(b, row.data(), pixels.width * sizeof(uint32_t));
    }
}

} // namespace

bool PlatReadTga(const uint8_t* data, size_t size, PlatImage* image) {
    PlatByteReader reader(data, size);
    TgaHeader header;
    // Run-length files can claim far more texels than they hold bytes.
    if (!ReadHeader(reader, &header) || !IsSupported(header) ||
        !PlatImageSizeAllowed(header.width, header.height))
        return false;
    const size_t colourMapBytes =
        header.colourMapType ? (size_t(header.colourMapLength) * header.colourMapEntryBits + 7) / 8 : 0;
    if (!reader.Skip(header.idLength) || !reader.Skip(colourMapBytes))
        return false;

    const size_t bytesPerPixel = header.bitsPerPixel / 8;
    const size_t pixelCount = size_t(header.width) * header.height;
    const bool runLength = (header.imageType & kRleFlag) != 0;
    // The least data the pixels can come from, checked before allocating.
    const size_t leastBytes = runLength
                                  ? (pixelCount + kMaxRunLength - 1) / kMaxRunLength * (1 + bytesPerPixel)
                                  : pixelCount * bytesPerPixel;
    if (leastBytes > reader.Remaining())
        return false;

    PlatPixels pixels(header.width, header.height);
    if (!(runLength ? ReadRunLength(reader, bytesPerPixel, pixels.texels)
                    : ReadPlain(reader, bytesPerPixel, pixels.texels)))
        return false;
    if ((header.descriptor & kTopToBottom) == 0)
        FlipRows(pixels);

    PlatSetSinglePicture(image, D3DXIFF_TGA, bytesPerPixel == 4 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                         std::move(pixels));
    return true;
}
