#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One element of a lens flare: its texture, its place between the sun (0)
// and the screen centre (50), its scale, ARGB colour and texel rectangle on
// a 512 x 512 flare texture.
struct FlareLine {
    std::string texture;
    int factor = 0;
    float scaleX = 1;
    float scaleY = 1;
    uint32_t colour = 0xffffffff;
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

// The text of a flare file: nine TAB-separated fields per element, the
// colour as an unsigned decimal.
std::string FlareFileText(const std::vector<FlareLine>& lines);
