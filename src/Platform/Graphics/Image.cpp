#include "Platform/Graphics/Image.h"

#include "Platform/Graphics/DdsReader.h"
#include "Platform/Graphics/StbImageReader.h"
#include "Platform/Graphics/TgaReader.h"

#include <cstring>

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

} // namespace

bool PlatDecodeImage(const uint8_t* data, size_t size, PlatImage* image) {
    if (!data)
        return false;
    if (StartsWith(data, size, "DDS ", 4))
        return PlatReadDds(data, size, image);
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n", 8))
        return PlatReadStbImage(data, size, D3DXIFF_PNG, image);
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3))
        return PlatReadStbImage(data, size, D3DXIFF_JPG, image);
    if (StartsWith(data, size, "BM", 2))
        return PlatReadStbImage(data, size, D3DXIFF_BMP, image);
    return PlatReadTga(data, size, image);
}
