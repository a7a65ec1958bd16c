#pragma once

// One colour-and-size key of a particle type. The keys of a type are spread
// evenly over a particle's life; colour components run from 0 to 1.
struct ParticleKey {
    float alpha = 0;
    float red = 0;
    float green = 0;
    float blue = 0;
    float size = 0;
};
