// Test helpers: plain versions of the world rules and clip_segment (slow but obviously right; the tests hold
// the fast code to them bit for bit, the benchmarks time them), hand-built collision lists, fresh worlds.
#pragma once

#include "sim/collision.h"
#include "sim/input.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

inline int ref_wrap(int i) { return wrap_index(i, world_size); }

// Level 0, a ground corner of the column above the block's bottom, or a resting block face to face.
inline bool ref_supported(const World& w, int x, int y, int z) {
    const int xp = ref_wrap(x + 1), zp = ref_wrap(z + 1);
    const float fy = static_cast<float>(y);
    const auto& h = w.terrain_height;
    const auto& b = w.block_grid;
    return y == 0 || h[x][z] > fy || h[xp][z] > fy || h[x][zp] > fy || h[xp][zp] > fy ||
           b[ref_wrap(x - 1)][y][z] || b[xp][y][z] || b[x][y][ref_wrap(z - 1)] || b[x][y][zp] ||
           b[x][y - 1][z] || (y < world_levels - 1 && b[x][y + 1][z]);
}

// One settling step the long way: falling blocks drop a level, every block falls, then whole-grid passes put
// back what is supported until none does.
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

// The bytes of the values in turn, each whole, so that no padding is read.
template <typename... T> std::string bytes_of(const T&... v) {
    return (std::string(reinterpret_cast<const char*>(&v), sizeof v) + ...);
}

// What a world holds of its own: grids, maps and clocks (its meshes and lists derive from them).
inline std::string world_bytes(const World& w) {
    return bytes_of(w.block_grid, w.falling_grid, w.terrain_height, w.water_height, w.water_frames,
                    w.water_phase_offset, w.water_phase, w.fall_offset);
}

// A chunk's quads made cell by cell (every open block face, or one quad per column of a height map), as
// vertices then texcoords.
struct RefMesh {
    std::vector<float> v, t;
    void add(const float (&quad)[12], const AtlasTile& tile) {
        v.insert(v.end(), quad, quad + 12);
        t.insert(t.end(), tile.st, tile.st + 8);
    }
};

// With ground g, the faces whose four corners all lie below the ground at their column corner are left out.
inline RefMesh reference_blocks(const uint8_t (&g)[world_size][world_levels][world_size], const AtlasTile& tile,
                                int cx, int cz, const float (*ground)[world_size][world_size] = nullptr) {
    RefMesh m;
    auto add = [&](const float (&quad)[12]) {
        bool buried = ground != nullptr;
        for (int k = 0; k < 12 && buried; k += 3)
            buried = quad[k + 1] < (*ground)[ref_wrap(cx * 5 + int(quad[k]))][ref_wrap(cz * 5 + int(quad[k + 2]))];
        if (!buried) m.add(quad, tile);
    };
    for (int x = cx * 5; x < cx * 5 + 5; ++x)
        for (int z = cz * 5; z < cz * 5 + 5; ++z)
            for (int y = 0; y < world_levels; ++y) {
                if (!g[x][y][z]) continue;
                const float a = float(x - cx * 5), b = float(y), c = float(z - cz * 5), d = b + 1;
                if (!g[ref_wrap(x + 1)][y][z]) add({a + 1, b, c, a + 1, d, c, a + 1, d, c + 1, a + 1, b, c + 1});
                if (!g[ref_wrap(x - 1)][y][z]) add({a, b, c + 1, a, d, c + 1, a, d, c, a, b, c});
                if (y == 24 || !g[x][y + 1][z]) add({a, d, c + 1, a + 1, d, c + 1, a + 1, d, c, a, d, c});
                if (y != 0 && !g[x][y - 1][z]) add({a, b, c, a + 1, b, c, a + 1, b, c + 1, a, b, c + 1});
                if (!g[x][y][ref_wrap(z + 1)]) add({a + 1, b, c + 1, a + 1, d, c + 1, a, d, c + 1, a, b, c + 1});
                if (!g[x][y][ref_wrap(z - 1)]) add({a, b, c, a, d, c, a + 1, d, c, a + 1, b, c});
            }
    return m;
}

inline RefMesh reference_surface(const float (&h)[world_size][world_size], const AtlasTile& tile, int cx, int cz,
                                 const float (*g)[world_size][world_size] = nullptr) {
    RefMesh m;
    for (int x = cx * 5; x < cx * 5 + 5; ++x)
        for (int z = cz * 5; z < cz * 5 + 5; ++z) {
            const float a = static_cast<float>(x - cx * 5), c = static_cast<float>(z - cz * 5);
            const int xp = ref_wrap(x + 1), zp = ref_wrap(z + 1);
            auto below = [&](int i, int k) { return g && h[i][k] < (*g)[i][k]; };
            if (!below(x, z) || !below(xp, z) || !below(x, zp) || !below(xp, zp))
                m.add({a, h[x][zp], c + 1, a + 1, h[xp][zp], c + 1, a + 1, h[xp][z], c, a, h[x][z], c}, tile);
        }
    return m;
}

