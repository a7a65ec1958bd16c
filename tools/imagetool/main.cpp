// imagetool DATA_FOLDER: writes the pictures the engine itself needs into a
// game's Data tree: the texture that stands in for missing ones and the
// loading screen's background and bar, and the demo crate's planks.
#include "Platform/FileSystem.h"
#include "imagetool/ImageWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Magenta and black squares: unmistakable where a texture is missing.
Image ErrorPicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = ((x / 8 + y / 8) % 2) ? 0xff000000 : 0xffff00ff;
    return image;
}

// A dusk sky over a dark horizon; only its upper three quarters are shown.
Image BackgroundPicture() {
    Image image(512, 512);
    for (int y = 0; y < image.height; ++y) {
        const int t = y * 255 / (image.height - 1);
        const auto r = static_cast<uint32_t>(40 + t * 150 / 255);
        const auto g = static_cast<uint32_t>(30 + t * 60 / 255);
        const auto b = static_cast<uint32_t>(90 - t * 60 / 255);
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = 0xff000000 | r << 16 | g << 8 | b;
    }
    return image;
}

// One cell of the bar, repeated once per percent across the screen.
Image BarPicture() {
    Image image(16, 16);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = (x == 0 || x == image.width - 1) ? 0xffc06000 : 0xffffa020;
    return image;
}

// Planks of the demo crate: plain wood inside a dark frame.
Image CratePicture() {
    Image image(64, 64);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool frame = x < 6 || y < 6 || x >= 58 || y >= 58;
            image.At(x, y) = frame ? 0xff4a2e14 : 0xffa0703c;
        }
    return image;
}

bool Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    if (!bytes.empty() && PlatReplaceFile(path.string(), bytes.data(), bytes.size()))
        return true;
    std::fprintf(stderr, "imagetool: cannot write %s\n", path.string().c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagetool DATA_FOLDER\n");
        return 2;
    }
    const std::filesystem::path data = argv[1];
    const bool written = Write(data / "Textures" / "error.tga", EncodeTga(ErrorPicture())) &&
                         Write(data / "Textures" / "back2.jpg", EncodeJpeg(BackgroundPicture(), 90)) &&
                         Write(data / "Textures" / "load.tga", EncodeTga(BarPicture())) &&
                         Write(data / "Textures" / "crate.tga", EncodeTga(CratePicture()));
    return written ? 0 : 1;
}
