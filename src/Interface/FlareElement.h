#pragma once

#include "Platform/Win32Types.h"

#include <string>

// One line of a flare file: an element strung on the line from the sun
// through the screen centre.
struct FlareElement {
    // Only the first element's texture is used: it is the page's.
    std::string textureName;
    // 0 at the sun, 50 at the screen centre, beyond 50 past it.
    int factor = 0;
    float scaleX = 0;
    float scaleY = 0;
    // ARGB; the alpha byte is replaced every frame.
    DWORD colour = 0;
    int width = 0;
    int height = 0;
    int halfWidth = 0;
    int halfHeight = 0;
    int left = 0;
    int top = 0;
};
