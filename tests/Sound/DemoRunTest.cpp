#include "Sound/NWaveFile.h"
#include "Support/TempGameRoot.h"
#include "Support/ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The game run headless for a number of frames in the current folder,
// with OpenAL Soft limited to the named drivers.
int RunGame(const std::string& drivers) {
    return RunTool("ALSOFT_CONF=alsoft.conf ALSOFT_DRIVERS=" + drivers +
                       " SDL_VIDEODRIVER=offscreen timeout 60",
                   std::string(KESTROVAR_PATH) + " --windowed --frames 100")
        .exitCode;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The level of a mix OpenAL Soft's wave writer saved: 32-bit float
// samples behind an extensible format header.
float MixLevel(const char* file) {
    CNWaveFile wave;
    if (FAILED(wave.Open(file)) || wave.GetFormat()->wBitsPerSample != 32)
        return -1;
    std::vector<float> samples(wave.GetSize() / sizeof(float));
    DWORD read = 0;
    wave.Read(reinterpret_cast<BYTE*>(samples.data()), static_cast<DWORD>(samples.size() * sizeof(float)),
              &read);
    double sum = 0;
    for (float sample : samples)
        sum += double(sample) * sample;
    return samples.empty() ? 0 : static_cast<float>(std::sqrt(sum / double(samples.size())));
}

} // namespace

// The demo game in a folder of its own: its menu music is heard in the mix
// of OpenAL Soft's wave-file driver, and without any sound device the run
// ends normally with one line more in the log.
TEST(DemoRunTest, MenuMusicIsHeardAndNoDeviceIsOneLogLine) {
    TempGameRoot root;
    fs::copy(KV_BUILD_DATA, "Data", fs::copy_options::recursive);
    fs::copy_file(KV_ACTIONS_FILE, "Actions.cfg");
    TempGameRoot::WriteFile("alsoft.conf", "[wave]\nfile = " + (root.Path() / "mix.wav").string() + "\n");

    ASSERT_EQ(RunGame("wave"), 0);
    const std::vector<std::string> withSound = Lines(TempGameRoot::ReadFile("log.txt"));
    EXPECT_GT(MixLevel("mix.wav"), 0.01f);

    ASSERT_EQ(RunGame("no-such-driver"), 0);
    std::vector<std::string> withoutSound = Lines(TempGameRoot::ReadFile("log.txt"));
    ASSERT_EQ(withoutSound.size(), withSound.size() + 1);
    EXPECT_EQ(withoutSound[0], "No sound device could be opened: the game runs without sound");
    withoutSound.erase(withoutSound.begin());
    EXPECT_EQ(withoutSound, withSound);
}
