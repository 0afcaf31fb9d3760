// The player: the movement outcomes the design states, a row for each way
// the velocity is damped, the view, the body and the guards.
#include "sim/player.h"
#include "sim/update.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

// Each row runs the move alone, in open space or standing on flat ground at
// 0 (a rope hangs 1000 up, holding the body 0.1 into the ground), and checks
// the velocity and the highest rise it ends with. Forward is -z, right +x.
TEST(SimPlayer, MovementOutcomes) {
    const float n = NAN, d = 0.1725f / std::sqrt(2.0f), fly = std::pow(0.95f, 20.0f);
    const struct { const char* name; bool ground, flying, rope; std::vector<int> keys; Vec3 vel; float speed, rise; int updates; Vec3 want; float top; } rows[] = {
        {"walk", true, false, false, {key_w}, {}, 1, 0, 300, {0, -0.01f, -0.1725f}, n},
        {"diagonal", true, false, false, {key_up, key_d}, {}, 1, 0, 300, {d, -0.01f, -d}, n},
        {"opposite keys", true, false, false, {key_a, key_right}, {}, 1, 0, 50, {0, -0.01f, 0}, n},
        {"double speed", true, false, false, {key_s}, {}, 2, 0, 200, {0, -0.02f, 0.03f * 0.84f / 0.16f}, n},
        {"half speed", true, false, false, {key_left}, {}, 0.5f, 0, 900, {-0.0075f * 0.96f / 0.04f, -0.005f, 0}, n},
        {"jump", true, false, false, {key_space}, {}, 1, 0, 60, {n, n, n}, 4.86f},
        {"jump at half speed", true, false, false, {key_space}, {}, 0.5f, 0, 120, {n, n, n}, 4.86f},
        {"fall", false, false, false, {}, {}, 1, 0, 300, {0, -0.02f / 0.09f, 0}, n},
        {"fall at double speed", false, false, false, {key_down}, {}, 2, 0, 300, {0, -0.02f / 0.09f, 0.1575f}, n},
        {"walk in the air", false, false, false, {key_w}, {}, 1, 0, 300, {0, -0.02f / 0.09f, -0.1725f}, n},
        {"ground rising 0.05 each", true, false, false, {}, {}, 1, 0.05f, 40, {0, 0.05f * 0.91f - 0.01f, 0}, n},
        {"flying on the ground", true, true, false, {}, {0.2f, -0.1f, 0}, 1, 0, 20, {0.2f * fly, 0, 0}, n},
        {"flying upwards", false, true, false, {}, {0, 1, 0}, 1, 0, 20, {0, fly, 0}, n},
        {"flying and walking", false, true, false, {key_d}, {}, 1, 0, 300, {0.015f * 0.95f / 0.05f, 0, 0}, n},
        {"rope on the ground", true, false, true, {}, {0.2f, 0, 0}, 1, 0, 20, {0.2f * fly, -0.01f, 0}, n},
        {"rope", false, false, true, {}, {0.2f, 0, 0}, 1, 0, 20, {0.2f * fly, -0.01f, 0}, n},
    };
    for (const auto& row : rows) {
        auto world = new_world();
        auto game = new_game();
        game->player_pos = vec3(25.3f, 1.25f, 25.6f);
        if (row.ground) set_flat_ground(*world, 0.0f);
        for (int i = 0; i < 5 && row.ground; ++i) move_player(*game, *world, Intent{}, 1.0f);
        game->player_vel = row.vel;
        game->swinging = row.rope;
        game->swing_anchor = game->player_pos + vec3(0.0f, 1000.0f, 0.0f);
        game->swing_length = 1000.1f;
        Input input;
        for (int key : row.keys) input.key_state[key] = input_held;
        float top = 0.0f;
        for (int u = 1; u <= row.updates; ++u) {
            if (row.rise > 0.0f) set_flat_ground(*world, row.rise * static_cast<float>(u));
            game->flying = row.flying;
            move_player(*game, *world, read_intent(input), row.speed);
            top = std::fmax(top, game->player_pos.y - 1.25f);
        }
        const float got[4] = {game->player_vel.x, game->player_vel.y, game->player_vel.z, top};
        const float want[4] = {row.want.x, row.want.y, row.want.z, row.top};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(std::isnan(want[i]) || std::fabs(got[i] - want[i]) < (i == 3 ? (row.speed == 1.0f ? 0.01f : 0.15f) : row.rope ? 3e-3f : 2e-4f))
                << row.name << " " << i << ": " << got[i] << " for " << want[i];
    }
}

