#pragma once

// The project's one random generator. Every rand/srand of the game goes
// through it, so sequences are the same on every machine and C library:
// a linear congruential generator with a 15-bit result.

inline constexpr int PLAT_RAND_MAX = 32767;

// Restarts the sequence; seed 1 is the state at program start.
void PlatSRand(unsigned int seed);

// Next value of the sequence, 0 to PLAT_RAND_MAX.
int PlatRand();
