// Plain, literal versions of the world rules for the tests to compare the
// fast code against: slow, but obviously right.
#pragma once

#include "world/world.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

inline int ref_wrap(int i) { return wrap_index(i, world_size); }

// Level 0, a ground corner of the column above the block's bottom, or a
// resting block face to face.
inline bool ref_supported(const World& w, int x, int y, int z) {
    const int xp = ref_wrap(x + 1), zp = ref_wrap(z + 1);
    const float fy = static_cast<float>(y);
    const auto& h = w.terrain_height;
    const auto& b = w.block_grid;
    return y == 0 || h[x][z] > fy || h[xp][z] > fy || h[x][zp] > fy || h[xp][zp] > fy ||
           b[ref_wrap(x - 1)][y][z] || b[xp][y][z] || b[x][y][ref_wrap(z - 1)] || b[x][y][zp] ||
           b[x][y - 1][z] || (y < world_levels - 1 && b[x][y + 1][z]);
}

// One settling step the long way: falling blocks drop a level, every block
// falls, then whole-grid passes put back what is supported until none does.
inline void reference_settle(World& w) {
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) {
                w.falling_grid[x][y][z] = (y < world_levels - 1 && w.falling_grid[x][y + 1][z]) || w.block_grid[x][y][z];
                w.block_grid[x][y][z] = 0;
            }
    for (bool changed = true; changed;) {
        changed = false;
        for (int x = 0; x < world_size; ++x)
            for (int y = 0; y < world_levels; ++y)
                for (int z = 0; z < world_size; ++z)
                    if (w.falling_grid[x][y][z] && ref_supported(w, x, y, z)) {
                        w.block_grid[x][y][z] = 1;
                        w.falling_grid[x][y][z] = 0;
                        changed = true;
                    }
    }
}

inline bool same_grids(const World& a, const World& b) {
    return std::memcmp(a.block_grid, b.block_grid, sizeof a.block_grid) == 0 &&
           std::memcmp(a.falling_grid, b.falling_grid, sizeof a.falling_grid) == 0;
}

// A chunk's quads made cell by cell (every open block face, or one quad per
// column of a height map), as vertices then texcoords.
struct RefMesh {
    std::vector<float> v, t;
    void add(const float (&quad)[12], const AtlasTile& tile) {
        v.insert(v.end(), quad, quad + 12);
        t.insert(t.end(), tile.st, tile.st + 8);
    }
};

inline RefMesh reference_blocks(const uint8_t (&g)[world_size][world_levels][world_size], const AtlasTile& tile,
                                int cx, int cz) {
    RefMesh m;
    for (int x = cx * 5; x < cx * 5 + 5; ++x)
        for (int z = cz * 5; z < cz * 5 + 5; ++z)
            for (int y = 0; y < world_levels; ++y) {
                if (!g[x][y][z]) continue;
                const float a = static_cast<float>(x - cx * 5), b = static_cast<float>(y), c = static_cast<float>(z - cz * 5);
                if (!g[ref_wrap(x + 1)][y][z]) m.add({a + 1, b, c, a + 1, b + 1, c, a + 1, b + 1, c + 1, a + 1, b, c + 1}, tile);
                if (!g[ref_wrap(x - 1)][y][z]) m.add({a, b, c + 1, a, b + 1, c + 1, a, b + 1, c, a, b, c}, tile);
                if (y == 24 || !g[x][y + 1][z]) m.add({a, b + 1, c + 1, a + 1, b + 1, c + 1, a + 1, b + 1, c, a, b + 1, c}, tile);
                if (y != 0 && !g[x][y - 1][z]) m.add({a, b, c, a + 1, b, c, a + 1, b, c + 1, a, b, c + 1}, tile);
                if (!g[x][y][ref_wrap(z + 1)]) m.add({a + 1, b, c + 1, a + 1, b + 1, c + 1, a, b + 1, c + 1, a, b, c + 1}, tile);
                if (!g[x][y][ref_wrap(z - 1)]) m.add({a, b, c, a, b + 1, c, a + 1, b + 1, c, a + 1, b, c}, tile);
            }
    return m;
}

inline RefMesh reference_surface(const float (&h)[world_size][world_size], const AtlasTile& tile, int cx, int cz) {
    RefMesh m;
    for (int x = cx * 5; x < cx * 5 + 5; ++x)
        for (int z = cz * 5; z < cz * 5 + 5; ++z) {
            const float a = static_cast<float>(x - cx * 5), c = static_cast<float>(z - cz * 5);
            const int xp = ref_wrap(x + 1), zp = ref_wrap(z + 1);
            m.add({a, h[x][zp], c + 1, a + 1, h[xp][zp], c + 1, a + 1, h[xp][z], c, a, h[x][z], c}, tile);
        }
    return m;
}

inline bool same_mesh(const ChunkMesh& mesh, const RefMesh& ref) {
    const size_t n = static_cast<size_t>(mesh.vertex_count);
    return n * 3 == ref.v.size() && (n == 0 || (std::memcmp(mesh.vertices.get(), ref.v.data(), n * 12) == 0 &&
                                                std::memcmp(mesh.texcoords.get(), ref.t.data(), n * 8) == 0));
}
