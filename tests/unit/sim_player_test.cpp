// The player: the movement outcomes the design states, one row for each way
// the velocity is damped, the view, the body, and the guards that keep the
// state finite.
#include "sim/player.h"
#include "sim/update.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<Game> standing_game(World& world) {
    set_flat_ground(world, 0.0f);
    auto game = new_game();
    game->player_pos = vec3(25.3f, 1.25f, 25.6f);
    for (int i = 0; i < 5; ++i) move_player(*game, world, Intent{}, 1.0f);
    return game;
}

}  // namespace

// Each row runs the move alone in open space or over flat ground at 0 (a
// rope hangs 1000 up, holding the body 0.1 into the ground) and checks the
// horizontal speed, the vertical velocity and the highest rise it ends with.
TEST(SimPlayer, MovementOutcomes) {
    const float n = NAN;
    const struct {
        const char* name;
        bool ground, flying, rope;
        std::vector<int> keys;
        Vec3 vel;
        float speed, rise_per_update;
        int updates;
        float horizontal, vertical, top;
    } rows[] = {
        {"walk", true, false, false, {key_w}, {}, 1.0f, 0.0f, 300, 0.1725f, -0.01f, n},
        {"walk by arrow", true, false, false, {key_up}, {}, 1.0f, 0.0f, 300, 0.1725f, -0.01f, n},
        {"diagonal", true, false, false, {key_w, key_d}, {}, 1.0f, 0.0f, 300, 0.1725f, -0.01f, n},
        {"opposite keys", true, false, false, {key_a, key_d}, {}, 1.0f, 0.0f, 50, 0.0f, -0.01f, n},
        {"walk at double speed", true, false, false, {key_s}, {}, 2.0f, 0.0f, 200, 0.03f * 0.84f / 0.16f, -0.02f, n},
        {"walk at half speed", true, false, false, {key_a}, {}, 0.5f, 0.0f, 900, 0.0075f * 0.96f / 0.04f, -0.005f, n},
        {"jump", true, false, false, {key_space}, {}, 1.0f, 0.0f, 60, n, n, 4.86f},
        {"jump at half speed", true, false, false, {key_space}, {}, 0.5f, 0.0f, 120, n, n, 4.86f},
        {"fall", false, false, false, {}, {}, 1.0f, 0.0f, 300, 0.0f, -0.02f / 0.09f, n},
        {"fall at double speed", false, false, false, {}, {}, 2.0f, 0.0f, 300, 0.0f, -0.02f / 0.09f, n},
        {"walk in the air", false, false, false, {key_w}, {}, 1.0f, 0.0f, 300, 0.1725f, -0.02f / 0.09f, n},
        {"ground rising 0.05 per update", true, false, false, {}, {}, 1.0f, 0.05f, 40, 0.0f, 0.05f * 0.91f - 0.01f, n},
        {"flying over the ground", true, true, false, {}, {0.2f, -0.1f, 0}, 1.0f, 0.0f, 20, 0.2f * std::pow(0.95f, 20.0f), 0.0f, n},
        {"flying upwards", false, true, false, {}, {0, 1, 0}, 1.0f, 0.0f, 20, 0.0f, std::pow(0.95f, 20.0f), n},
        {"flying and walking", false, true, false, {key_w}, {}, 1.0f, 0.0f, 300, 0.015f * 0.95f / 0.05f, 0.0f, n},
        {"rope", true, false, true, {}, {0.2f, 0, 0}, 1.0f, 0.0f, 20, 0.2f * std::pow(0.95f, 20.0f), -0.01f, n},
        {"rope in the air", false, false, true, {}, {0.2f, 0, 0}, 1.0f, 0.0f, 20, 0.2f * std::pow(0.95f, 20.0f), -0.01f, n},
    };
    for (const auto& row : rows) {
        auto world = new_world();
        auto game = new_game();
        if (row.ground) game = standing_game(*world);
        const float start = game->player_pos.y;
        game->player_vel = row.vel;
        game->swinging = row.rope;
        game->swing_anchor = game->player_pos + vec3(0.0f, 1000.0f, 0.0f);
        game->swing_length = 1000.1f;
        Input input;
        for (int key : row.keys) input.key_state[key] = input_held;
        float top = 0.0f, ground = 0.0f;
        for (int u = 0; u < row.updates; ++u) {
            if (row.rise_per_update > 0.0f) set_flat_ground(*world, ground += row.rise_per_update);
            game->flying = row.flying;
            move_player(*game, *world, read_intent(input), row.speed);
            top = std::fmax(top, game->player_pos.y - start);
        }
        const Vec3 v = game->player_vel;
        const float got[3] = {std::hypot(v.x, v.z), v.y, top}, want[3] = {row.horizontal, row.vertical, row.top};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(std::isnan(want[i]) || std::fabs(got[i] - want[i]) < (i == 2 ? (row.speed == 1.0f ? 0.01f : 0.15f) : row.rope ? 3e-3f : 2e-4f))
                << row.name << ": " << got[i] << " for " << want[i];
    }
}

