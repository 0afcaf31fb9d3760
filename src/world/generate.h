// World generation: the walled box of blocks, the random blocks, the ground,
// the water surface and its animation data, all drawn from the run's chance
// in a fixed order (62,500 numbers for the blocks, then 2,500 per map).
#pragma once

#include "world/chance.h"
#include "world/world.h"

// Fills a freshly zeroed world, drawing 82,500 numbers from chance. Does not
// build meshes; the caller does.
void generate_world(World& world, Chance& chance);

// Fills a 50 x 50 map with values in [lowest, lowest + 0.999 * range] from
// 2,500 numbers of chance, then smooths it `passes` times with a wrapping
// five-point average, using `scratch` as the working copy.
void fill_smoothed_map(float (&map)[world_size][world_size],
                       float (&scratch)[world_size][world_size],
                       float lowest, float highest, int passes, Chance& chance);