using Quad = std::array<Vec3, 4>;

// A list built the plain way: triangles (V0, V1, V2) and (V3, V0, V2) per
// quad, normals -normalize((b - a) x (c - b)), into the solid.
inline void set_list(CollisionList& list, const std::vector<Quad>& quads) {
    const int n = static_cast<int>(quads.size()) * 2;
    list.built = true;
    list.triangle_count = n;
    std::unique_ptr<float[]>* arrays[4] = {&list.corner_a, &list.corner_b, &list.corner_c, &list.normals};
    for (auto* array : arrays) array->reset(new float[n * 3]);
    for (int t = 0; t < n; ++t) {
        const Quad& q = quads[t / 2];
        const Vec3 a = t % 2 == 0 ? q[0] : q[3], b = t % 2 == 0 ? q[1] : q[0], c = q[2];
        const Vec3 w = cross(b - a, c - b), m = w / length(w);
        const Vec3 values[4] = {a, b, c, vec3(-m.x, -m.y, -m.z)};
        for (int k = 0; k < 4; ++k) std::memcpy(arrays[k]->get() + 3 * t, &values[k], 12);
    }
}

// The upward ground quad over local column (x, z) at height h.
inline Quad ground_quad(float x, float z, float h) {
    return {vec3(x, h, z + 1), vec3(x + 1, h, z + 1), vec3(x + 1, h, z), vec3(x, h, z)};
}

// Flat ground at height h under the whole world, in every terrain list.
inline void set_flat_ground(World& world, float h) {
    std::vector<Quad> quads;
    for (int i = 0; i < 25; ++i) quads.push_back(ground_quad(static_cast<float>(i / 5), static_cast<float>(i % 5), h));
    for (auto& list : world.terrain_collision) set_list(list, quads);
}

// Every mesh equals its cell-by-cell build and every collision list equals
// set_list over its mesh, bit for bit; else names the first that does not.
inline std::string derived_mismatch(const World& w) {
    auto same_mesh = [](const ChunkMesh& mesh, const RefMesh& ref) {
        const size_t n = static_cast<size_t>(mesh.vertex_count);
        return n * 3 == ref.v.size() && (n == 0 || (std::memcmp(mesh.vertices.get(), ref.v.data(), n * 12) == 0 &&
                                                    std::memcmp(mesh.texcoords.get(), ref.t.data(), n * 8) == 0));
    };
    for (int c = 0; c < chunk_count; ++c) {
        const int x = c / 10, z = c % 10;
        if (!same_mesh(w.block_meshes[c], reference_blocks(w.block_grid, w.tile_blocks, x, z)) ||
            !same_mesh(w.open_block_meshes[c], reference_blocks(w.block_grid, w.tile_blocks, x, z, &w.terrain_height)) ||
            !same_mesh(w.falling_meshes[c], reference_blocks(w.falling_grid, w.tile_falling, x, z)) ||
            !same_mesh(w.terrain_meshes[c], reference_surface(w.terrain_height, w.tile_terrain, x, z)) ||
            !same_mesh(w.water_meshes[c], reference_surface(w.water_height, w.tile_water, x, z)) ||
            !same_mesh(w.open_water_meshes[c], reference_surface(w.water_height, w.tile_water, x, z, &w.terrain_height)))
            return "mesh of chunk " + std::to_string(c);
        for (int k = 0; k < 2; ++k) {
            const ChunkMesh& mesh = k ? w.terrain_meshes[c] : w.block_meshes[c];
            const CollisionList& l = k ? w.terrain_collision[c] : w.block_collision[c];
            std::vector<Quad> quads(static_cast<size_t>(mesh.vertex_count / 4));
            for (size_t v = 0; v < quads.size() * 4; ++v) quads[v / 4][v % 4] = vec3_at(mesh.vertices.get(), int(v));
            CollisionList ref;
            set_list(ref, quads);
            const size_t n = static_cast<size_t>(ref.triangle_count) * 12;
            bool same = l.built && l.triangle_count == ref.triangle_count;
            using L = CollisionList;
            for (auto a : {&L::corner_a, &L::corner_b, &L::corner_c, &L::normals})
                same = same && (n == 0 || std::memcmp((l.*a).get(), (ref.*a).get(), n) == 0);
            if (!same) return "collision list of chunk " + std::to_string(c);
        }
    }
    return "";
}