// The camera starts over the shoulder at (26, 11, 30) aiming 50 along -z,
// and moves to the head while the right button is held; the pitch stops at a
// quarter turn, and an unsized view or a pointer outside turns nothing.
TEST(SimPlayer, ViewAndSelection) {
    auto world = new_world();
    auto game = new_game();
    Input input = centred_input();
    update_game(*game, *world, input, 1.0f);
    EXPECT_LT(length(game->camera_pos - vec3(26.0f, 11.0f, 30.0f)), 1e-5f);
    EXPECT_LT(length(game->aim_point - vec3(26.0f, 11.0f, -20.0f)), 1e-4f);
    EXPECT_NEAR(game->arm_root[0].x, 25.4f, 1e-5f);  // side 0 is the right
    input.mouse_button_state[button_right] = input_held;
    update_game(*game, *world, input, 1.0f);
    EXPECT_LT(length(game->camera_pos - (game->player_pos + vec3(0.0f, 1.65f, 0.0f))), 1e-6f);
    set_flat_ground(*world, 0.0f);
    game->player_pitch = 0.5f;  // looking down: the aim point lies on the ground
    update_game(*game, *world, input, 1.0f);
    EXPECT_NEAR(game->aim_point.y, 0.0f, 1e-5f);
    // The clocks advance with the speed factor, held within [0.2, 2]; NaN counts as 1.
    for (float speed : {1.0f, 5.0f, 0.01f, NAN}) {
        const float before = world->water_phase;
        update_game(*game, *world, input, speed);
        EXPECT_NEAR(world->water_phase - before, std::isnan(speed) ? 0.025f : 0.025f * std::fmin(std::fmax(speed, 0.2f), 2.0f), 1e-6f) << speed;
    }
    const struct { int y; bool inside; float size, pitch; } pitches[] = {
        {599, true, 800, 1.5707964f}, {-100000, true, 800, -1.5707964f}, {599, false, 800, -1.5707964f}, {599, true, 0, -1.5707964f}};
    for (auto p : pitches) {
        input.mouse_y = p.y;
        input.mouse_in_window = p.inside;
        input.view_width = input.view_height = p.size;
        for (int i = 0; i < 200; ++i) mouse_look(*game, input, 2.0f);
        EXPECT_EQ(game->player_pitch, p.pitch) << p.y;
        EXPECT_TRUE(std::isfinite(game->player_yaw));
    }
    for (int32_t state : {input_pressed, input_held}) {
        input.key_state[key_q] = state;
        select_action(*game, input);
    }
    EXPECT_EQ(game->action_type, Fly);  // Q from the first action wraps to the last, once per press
}

// A foot stays where it landed until the hip is over 2 from it, and over
// nothing is never planted; hands stop at the ground; a rope anchored at the
// body, an aim at the shoulder or a broken speed leave nothing non-finite.
TEST(SimPlayer, BodyAndGuards) {
    auto world = new_world(), empty = new_world();
    set_flat_ground(*world, 0.0f);
    auto game = new_game();
    game->player_pos = vec3(25.3f, 1.25f, 25.6f);
    Input input;
    input.key_state[key_w] = input_held;
    int steps = 0;
    for (int i = 0; i < 80; ++i) {
        move_player(*game, *world, read_intent(input), 1.0f);
        const Vec3 before = game->foot_pos[0];
        place_body(*game, *world);
        ASSERT_TRUE(game->foot_planted[0]);
        ASSERT_NEAR(game->foot_pos[0].y, 0.0f, 1e-6f);
        if (i > 0 && before.z != game->foot_pos[0].z && ++steps) { EXPECT_GT(length(game->leg_root[0] - before), 2.0f); }
    }
    EXPECT_GE(steps, 3);
    set_flat_ground(*world, 1.0f);
    game->aim_point = game->player_pos + vec3(0.4f, -10.0f, 0.0f);  // down through the ground
    place_body(*game, *world);
    EXPECT_NEAR(game->hand_pos[0].y, 1.0f, 1e-5f);
    auto air = new_game();
    place_body(*air, *empty);
    EXPECT_FALSE(air->foot_planted[1]);
    EXPECT_EQ(air->foot_pos[1].y, air->leg_root[1].y - 2.0f);
    game->player_yaw = 0.7f;  // shoulders and hips 0.4 to each side, square to the facing, right first
    place_body(*game, *empty);
    for (const Vec3* roots : {game->arm_root, game->leg_root}) {
        const Vec3 side = roots[0] - game->player_pos, facing = vec3(std::cos(game->player_facing), 0.0f, std::sin(game->player_facing));
        EXPECT_NEAR(std::hypot(side.x, side.z), 0.4f, 1e-5f);
        EXPECT_NEAR(dot(side, facing), 0.0f, 1e-5f);
        EXPECT_GT(facing.x * side.z - facing.z * side.x, 0.0f);
        EXPECT_LT(length(roots[0] + roots[1] - game->player_pos * 2.0f - vec3(0.0f, side.y * 2.0f, 0.0f)), 1e-4f);
    }
    game->aim_point = game->arm_root[0];
    place_body(*game, *empty);
    EXPECT_NEAR(length(game->hand_pos[0] - game->arm_root[0]), 1.95f, 1e-5f);
    for (float rope : {0.0f, 3.0f}) {
        game->swinging = true;
        game->swing_anchor = game->player_pos;
        game->swing_length = rope;
        move_player(*game, *empty, Intent{}, 1.0f);
    }
    for (float speed : {NAN, 0.0f, -1.0f, INFINITY, 1e-30f}) update_game(*game, *world, centred_input(), speed);
    EXPECT_TRUE(all_finite(*game));
}
