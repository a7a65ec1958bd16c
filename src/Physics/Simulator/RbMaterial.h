#pragma once

// One entry of a world's 256-entry material table.
struct RbMaterial {
    float friction = 0.5f;
    float restitution = 0.4f;
    float density = 1.0f;
};