inline std::unique_ptr<World> new_world() { return std::make_unique<World>(); }

// A world as the game starts it, from seed's chance.
inline std::unique_ptr<World> generated_world(unsigned seed) {
    auto world = new_world();
    set_atlas_tiles(*world);
    Chance chance = seeded_chance(seed);
    generate_world(*world, chance);
    build_world_meshes(*world);
    return world;
}

// A game as init_game leaves it, its chance seeded: the player and camera at (25, 10, 25).
inline std::unique_ptr<Game> new_game(unsigned seed = 1) {
    auto game = std::make_unique<Game>();
    game->chance = seeded_chance(seed);
    place_player(*game);
    return game;
}

inline Input centred_input() { return Input{{}, {}, 400, 300, true, 800.0f, 600.0f}; }

inline float between(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(std::rand()) / float(RAND_MAX); }

inline std::array<Vec3, 16> game_vectors(const Game& g) {
    return {g.player_pos, g.player_vel, g.swing_anchor, g.chest_pos, g.head_pos, g.hip_pos, g.arm_root[0],
            g.arm_root[1], g.hand_pos[0], g.hand_pos[1], g.leg_root[0], g.leg_root[1], g.foot_pos[0], g.foot_pos[1],
            g.camera_pos, g.aim_point};
}

inline bool all_finite(const Game& g) {
    bool finite = is_finite(vec3(g.player_yaw, g.player_pitch, g.player_facing + g.swing_length));
    for (Vec3 p : game_vectors(g)) finite = finite && is_finite(p);
    for (int i = 0; i < g.ball_count; ++i) finite = finite && is_finite(g.balls[i].pos) && is_finite(g.balls[i].vel);
    return finite;
}

// Every triangle of every list the box touches goes through the plane, crossing and angle-sum tests in full.
// The nearest crossing on an edge or corner, which point_in_triangle turns
// down for want of an angle, in world coordinates.
struct PlainEdge {
    bool found = false;
    float distance = 0.0f;
    Vec3 point, normal;
};

inline bool plain_clip_with_list(Vec3 s, Vec3& e, const CollisionList& list, PlainEdge& edge, Vec3 offset) {
    bool hit = false;
    for (int t = 0; t < list.triangle_count; ++t) {
        const Vec3 a = vec3_at(list.corner_a.get(), t), b = vec3_at(list.corner_b.get(), t);
        const Vec3 c = vec3_at(list.corner_c.get(), t), m = triangle_plane_normal(a, b, c);
        const float plane_d = -dot(m, a);
        if (!segment_crosses_plane(m, plane_d, s, e)) continue;
        const Vec3 x = line_plane_intersection(m, plane_d, s, e);
        if (point_in_triangle(x, a, b, c)) {
            e = x;
            hit = true;
        } else if (point_on_triangle(x, a, b, c) && (!edge.found || length(x - s) < edge.distance)) {
            edge = PlainEdge{true, length(x - s), x + offset, m};
        }
    }
    return hit;
}

inline bool plain_clip(const World& world, Vec3 s, Vec3& e) {
    auto lo = [](float a, float b) { return static_cast<int>(std::floor(std::fmin(a, b) / 5.0f)); };
    auto hi = [](float a, float b) { return static_cast<int>(std::floor(std::fmax(a, b) / 5.0f)); };
    const int cx0 = lo(s.x, e.x), cx1 = hi(s.x, e.x), cz0 = lo(s.z, e.z), cz1 = hi(s.z, e.z);
    bool hit = false;
    PlainEdge edge;
    for (int cx = cx0; cx <= cx1; ++cx)
        for (int cz = cz0; cz <= cz1; ++cz) {
            const int k = wrapped_chunk_index(cx, cz);
            const Vec3 offset = vec3(5.0f * static_cast<float>(cx), 0.0f, 5.0f * static_cast<float>(cz));
            s = s - offset;
            e = e - offset;
            hit |= plain_clip_with_list(s, e, world.block_collision[k], edge, offset);
            hit |= plain_clip_with_list(s, e, world.terrain_collision[k], edge, offset);
            s = s + offset;
            e = e + offset;
        }
    // The segment went on through a surface at an edge or corner.
    if (edge.found && edge.distance < length(e - s) && std::fabs(dot(edge.normal, e - edge.point)) > edge_slack) {
        e = edge.point;
        hit = true;
    }
    return hit;
}