// Forward is -z at yaw 0, right is +x; the pointer's offset from the middle
// turns the view, and the pitch stops at a quarter turn either way.
TEST(SimPlayer, KeysAndPointerTurnAndAim) {
    const struct { int key; float x, z; } ways[] = {{key_w, 0, -1}, {key_s, 0, 1}, {key_d, 1, 0}, {key_left, -1, 0}};
    for (auto way : ways) {
        auto world = new_world();
        auto game = new_game();
        Input input;
        input.key_state[way.key] = input_held;
        move_player(*game, *world, read_intent(input), 1.0f);
        EXPECT_NEAR(game->player_vel.x, way.x * 0.015f * 0.92f, 1e-6f) << way.key;
        EXPECT_NEAR(game->player_vel.z, way.z * 0.015f * 0.92f, 1e-6f) << way.key;
    }
    auto game = new_game();
    Input input = centred_input();
    input.mouse_x = 600;  // a quarter of the width right of the middle
    input.mouse_y = 150;  // a quarter of the height above it
    mouse_look(*game, input, 2.0f);
    EXPECT_FLOAT_EQ(game->player_yaw, 2.0f * 0.25f * 0.105f);
    EXPECT_FLOAT_EQ(game->player_pitch, -2.0f * 0.25f * 0.075f);
    const struct { int y; bool inside; float w; float pitch; } pitches[] = {
        {599, true, 800, 1.5707964f}, {-100000, true, 800, -1.5707964f}, {599, false, 800, -1.5707964f},
        {599, true, 0, -1.5707964f}};
    for (auto p : pitches) {
        input.mouse_y = p.y;
        input.mouse_in_window = p.inside;
        input.view_width = input.view_height = p.w;
        for (int i = 0; i < 200; ++i) mouse_look(*game, input, 2.0f);
        EXPECT_EQ(game->player_pitch, p.pitch) << p.y;
        EXPECT_TRUE(std::isfinite(game->player_yaw));
    }
    for (int type = 0; type < 9; ++type) {
        Input keys;
        keys.key_state[key_q] = type % 3;
        keys.key_state[key_e] = type / 3;
        game->action_type = 3;
        select_action(*game, keys);
        EXPECT_EQ(game->action_type, 3 - (type % 3 == input_pressed) + (type / 3 == input_pressed)) << type;
    }
    game->action_type = 0;
    input.key_state[key_q] = input_pressed;
    select_action(*game, input);
    EXPECT_EQ(game->action_type, Fly);
}

// The camera starts over the shoulder at (26, 11, 30), aiming 50 units
// along -z, and moves to the head while the right button is held.
TEST(SimPlayer, ViewFromTheStart) {
    auto world = new_world();
    auto game = new_game();
    Input input = centred_input();
    update_game(*game, *world, input, 1.0f);
    EXPECT_LT(length(game->camera_pos - vec3(26.0f, 11.0f, 30.0f)), 1e-5f);
    EXPECT_LT(length(game->aim_point - vec3(26.0f, 11.0f, -20.0f)), 1e-4f);
    EXPECT_NEAR(length(game->hand_pos[0] - game->arm_root[0]), 1.95f, 1e-5f);
    EXPECT_NEAR(game->arm_root[0].x, 25.4f, 1e-5f);  // side 0 is the right
    input.mouse_button_state[button_right] = input_held;
    update_game(*game, *world, input, 1.0f);
    EXPECT_EQ(game->camera_pos.x, game->player_pos.x);
    EXPECT_EQ(game->camera_pos.y, game->player_pos.y + 1.65f);
    EXPECT_EQ(game->camera_pos.z, game->player_pos.z);
}

// A foot stays where it landed until the hip is more than 2 from it; a foot
// over nothing is never planted; hands stop at the ground.
TEST(SimPlayer, FeetAndHands) {
    auto world = new_world();
    auto game = standing_game(*world);
    place_body(*game, *world);
    ASSERT_TRUE(game->foot_planted[0]);
    EXPECT_NEAR(game->foot_pos[0].y, 0.0f, 1e-6f);
    Input input;
    input.key_state[key_w] = input_held;
    int steps = 0;
    for (int i = 0; i < 60; ++i) {
        move_player(*game, *world, read_intent(input), 1.0f);
        const Vec3 before = game->foot_pos[0];
        place_body(*game, *world);
        if (before.z != game->foot_pos[0].z) {
            ++steps;
            EXPECT_GT(length(game->leg_root[0] - before), 2.0f);
        }
    }
    EXPECT_GE(steps, 3);
    auto air = new_game();
    for (int i = 0; i < 2; ++i) {
        place_body(*air, *new_world());
        EXPECT_FALSE(air->foot_planted[1]);
        EXPECT_EQ(air->foot_pos[1].y, air->leg_root[1].y - 2.0f);
    }
    set_flat_ground(*world, 1.0f);
    air->player_pos = vec3(25.3f, 1.25f, 25.6f);
    air->aim_point = vec3(25.7f, -10.0f, 25.6f);  // down through the ground
    place_body(*air, *world);
    EXPECT_NEAR(air->hand_pos[0].y, 1.0f, 1e-5f);
}

// A rope anchored at the body, an aim at the shoulder or a broken speed
// factor leave nothing non-finite.
TEST(SimPlayer, GuardsKeepTheStateFinite) {
    auto world = new_world();
    for (float rope : {0.0f, 3.0f}) {
        auto game = new_game();
        game->swinging = true;
        game->swing_anchor = game->player_pos;
        game->swing_length = rope;
        for (int i = 0; i < 3; ++i) move_player(*game, *world, Intent{}, 1.0f);
        EXPECT_TRUE(all_finite(*game)) << rope;
    }
    auto game = new_game();
    place_body(*game, *world);
    game->aim_point = game->arm_root[0];
    place_body(*game, *world);
    EXPECT_TRUE(all_finite(*game));
    EXPECT_NEAR(length(game->hand_pos[0] - game->arm_root[0]), 1.95f, 1e-5f);
    set_flat_ground(*world, 0.0f);
    Input input = centred_input();
    input.key_state[key_w] = input_held;
    for (float speed : {NAN, 0.0f, -1.0f, INFINITY, 1e-30f}) {
        update_game(*game, *world, input, speed);
        EXPECT_TRUE(all_finite(*game)) << speed;
    }
}
