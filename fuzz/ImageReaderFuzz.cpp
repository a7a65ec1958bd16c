// Decodes arbitrary bytes through the whole picture loader (JPEG, PNG, BMP,
// TGA or DDS by signature) and as a TGA and a DDS file. Whatever the header
// claims, a reader either refuses the bytes or hands back pictures whose
// texels match their sizes.

#include "Platform/Graphics/DdsReader.h"
#include "Platform/Graphics/Image.h"
#include "Platform/Graphics/TgaReader.h"

#include <cstddef>
#include <cstdint>

namespace {

void CheckImage(const PlatImage& image) {
    if (image.surfaces.size() != size_t(image.GetFaceCount()) * image.levelCount)
        __builtin_trap();
    for (const PlatPixels& pixels : image.surfaces)
        if (pixels.width == 0 || pixels.height == 0 || pixels.width > kPlatMaxImageEdge ||
            pixels.texels.size() != size_t(pixels.width) * pixels.height)
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PlatImage image;
    if (PlatDecodeImage(data, size, &image))
        CheckImage(image);
    if (PlatReadTga(data, size, &image))
        CheckImage(image);
    if (PlatReadDds(data, size, &image))
        CheckImage(image);
    return 0;
}
