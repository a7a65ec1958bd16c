// soundtool DATA_FOLDER: writes the demo game's sound effects into
// DATA_FOLDER/Sounds and its music into DATA_FOLDER/Music.
#include "ToolOutput.h"
#include "soundtool/DemoSounds.h"
#include "soundtool/SoundWriter.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundtool DATA_FOLDER\n");
        return 2;
    }
    const std::filesystem::path data = argv[1];
    const PcmFormat format{1, kDemoSoundRate, 16};
    for (const DemoSound& sound : DemoEffects())
        if (!WriteToolOutput("soundtool", data / "Sounds" / sound.file, EncodeWave(sound.samples, format)))
            return 1;
    for (const DemoSound& piece : DemoMusic())
        if (!WriteToolOutput("soundtool", data / "Music" / piece.file,
                             EncodeSoundFile(SoundFileKind::Ogg, piece.samples, format)))
            return 1;
    return 0;
}
