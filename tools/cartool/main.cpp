// cartool: tries car descriptions out without the game.
//   cartool drive DESC.xml [--mass M] [--slope DEG] [--throttle T]
//                 [--steering S] [--brake] [--nitro N] [--seconds S]
// drives one car of the description on a generated plane, headless, and
// prints its speed, height, heading and wheels on the ground every 0.1 s.
// See README.md.
#include "cartool/DriveOptions.h"
#include "cartool/TestDrive.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int FramesPerLine = 6;

int Usage() {
    std::fprintf(stderr, "usage: cartool drive DESC.xml [--mass M] [--slope DEG] [--throttle T] "
                         "[--steering S] [--brake] [--nitro N] [--seconds S]\n");
    return 2;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "cartool: %s\n", message.c_str());
    return 1;
}

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return static_cast<bool>(in);
}

void Print(const DriveSample& sample) {
    std::printf("%6.1f %8.3f %7.3f %7.1f %d\n", sample.time, sample.speed, sample.height, sample.heading,
                sample.wheelsDown);
}

int Drive(const DriveOptions& options) {
    std::string text, error;
    if (!ReadText(options.descriptionFile, text))
        return Fail("cannot read " + options.descriptionFile);
    TestDrive drive(options);
    if (!drive.Start(text, error))
        return Fail(options.descriptionFile + ": " + error);
    std::printf("  time    speed  height heading wheels\n");
    const int frames = static_cast<int>(options.seconds / TestDrive::FrameTime + 0.5f);
    for (int frame = 1; frame <= frames; ++frame) {
        drive.RunFrame();
        if (frame % FramesPerLine == 0)
            Print(drive.Sample());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::string(argv[1]) != "drive")
        return Usage();
    DriveOptions options;
    std::string error;
    if (!ParseDriveOptions(std::vector<std::string>(argv + 2, argv + argc), options, error)) {
        std::fprintf(stderr, "cartool: %s\n", error.c_str());
        return Usage();
    }
    return Drive(options);
}
