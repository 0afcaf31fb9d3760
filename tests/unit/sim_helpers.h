// Test helpers for the simulation: hand-built collision lists, fresh heap-allocated worlds and games, a check
// of a world's derived geometry, and clip_segment done the plain way (every triangle of every list the
// segment's box touches goes through the plane, crossing and angle-sum tests in full, nothing skipped), which
// the tests hold the fast clip to bit for bit and the benchmarks time as the baseline.
#pragma once

#include "sim/collision.h"
#include "sim/game.h"
#include "sim/input.h"
#include "sim/vecmath.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world_reference.h"

#include <array>
#include <cmath>
#include <string>

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
    for (int c = 0; c < chunk_count; ++c) {
        const int x = c / 10, z = c % 10;
        if (!same_mesh(w.block_meshes[c], reference_blocks(w.block_grid, w.tile_blocks, x, z)) ||
            !same_mesh(w.falling_meshes[c], reference_blocks(w.falling_grid, w.tile_falling, x, z)) ||
            !same_mesh(w.terrain_meshes[c], reference_surface(w.terrain_height, w.tile_terrain, x, z)) ||
            !same_mesh(w.water_meshes[c], reference_surface(w.water_height, w.tile_water, x, z)))
            return "mesh of chunk " + std::to_string(c);
        for (int k = 0; k < 2; ++k) {
            const ChunkMesh& mesh = k ? w.terrain_meshes[c] : w.block_meshes[c];
            const CollisionList& l = k ? w.terrain_collision[c] : w.block_collision[c];
            std::vector<Quad> quads(static_cast<size_t>(mesh.vertex_count / 4));
            for (size_t v = 0; v < quads.size() * 4; ++v) quads[v / 4][v % 4] = vec3_at(mesh.vertices.get(), int(v));
            CollisionList ref;
            set_list(ref, quads);
            bool same = l.built && l.triangle_count == ref.triangle_count;
            for (auto a : {&CollisionList::corner_a, &CollisionList::corner_b, &CollisionList::corner_c, &CollisionList::normals})
                same = same && (!ref.triangle_count || !std::memcmp((l.*a).get(), (ref.*a).get(), ref.triangle_count * 12u));
            if (!same) return "collision list of chunk " + std::to_string(c);
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

// The pointer resting in the middle of an 800 x 600 view.
inline Input centred_input() { return Input{{}, {}, 400, 300, true, 800.0f, 600.0f}; }

inline float between(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(std::rand()) / float(RAND_MAX); }

inline bool all_finite(const Game& g) {
    const Vec3 points[] = {g.player_pos, g.player_vel, g.swing_anchor, g.chest_pos, g.head_pos, g.hip_pos,
                           g.arm_root[0], g.arm_root[1], g.hand_pos[0], g.hand_pos[1], g.leg_root[0],
                           g.leg_root[1], g.foot_pos[0], g.foot_pos[1], g.camera_pos, g.aim_point,
                           vec3(g.player_yaw, g.player_pitch, g.player_facing + g.swing_length)};
    bool finite = true;
    for (Vec3 p : points) finite = finite && is_finite(p);
    for (int i = 0; i < g.ball_count; ++i) finite = finite && is_finite(g.balls[i].pos) && is_finite(g.balls[i].vel);
    return finite;
}

inline bool plain_clip_with_list(Vec3 s, Vec3& e, const CollisionList& list) {
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
        }
    }
    return hit;
}

inline bool plain_clip(const World& world, Vec3 s, Vec3& e) {
    auto lo = [](float a, float b) { return static_cast<int>(std::floor(std::fmin(a, b) / 5.0f)); };
    auto hi = [](float a, float b) { return static_cast<int>(std::floor(std::fmax(a, b) / 5.0f)); };
    const int cx0 = lo(s.x, e.x), cx1 = hi(s.x, e.x), cz0 = lo(s.z, e.z), cz1 = hi(s.z, e.z);
    bool hit = false;
    for (int cx = cx0; cx <= cx1; ++cx) {
        for (int cz = cz0; cz <= cz1; ++cz) {
            const int k = wrapped_chunk_index(cx, cz);
            const Vec3 offset = vec3(5.0f * static_cast<float>(cx), 0.0f, 5.0f * static_cast<float>(cz));
            s = s - offset;
            e = e - offset;
            hit |= plain_clip_with_list(s, e, world.block_collision[k]);
            hit |= plain_clip_with_list(s, e, world.terrain_collision[k]);
            s = s + offset;
            e = e + offset;
        }
    }
    return hit;
}
