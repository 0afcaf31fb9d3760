// Test helpers for the simulation: hand-built collision lists and fresh
// heap-allocated worlds and games.
#pragma once

#include "sim/game.h"
#include "sim/input.h"
#include "sim/vecmath.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world/world.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

using Quad = std::array<Vec3, 4>;

// Fills a list from quads the way the world's list builder does: triangles
// (V0, V1, V2) and (V3, V0, V2) per quad, each with the normal
// -normalize((b - a) x (c - b)), pointing into the solid.
inline void set_list(CollisionList& list, const std::vector<Quad>& quads) {
    int n = static_cast<int>(quads.size()) * 2;
    list.built = true;
    list.triangle_count = n;
    list.corner_a.reset(new float[n * 3]);
    list.corner_b.reset(new float[n * 3]);
    list.corner_c.reset(new float[n * 3]);
    list.normals.reset(new float[n * 3]);
    for (int t = 0; t < n; ++t) {
        const Quad& q = quads[t / 2];
        Vec3 a = t % 2 == 0 ? q[0] : q[3];
        Vec3 b = t % 2 == 0 ? q[1] : q[0];
        Vec3 c = q[2];
        Vec3 w = cross(b - a, c - b);
        Vec3 nrm = w / length(w);
        nrm = vec3(-nrm.x, -nrm.y, -nrm.z);
        const Vec3 values[4] = {a, b, c, nrm};
        float* arrays[4] = {list.corner_a.get(), list.corner_b.get(), list.corner_c.get(),
                            list.normals.get()};
        for (int k = 0; k < 4; ++k) {
            arrays[k][3 * t] = values[k].x;
            arrays[k][3 * t + 1] = values[k].y;
            arrays[k][3 * t + 2] = values[k].z;
        }
    }
}

// The upward-facing ground quad over local column (lx, lz) at height h,
// wound like the ground mesh.
inline Quad ground_quad(int lx, int lz, float h) {
    float x = static_cast<float>(lx), z = static_cast<float>(lz);
    return {vec3(x, h, z + 1), vec3(x + 1, h, z + 1), vec3(x + 1, h, z), vec3(x, h, z)};
}

// The six faces of the unit cube at local cell (lx, y, lz), wound
// counter-clockwise seen from outside like the block mesh.
inline std::vector<Quad> cube_quads(int lx, int y, int lz) {
    float x = static_cast<float>(lx), z = static_cast<float>(lz), b = static_cast<float>(y);
    return {
        {vec3(x + 1, b, z), vec3(x + 1, b + 1, z), vec3(x + 1, b + 1, z + 1), vec3(x + 1, b, z + 1)},
        {vec3(x, b, z + 1), vec3(x, b + 1, z + 1), vec3(x, b + 1, z), vec3(x, b, z)},
        {vec3(x, b + 1, z + 1), vec3(x + 1, b + 1, z + 1), vec3(x + 1, b + 1, z), vec3(x, b + 1, z)},
        {vec3(x, b, z), vec3(x + 1, b, z), vec3(x + 1, b, z + 1), vec3(x, b, z + 1)},
        {vec3(x + 1, b, z + 1), vec3(x + 1, b + 1, z + 1), vec3(x, b + 1, z + 1), vec3(x, b, z + 1)},
        {vec3(x, b, z), vec3(x, b + 1, z), vec3(x + 1, b + 1, z), vec3(x + 1, b, z)},
    };
}

// Flat ground at height h under the whole world, in every terrain list.
inline void set_flat_ground(World& world, float h) {
    std::vector<Quad> quads;
    for (int lx = 0; lx < chunk_size; ++lx) {
        for (int lz = 0; lz < chunk_size; ++lz) quads.push_back(ground_quad(lx, lz, h));
    }
    for (auto& list : world.terrain_collision) set_list(list, quads);
}

inline std::unique_ptr<World> new_world() { return std::make_unique<World>(); }

// A world as the game starts it: generated from rand() seeded with seed,
// then meshed and given its collision lists.
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
    game->player_pos = vec3(25.0f, 10.0f, 25.0f);
    game->camera_pos = vec3(25.0f, 10.0f, 25.0f);
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
                           g.camera_pos, g.aim_point};
    for (Vec3 p : points) {
        if (!is_finite(p)) return false;
    }
    if (!std::isfinite(g.player_yaw) || !std::isfinite(g.player_pitch) ||
        !std::isfinite(g.player_facing) || !std::isfinite(g.swing_length))
        return false;
    for (int i = 0; i < g.ball_count; ++i) {
        if (!is_finite(g.balls[i].pos) || !is_finite(g.balls[i].vel)) return false;
    }
    return true;
}
