// Chance: the one random sequence of a run. World generation and then the
// seeker spawns draw from it in a fixed order, so a seed with the inputs and
// steps makes the whole run, and nothing else in the program draws from it.
// Its numbers are those of glibc's rand() after srand with the same seed (an
// additive feedback generator over 31 words, started by a multiplicative
// one), so a seed makes on every platform the world it made on Linux when
// the game drew from the C library.
#pragma once

#include <cstdint>

struct Chance {
    int32_t ring[34] = {};  // the last 34 words: the 31 lags and the 3 of the nearer tap
    int32_t next = 0;       // where the next word goes
};

// The sequence of seed, as srand(seed) starts rand()'s (0 counts as 1).
// A record never seeded draws only 0.
Chance seeded_chance(unsigned seed);

// The next number of the sequence, in [0, 2^31 - 1].
int next_chance(Chance& chance);
