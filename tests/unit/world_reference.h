// Plain, literal versions of the world rules for the tests to compare the
// fast code against: slow, but obviously right.
#pragma once

#include "world/world.h"

#include <cstdlib>
#include <cstring>
#include <memory>

inline int ref_wrap(int i) { return wrap_index(i, world_size); }

inline bool ref_supported(const World& w, int x, int y, int z) {
    if (y == 0) return true;
    const int xp = ref_wrap(x + 1), zp = ref_wrap(z + 1);
    const float fy = static_cast<float>(y);
    if (w.terrain_height[x][z] > fy || w.terrain_height[xp][z] > fy ||
        w.terrain_height[x][zp] > fy || w.terrain_height[xp][zp] > fy) {
        return true;
    }
    const int below = y > 0 ? y - 1 : 0, above = y < world_levels - 1 ? y + 1 : y;
    return w.block_grid[ref_wrap(x - 1)][y][z] == 1 || w.block_grid[xp][y][z] == 1 ||
           w.block_grid[x][y][ref_wrap(z - 1)] == 1 || w.block_grid[x][y][zp] == 1 ||
           w.block_grid[x][below][z] == 1 || w.block_grid[x][above][z] == 1;
}

// One settling step done the long way: fall, gather, then whole-grid passes
// until one changes nothing.
inline void reference_settle(World& w) {
    for (int x = 0; x < world_size; ++x) {
        for (int z = 0; z < world_size; ++z) {
            for (int y = 0; y < world_levels - 1; ++y) w.falling_grid[x][y][z] = w.falling_grid[x][y + 1][z];
            w.falling_grid[x][world_levels - 1][z] = 0;
        }
    }
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z)
                if (w.block_grid[x][y][z] == 1) {
                    w.falling_grid[x][y][z] = 1;
                    w.block_grid[x][y][z] = 0;
                }
    bool changed = true;
    while (changed) {
        changed = false;
        for (int x = 0; x < world_size; ++x)
            for (int y = 0; y < world_levels; ++y)
                for (int z = 0; z < world_size; ++z)
                    if (w.falling_grid[x][y][z] != 0 && ref_supported(w, x, y, z)) {
                        w.block_grid[x][y][z] = 1;
                        w.falling_grid[x][y][z] = 0;
                        changed = true;
                    }
    }
}

inline std::unique_ptr<World> make_world() { return std::make_unique<World>(); }

// Copies the state that settling reads and writes.
inline void copy_grids(const World& from, World& to) {
    std::memcpy(to.block_grid, from.block_grid, sizeof to.block_grid);
    std::memcpy(to.falling_grid, from.falling_grid, sizeof to.falling_grid);
    std::memcpy(to.terrain_height, from.terrain_height, sizeof to.terrain_height);
}

inline bool same_grids(const World& a, const World& b) {
    return std::memcmp(a.block_grid, b.block_grid, sizeof a.block_grid) == 0 &&
           std::memcmp(a.falling_grid, b.falling_grid, sizeof a.falling_grid) == 0;
}

inline int count_blocks(const uint8_t (&grid)[world_size][world_levels][world_size]) {
    int n = 0;
    for (const auto& plane : grid)
        for (const auto& row : plane)
            for (uint8_t cell : row) n += cell != 0;
    return n;
}
