#pragma once

#include <string>
#include <vector>

// The demo game's sounds: mono, 22,050 Hz, 16-bit WAVE files for
// Data\Sounds, and the menu and race music as OGG Vorbis for Data\Music.
struct DemoSound {
    std::string file;
    std::vector<float> samples;
};

constexpr int kDemoSoundRate = 22050;

std::vector<DemoSound> DemoEffects();
std::vector<DemoSound> DemoMusic();
