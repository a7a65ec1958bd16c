// imagetool DATA_FOLDER: writes the pictures the engine itself needs into a
// game's Data tree: the texture that stands in for missing ones, the loading
// screen's background and bar, the post effects' blur mask and grain, and
// the demo crate's planks, the demo cars' liveries, the cars' shadow, the
// sky's gradient, sun and cloud puff, the demo torch's wood and the demo
// particle sprites and tracer streak, the checkpoint banner, the refill
// pad's arrows and the grandstands.
#include "ToolOutput.h"
#include "imagetool/EnginePictures.h"
#include "imagetool/LevelPictures.h"
#include "imagetool/ParticlePictures.h"
#include "imagetool/SkyPictures.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

bool Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    return WriteToolOutput("imagetool", path, bytes);
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
                         Write(data / "Textures" / "blurmask_2.tga", EncodeTga(BlurMaskPicture())) &&
                         Write(data / "Textures" / "noise.tga", EncodeTga(NoisePicture())) &&
                         Write(data / "Textures" / "crate.tga", EncodeTga(CratePicture())) &&
                         Write(data / "Textures" / "buggy.tga", EncodeTga(BuggyPicture())) &&
                         Write(data / "Textures" / "roadster1.tga", EncodeTga(BuggyPicture(0xff2060d0))) &&
                         Write(data / "Textures" / "roadster2.tga", EncodeTga(BuggyPicture(0xff30a040))) &&
                         Write(data / "Textures" / "roadster3.tga", EncodeTga(BuggyPicture(0xff9030b0))) &&
                         Write(data / "Textures" / "cloud.tga", EncodeTga(CloudPicture())) &&
                         Write(data / "Clouds" / "skygrad.tga", EncodeTga(SkyGradientPicture())) &&
                         Write(data / "Clouds" / "sun.tga", EncodeTga(SunPicture())) &&
                         Write(data / "Textures" / "torch.tga", EncodeTga(TorchPicture())) &&
                         Write(data / "Textures" / "spark.tga", EncodeTga(SparkPicture())) &&
                         Write(data / "Textures" / "tracer.tga", EncodeTga(TracerPicture())) &&
                         Write(data / "Textures" / "puff.tga", EncodeTga(PuffPicture())) &&
                         Write(data / "Textures" / "fire.tga", EncodeTga(FirePicture())) &&
                         Write(data / "Textures" / "scorch.tga", EncodeTga(ScorchPicture())) &&
                         Write(data / "Textures" / "shadow.tga", EncodeTga(ShadowPicture())) &&
                         Write(data / "Textures" / "gate.tga", EncodeTga(GatePicture())) &&
                         Write(data / "Textures" / "pad.tga", EncodeTga(PadPicture())) &&
                         Write(data / "Textures" / "stand.tga", EncodeTga(StandPicture()));
    return written ? 0 : 1;
}
