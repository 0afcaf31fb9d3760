// Nothing passes through a solid surface, at any speed: bodies stepping
// farther than their radius, segments crossing on a shared edge or corner.
#include "sim/collision.h"
#include "sim/update.h"
#include "sim/vecmath.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

// A world (generated from seed, or empty) with its ground heights h
// replaced by ground(h).
template <class Ground>
std::unique_ptr<World> world_with_ground(unsigned seed, bool generated, Ground ground) {
    auto world = std::make_unique<World>();
    std::srand(seed);
    if (generated) generate_world(*world);
    for (auto& row : world->terrain_height)
        for (float& h : row) h = ground(h);
    build_world_meshes(*world);
    return world;
}

// The pointer dx pixels right and dy down from the middle of a 640 x 480 view.
Input pointer_at(int dx, int dy) {
    Input input;
    input.view_width = 640.0f, input.view_height = 480.0f;
    input.mouse_x = 320 + dx, input.mouse_y = 240 + dy;
    input.mouse_in_window = true;
    return input;
}

// Reference judge: does the path from s to e cross a surface inside one of
// its triangles (barycentric, a little tolerance either way)? For a body
// only an entry from the open side counts; for a segment any crossing short
// of its end.
bool crosses(const World& world, Vec3 s, Vec3 e, bool body) {
    auto chunk = [](float p, float q, int side) { return (int)std::floor((side < 0 ? std::fmin(p, q) : std::fmax(p, q)) / 5) + side; };
    for (int cx = chunk(s.x, e.x, -1); cx <= chunk(s.x, e.x, 1); ++cx)
        for (int cz = chunk(s.z, e.z, -1); cz <= chunk(s.z, e.z, 1); ++cz) {
            const Vec3 off = vec3(5.0f * (float)cx, 0.0f, 5.0f * (float)cz);
            const int k = wrapped_chunk_index(cx, cz);
            for (const CollisionList* list : {&world.block_collision[k], &world.terrain_collision[k]})
                for (int t = 0; t < list->triangle_count; ++t) {
                    Vec3 a = vec3_at(list->corner_a.get(), t) + off, n = vec3_at(list->normals.get(), t);
                    Vec3 u = vec3_at(list->corner_b.get(), t) + off - a, v = vec3_at(list->corner_c.get(), t) + off - a;
                    double d0 = dot(n, s - a), d1 = dot(n, e - a);
                    if (body ? !(d0 <= 1e-5 && d1 > 1e-3) : !(d0 * d1 < 0 && std::fmin(std::fabs(d0), std::fabs(d1)) > 1e-4)) continue;
                    Vec3 w = s + (e - s) * (float)(d0 / (d0 - d1)) - a;
                    double uu = dot(u, u), uv = dot(u, v), vv = dot(v, v), wu = dot(w, u), wv = dot(w, v);
                    double den = uu * vv - uv * uv, p = (vv * wu - uv * wv) / den, q = (uu * wv - uv * wu) / den;
                    if (p >= -1e-5 && q >= -1e-5 && p + q <= 1 + 1e-5) return true;
                }
        }
    return false;
}

TEST(SimCrossing, AJumpAtSpeedTwoStaysUnderTheCeiling) {
    // Ground at 19.5: a jump at speed 2 (1.5 a step) could carry the centre past y = 24.
    auto world = world_with_ground(1, true, [](float) { return 19.5f; });
    Game game;
    game.player_pos = game.camera_pos = vec3(11.0f, 21.0f, 20.0f);
    Input input = pointer_at(10, 0);
    input.key_state[key_space] = input.key_state[key_w] = input_held;
    for (int u = 0; u < 800 && !HasFailure(); ++u) {
        update_game(game, *world, input, 2.0f);
        EXPECT_LT(game.player_pos.y, 24.0f) << "update " << u;
    }
}

