#include "imagetool/LevelPictures.h"

#include "imagetool/EnginePictures.h"

namespace {

uint32_t Colour(uint32_t r, uint32_t g, uint32_t b) {
    return 0xff000000 | r << 16 | g << 8 | b;
}

// Whether a texel of the road picture lies on a painted line: the
// edge lines near both borders and, on the first half of the picture's
// length, the centre line.
bool IsRoadMarking(int x, int y, const Image& image) {
    const int edge = image.width / 16;
    const bool edgeLine =
        (x >= edge && x < 2 * edge) || (x >= image.width - 2 * edge && x < image.width - edge);
    const bool centreLine =
        x >= image.width / 2 - edge / 2 && x < image.width / 2 + edge / 2 && y < image.height / 2;
    return edgeLine || centreLine;
}

} // namespace

Image GroundColourPicture() {
    Image image(256, 256);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t grain = GrainAt(x, y) / 8;
            image.At(x, y) = Colour(50 + grain, 105 + grain, 35 + grain / 2);
        }
    return image;
}

Image GroundDetailPicture() {
    Image image(128, 128);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t level = 96 + GrainAt(x, y) / 4;
            image.At(x, y) = Colour(level, level, level);
        }
    return image;
}

Image RoadPicture() {
    Image image(64, 128);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t level = 70 + GrainAt(x, y) / 10;
            image.At(x, y) =
                IsRoadMarking(x, y, image) ? Colour(230, 230, 225) : Colour(level, level, level + 4);
        }
    return image;
}

Image BarrierPicture() {
    Image image(64, 32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t grain = GrainAt(x, y) / 16;
            const bool red = x < image.width / 2;
            image.At(x, y) = y >= image.height - 6 ? Colour(40 + grain, 40 + grain, 40 + grain)
                             : red                 ? Colour(200 + grain, 30 + grain, 25 + grain)
                                                   : Colour(225 + grain, 225 + grain, 220 + grain);
        }
    return image;
}

Image GatePicture() {
    Image image(32, 32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = ((x / 16 + y / 16) % 2 == 0) ? Colour(240, 240, 240) : Colour(20, 20, 20);
    return image;
}

Image PadPicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const int across = x < image.width / 2 ? image.width / 2 - 1 - x : x - image.width / 2;
            const int phase = (y + across) % 32;
            const uint32_t alpha = phase < 12 ? 230 : 60;
            image.At(x, y) = alpha << 24 | 0x40e0ff;
        }
    return image;
}

Image StandPicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint32_t grain = GrainAt(x, y) / 8;
            const bool seat = y % 16 >= 4 && y % 16 < 12 && x % 8 < 6;
            image.At(x, y) = seat ? ((y / 16) % 2 == 0 ? Colour(30 + grain, 70 + grain, 170 + grain)
                                                       : Colour(200 + grain, 170 + grain, 30))
                                  : Colour(130 + grain, 130 + grain, 125 + grain);
        }
    return image;
}
