#include "Platform/Graphics/Image.h"

#include "Platform/Graphics/BmpReader.h"
#include "Platform/Graphics/DdsReader.h"
#include "Platform/Graphics/JpegReader.h"
#include "Platform/Graphics/PngReader.h"
#include "Platform/Graphics/TgaReader.h"

#include <cstring>
#include <utility>

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

} // namespace

void PlatSetSinglePicture(PlatImage* image, D3DXIMAGE_FILEFORMAT fileFormat, D3DFORMAT format,
                          PlatPixels pixels) {
    *image = {};
    image->fileFormat = fileFormat;
    image->format = format;
    image->surfaces.push_back(std::move(pixels));
}

bool PlatDecodeImage(const uint8_t* data, size_t size, PlatImage* image) {
    if (!data)
        return false;
    if (StartsWith(data, size, "DDS ", 4))
        return PlatReadDds(data, size, image);
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8))
        return PlatReadPng(data, size, image);
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3))
        return PlatReadJpeg(data, size, image);
    if (StartsWith(data, size, "BM", 2))
        return PlatReadBmp(data, size, image);
    return PlatReadTga(data, size, image);
}
