// Test helpers for the simulation: hand-built collision lists, fresh
// heap-allocated worlds and games, and a check of a world's derived geometry.
#pragma once

#include "sim/game.h"
#include "sim/input.h"
#include "sim/vecmath.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world_reference.h"

#include <array>
#include <string>

using Quad = std::array<Vec3, 4>;

// A list built from quads the plain way: triangles (V0, V1, V2) and
// (V3, V0, V2), normals -normalize((b - a) x (c - b)), into the solid.
inline void set_list(CollisionList& list, const std::vector<Quad>& quads) {
    const int n = static_cast<int>(quads.size()) * 2;
    list.built = true;
    list.triangle_count = n;
    float* arrays[4] = {new float[n * 3], new float[n * 3], new float[n * 3], new float[n * 3]};
    for (int t = 0; t < n; ++t) {
        const Quad& q = quads[t / 2];
        const Vec3 a = t % 2 == 0 ? q[0] : q[3], b = t % 2 == 0 ? q[1] : q[0], c = q[2];
        const Vec3 w = cross(b - a, c - b), m = w / length(w);
        const Vec3 values[4] = {a, b, c, vec3(-m.x, -m.y, -m.z)};
        for (int k = 0; k < 4; ++k) std::memcpy(arrays[k] + 3 * t, &values[k], 12);
    }
    list.corner_a.reset(arrays[0]);
    list.corner_b.reset(arrays[1]);
    list.corner_c.reset(arrays[2]);
    list.normals.reset(arrays[3]);
}

// The upward ground quad over local column (lx, lz) at height h.
inline Quad ground_quad(int lx, int lz, float h) {
    const float x = static_cast<float>(lx), z = static_cast<float>(lz);
    return {vec3(x, h, z + 1), vec3(x + 1, h, z + 1), vec3(x + 1, h, z), vec3(x, h, z)};
}

// Flat ground at height h under the whole world, in every terrain list.
inline void set_flat_ground(World& world, float h) {
    std::vector<Quad> quads;
    for (int i = 0; i < chunk_size * chunk_size; ++i) quads.push_back(ground_quad(i / 5, i % 5, h));
    for (auto& list : world.terrain_collision) set_list(list, quads);
}

// Every mesh equals its cell-by-cell build and every collision list equals
// set_list over its mesh, bit for bit; else names the first that does not.
inline std::string derived_mismatch(const World& w) {
    for (int c = 0; c < chunk_count; ++c) {
        const int cx = c / 10, cz = c % 10;
        if (!same_mesh(w.block_meshes[c], reference_blocks(w.block_grid, w.tile_blocks, cx, cz)) ||
            !same_mesh(w.falling_meshes[c], reference_blocks(w.falling_grid, w.tile_falling, cx, cz)) ||
            !same_mesh(w.terrain_meshes[c], reference_surface(w.terrain_height, w.tile_terrain, cx, cz)) ||
            !same_mesh(w.water_meshes[c], reference_surface(w.water_height, w.tile_water, cx, cz)))
            return "mesh of chunk " + std::to_string(c);
        const ChunkMesh* meshes[2] = {&w.block_meshes[c], &w.terrain_meshes[c]};
        const CollisionList* lists[2] = {&w.block_collision[c], &w.terrain_collision[c]};
        for (int k = 0; k < 2; ++k) {
            std::vector<Quad> quads(static_cast<size_t>(meshes[k]->vertex_count / 4));
            for (size_t v = 0; v < quads.size() * 4; ++v)
                quads[v / 4][v % 4] = vec3_at(meshes[k]->vertices.get(), static_cast<int>(v));
            CollisionList ref;
            set_list(ref, quads);
            const CollisionList& l = *lists[k];
            const size_t n = static_cast<size_t>(ref.triangle_count) * 12;
            if (!l.built || l.triangle_count != ref.triangle_count ||
                (n > 0 && (std::memcmp(l.corner_a.get(), ref.corner_a.get(), n) != 0 ||
                           std::memcmp(l.corner_b.get(), ref.corner_b.get(), n) != 0 ||
                           std::memcmp(l.corner_c.get(), ref.corner_c.get(), n) != 0 ||
                           std::memcmp(l.normals.get(), ref.normals.get(), n) != 0)))
                return "collision list " + std::to_string(k) + " of chunk " + std::to_string(c);
        }
    }
    return "";
}

inline std::unique_ptr<World> new_world() { return std::make_unique<World>(); }

// A world as the game starts it, from rand() seeded with seed.
inline std::unique_ptr<World> generated_world(unsigned seed) {
    auto world = new_world();
    set_atlas_tiles(*world);
    std::srand(seed);
    generate_world(*world);
    build_world_meshes(*world);
    return world;
}

// A game as init_game leaves it: the player and camera at (25, 10, 25).
inline std::unique_ptr<Game> new_game() {
    auto game = std::make_unique<Game>();
    place_player(*game);
    return game;
}

// An input with the pointer resting in the middle of an 800 x 600 view.
inline Input centred_input() {
    Input input;
    input.view_width = 800.0f;
    input.view_height = 600.0f;
    input.mouse_x = 400;
    input.mouse_y = 300;
    input.mouse_in_window = true;
    return input;
}

inline bool all_finite(const Game& g) {
    const Vec3 points[] = {g.player_pos, g.player_vel, g.swing_anchor, g.chest_pos, g.head_pos,
                           g.hip_pos, g.arm_root[0], g.arm_root[1], g.hand_pos[0], g.hand_pos[1],
                           g.leg_root[0], g.leg_root[1], g.foot_pos[0], g.foot_pos[1],
                           g.camera_pos, g.aim_point,
                           vec3(g.player_yaw, g.player_pitch, g.player_facing + g.swing_length)};
    for (Vec3 p : points)
        if (!is_finite(p)) return false;
    for (int i = 0; i < g.ball_count; ++i)
        if (!is_finite(g.balls[i].pos) || !is_finite(g.balls[i].vel)) return false;
    return true;
}
