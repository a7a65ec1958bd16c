#pragma once

// Render-queue levels, drawn in ascending order. Materials add their own
// offsets to the bases (objects of a type, particle kinds, interface pages).
enum ERenderPriority {
    RENDER_LINE = 10,
    RENDER_SHADOW = 16,
    RENDER_TERRAIN = 17,
    // The default camera's level: the pages and menu scenes outside a race
    // are seen through it.
    RENDER_DEFAULT_CAMERA = 19,
    RENDER_OBJECT_BASE = 20,
    RENDER_PARTICLES_BASE = 22,
    // The motion-blur pass runs before the first level at or above this one.
    RENDER_AFTER_BLUR = 120,
    // The screen camera's level; the bloom pass runs before the first level
    // at or above it.
    RENDER_SCREEN = 195,
    RENDER_INTERFACE = 200,
    RENDER_FONT_BASE = 201,
};
