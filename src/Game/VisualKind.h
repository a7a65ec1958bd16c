#pragma once

// The kind of visual a game object carries.
enum EVisualKind {
    VISUAL_MESH = 0,
    VISUAL_ANIMATED = 1,
    VISUAL_LIGHT = 2,
    VISUAL_SPRITE = 3,
    VISUAL_PARTICLES = 4,
    VISUAL_NONE = 5,
};
