#include "world/generate.h"

#include "world/settle.h"

#include <cstring>

namespace {

bool structure_block(int x, int y, int z) {
    if (y == 0 || y == world_levels - 1) return true;
    const int last = world_size - 1;
    if ((x == 0 || x == last) && (z < 5 || z >= 45 || y >= 20)) return true;
    if ((z == 0 || z == last) && (x < 5 || x >= 45 || y >= 20)) return true;
    return false;
}

}  // namespace

void fill_smoothed_map(float (&map)[world_size][world_size],
                       float (&scratch)[world_size][world_size],
                       float lowest, float highest, int passes, Chance& chance) {
    const float range = highest - lowest;
    for (int x = 0; x < world_size; ++x) {
        for (int z = 0; z < world_size; ++z) {
            const int r = next_chance(chance) % 1000;
            map[x][z] = static_cast<float>(static_cast<double>(r) * static_cast<double>(0.001f) *
                                               static_cast<double>(range) +
                                           static_cast<double>(lowest));
        }
    }
    for (int pass = 0; pass < passes; ++pass) {
        std::memcpy(scratch, map, sizeof scratch);
        for (int x = 0; x < world_size; ++x) {
            const int xp = x == world_size - 1 ? 0 : x + 1;
            const int xm = x == 0 ? world_size - 1 : x - 1;
            for (int z = 0; z < world_size; ++z) {
                const int zp = z == world_size - 1 ? 0 : z + 1;
                const int zm = z == 0 ? world_size - 1 : z - 1;
                const double sum = static_cast<double>(scratch[xp][z]) + scratch[x][z] +
                                   scratch[xm][z] + scratch[x][zp] + scratch[x][zm];
                map[x][z] = static_cast<float>(sum * static_cast<double>(0.2f));
            }
        }
    }
}

void generate_world(World& world, Chance& chance) {
    for (int x = 0; x < world_size; ++x) {
        for (int y = 0; y < world_levels; ++y) {
            for (int z = 0; z < world_size; ++z) {
                const bool random_block = next_chance(chance) % 1000 == 0;
                world.block_grid[x][y][z] = structure_block(x, y, z) || random_block ? 1 : 0;
            }
        }
    }
    std::memset(world.falling_grid, 0, sizeof world.falling_grid);

    // The ground is still flat at 0 here, so only the floor level and the
    // box itself hold the random blocks; the rest falls during play.
    settle_blocks(world);

    fill_smoothed_map(world.terrain_height, world.smoothing_scratch, -17.75f, 22.25f, 25, chance);
    for (auto& row : world.terrain_height) {
        for (float& h : row) {
            if (0.0f >= h) h = 0.0f;
        }
    }
    fill_smoothed_map(world.water_height, world.smoothing_scratch, 1.0f, 3.0f, 5, chance);
    for (auto& frame : world.water_frames) {
        fill_smoothed_map(frame, world.smoothing_scratch, 1.0f, 3.0f, 5, chance);
    }
    fill_smoothed_map(world.water_phase_offset, world.smoothing_scratch, 0.0f, 2.0f, 2, chance);
}