TEST(SimCrossing, VerticalSegmentsOnDiagonalsAndCornersAreClipped) {
    // Ground at 5; a block at level 7 over column (3, 3) of every chunk.
    auto world = world_with_ground(0, false, [](float) { return 5.0f; });
    for (int x = 3; x < 50; x += 5)
        for (int z = 3; z < 50; z += 5) world->block_grid[x][7][z] = 1;
    build_world_meshes(*world);
    struct Case { float from, to, stop; int cx, cz; bool up_diagonal; } cases[] = {
        {9.0f, 1.5f, 5.0f, 0, 0, false},   // down onto the ground
        {6.5f, 9.5f, 7.0f, 3, 3, true},    // up into a block's underside
        {12.0f, 7.5f, 8.0f, 3, 3, false},  // down onto a block's top
    };
    for (const Case& c : cases)
        for (int i = 0; i <= 40; ++i) {
            const float f = (float)(i % 20) / 20.0f, g = i < 20 ? (c.up_diagonal ? f : 1.0f - f) : 0.0f;
            for (int chunk = 0; chunk < 100; chunk += 7) {
                const float x = (float)(5 * (chunk / 10) + c.cx) + f, z = (float)(5 * (chunk % 10) + c.cz) + g;
                Vec3 end = vec3(x, c.to, z);
                ASSERT_TRUE(clip_segment(*world, vec3(x, c.from, z), end)) << x << " " << z << " from " << c.from;
                EXPECT_NEAR(end.y, c.stop, 1e-5f) << x << " " << z;
            }
        }
}

TEST(SimCrossing, NoBodyOrSegmentCrossesASurfaceInRandomPlay) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        auto chance = [&](float p) { return std::uniform_real_distribution<float>(0, 1)(rng) < p; };
        auto world = world_with_ground(seed, true, [](float h) { return std::fmin(h + 17.0f, 21.0f); });  // near the ceiling
        auto game = std::make_unique<Game>(), last = std::make_unique<Game>();
        const Game& g = *game;
        game->player_pos = game->camera_pos = vec3(11.0f, 23.0f, 20.0f);
        auto surfaces = [&] { return std::string((const char*)world->block_grid, sizeof world->block_grid) +
                                     std::string((const char*)world->terrain_height, sizeof world->terrain_height); };
        for (int u = 0; u < 700; ++u) {
            Input input = pointer_at((int)(rng() % 81) - 40, (int)(rng() % 61) - 30);
            for (int key : {key_w, key_a, key_d, key_space}) input.key_state[key] = chance(0.5f) ? input_held : 0;
            input.key_state[key_e] = chance(0.02f) ? input_pressed : 0;
            input.mouse_button_state[button_left] = chance(0.1f) ? input_pressed : chance(0.8f) ? input_held : 0;
            input.mouse_button_state[button_right] = chance(0.3f) ? input_held : 0;
            const float speed = chance(0.5f) ? 2.0f : 0.2f + 1.8f * (float)(rng() % 1000) / 1000.0f;
            const std::string before = surfaces();
            *last = *game;
            update_game(*game, *world, input, speed);
            if (surfaces() != before) continue;  // an edit or a settling step moved the surfaces
            ASSERT_FALSE(crosses(*world, last->player_pos, g.player_pos, true)) << seed << " " << u;
            ASSERT_FALSE(crosses(*world, g.camera_pos, g.aim_point, false)) << seed << " " << u;
            for (int i = 0; i < 2; ++i) {
                ASSERT_FALSE(crosses(*world, g.arm_root[i], g.hand_pos[i], false)) << seed << " " << u;
                const bool placed = std::memcmp(&g.foot_pos[i], &last->foot_pos[i], sizeof(Vec3)) != 0;  // else planted
                EXPECT_FALSE(placed && crosses(*world, g.leg_root[i], g.foot_pos[i], false)) << seed << " " << u;
            }
            // Balls keep their order; only a removed seeker shifts the rest.
            const int seekers = last->ball_kind_count[Seeker];
            if (g.ball_kind_count[Seeker] < seekers + (seekers < max_seekers ? 1 : 0)) continue;
            for (int i = 0; i < last->ball_count; ++i)
                ASSERT_FALSE(crosses(*world, last->balls[i].pos, g.balls[i].pos, last->balls[i].kind == Seeker)) << seed << " " << u << " ball " << i;
        }
    }
}

}  // namespace
