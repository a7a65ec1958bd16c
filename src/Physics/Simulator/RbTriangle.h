#pragma once

#include <cstdint>

// A terrain triangle as the terrain query returns it: three indices into the
// vertex array (vertices are 4 floats, the fourth not read), the material
// reported for contacts, a mode (only mode 0 is tested) and a user value.
struct RbTriangle {
    std::int32_t vertex[3] = {0, 0, 0};
    std::int32_t material = 0;
    std::int32_t mode = 0;
    std::int32_t user = 0;
};
