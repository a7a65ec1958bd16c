// videotool TTF DATA_FOLDER: writes the demo's intro video,
// DATA_FOLDER/Video/intro.avi (MPEG-4 pictures with PCM sound), its title
// set in the TrueType font TTF.
#include "ToolOutput.h"
#include "uitool/GlyphRasterizer.h"
#include "videotool/IntroVideo.h"
#include "videotool/Mpeg4AviEncoder.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr int kTitlePixels = 44;

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: videotool TTF DATA_FOLDER\n");
        return 2;
    }
    GlyphRasterizer font(argv[1], kTitlePixels);
    if (!font.IsOpen()) {
        std::fprintf(stderr, "videotool: cannot open the font %s\n", argv[1]);
        return 1;
    }
    std::string error;
    const std::vector<uint8_t> bytes = Mpeg4AviEncoder::Encode(IntroVideo(font, "Kestrovar"), error);
    if (bytes.empty()) {
        std::fprintf(stderr, "videotool: %s\n", error.c_str());
        return 1;
    }
    const std::filesystem::path data = argv[2];
    return WriteToolOutput("videotool", data / "Video" / "intro.avi", bytes) ? 0 : 1;
}
