#include "sim/player.h"
#include "sim/update.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float horizontal_speed(Vec3 v) { return std::sqrt(v.x * v.x + v.z * v.z); }

// Runs the move for n updates with the keys of input.
void walk(Game& game, const World& world, const Input& input, int n, float speed = 1.0f) {
    for (int i = 0; i < n; ++i) move_player(game, world, read_intent(input), speed);
}

struct FlatGround : ::testing::Test {
    std::unique_ptr<World> world = new_world();
    std::unique_ptr<Game> game = new_game();
    void SetUp() override {
        set_flat_ground(*world, 0.0f);
        game->player_pos = vec3(25.3f, 1.25f, 25.6f);
        walk(*game, *world, Input{}, 5);
        ASSERT_TRUE(game->on_ground);
    }
};

TEST_F(FlatGround, StandingStillStaysOnGround) {
    for (int i = 0; i < 100; ++i) {
        walk(*game, *world, Input{}, 1);
        ASSERT_TRUE(game->on_ground) << i;
        ASSERT_NEAR(game->player_pos.y, 1.25f, 1e-5f);
    }
}

TEST_F(FlatGround, WalkingForwardTendsToItsTopSpeed) {
    Input input;
    input.key_state[key_w] = input_held;
    walk(*game, *world, input, 300);
    // Crossing a chunk border costs a little speed (the sphere brushes the
    // edges of the chunk it is leaving), recovered within a few updates.
    float top = 0.0f, low = 1.0f;
    for (int i = 0; i < 100; ++i) {  // about 19 units: several chunk borders
        walk(*game, *world, input, 1);
        ASSERT_TRUE(game->on_ground);
        top = std::fmax(top, horizontal_speed(game->player_vel));
        low = std::fmin(low, horizontal_speed(game->player_vel));
    }
    EXPECT_NEAR(top, 0.1725f, 5e-5f);
    EXPECT_GT(low, 0.172f);
    // Yaw 0 walks along -z.
    EXPECT_NEAR(game->player_vel.x, 0.0f, 1e-6f);
    EXPECT_LT(game->player_vel.z, 0.0f);
    EXPECT_NEAR(game->player_pos.y, 1.25f, 1e-4f);

    // The arrow key is the same key.
    auto other = new_game();
    other->player_pos = vec3(25.3f, 1.25f, 25.6f);
    walk(*other, *world, Input{}, 5);
    Input arrows;
    arrows.key_state[key_up] = input_pressed;
    walk(*other, *world, arrows, 400);
    EXPECT_EQ(other->player_pos.z, game->player_pos.z);
}

TEST_F(FlatGround, DiagonalIsNoFasterThanStraight) {
    auto straight = new_game();
    *straight = *game;
    Input w;
    w.key_state[key_w] = input_held;
    Input wd = w;
    wd.key_state[key_d] = input_held;
    walk(*straight, *world, w, 100);
    walk(*game, *world, wd, 100);
    Vec3 straight_start = straight->player_pos, diagonal_start = game->player_pos;
    walk(*straight, *world, w, 300);
    walk(*game, *world, wd, 300);
    float straight_run = horizontal_speed(straight->player_pos - straight_start);
    float diagonal_run = horizontal_speed(game->player_pos - diagonal_start);
    EXPECT_NEAR(straight_run / 300.0f, 0.1875f, 2e-4f);  // 0.1725 plus this update's push
    EXPECT_NEAR(diagonal_run, straight_run, 0.002f * straight_run);
    // Halfway between forward (-z) and right (+x).
    Vec3 run = game->player_pos - diagonal_start;
    EXPECT_GT(run.x, 0.0f);
    EXPECT_NEAR(run.x, -run.z, 0.002f * diagonal_run);
}

TEST_F(FlatGround, OppositeKeysCancel) {
    Input input;
    input.key_state[key_a] = input_held;
    input.key_state[key_d] = input_held;
    Vec3 start = game->player_pos;
    walk(*game, *world, input, 50);
    EXPECT_EQ(game->player_pos.x, start.x);
    EXPECT_EQ(game->player_pos.z, start.z);
}

TEST_F(FlatGround, JumpRisesAboutFourPointEightSix) {
    Input input;
    input.key_state[key_space] = input_held;
    float top = 0.0f;
    walk(*game, *world, input, 1);
    EXPECT_FALSE(game->on_ground);
    walk(*game, *world, Input{}, 1);
    for (int i = 0; i < 60; ++i) {
        top = std::fmax(top, game->player_pos.y - 1.25f);
        walk(*game, *world, input, 1);  // holding Space does nothing in the air
    }
    EXPECT_NEAR(top, 4.858f, 0.01f);
}

TEST_F(FlatGround, JumpHeightDoesNotDependOnSpeed) {
    Input input;
    input.key_state[key_space] = input_held;
    walk(*game, *world, input, 1, 0.5f);
    float top = 0.0f;
    for (int i = 0; i < 120; ++i) {
        walk(*game, *world, Input{}, 1, 0.5f);
        top = std::fmax(top, game->player_pos.y - 1.25f);
    }
    // Half-size steps follow the same curve more finely.
    EXPECT_GT(top, 4.5f);
    EXPECT_LT(top, 5.6f);
}

TEST(SimPlayer, FallTendsToTerminalSpeed) {
    auto world = new_world();
    auto game = new_game();
    walk(*game, *world, Input{}, 300);
    EXPECT_FALSE(game->on_ground);
    EXPECT_NEAR(game->player_vel.y, -0.02f / 0.09f, 1e-5f);
}

TEST(SimPlayer, OverTheShoulderCameraAndAimPoint) {
    auto world = new_world();
    auto game = new_game();
    Input input = centred_input();
    update_game(*game, *world, input, 1.0f);
    EXPECT_NEAR(game->camera_pos.x, 26.0f, 1e-5f);
    EXPECT_NEAR(game->camera_pos.y, 11.0f, 1e-5f);
    EXPECT_NEAR(game->camera_pos.z, 30.0f, 1e-5f);
    // Nothing to hit: the aim point is the far end of the 50-unit ray along -z.
    EXPECT_NEAR(game->aim_point.x, 26.0f, 1e-4f);
    EXPECT_NEAR(game->aim_point.y, 11.0f, 1e-4f);
    EXPECT_NEAR(game->aim_point.z, -20.0f, 1e-4f);
    // On the first update the arms reach for the world origin.
    Vec3 reach = game->hand_pos[0] - game->arm_root[0];
    Vec3 to_origin = vec3(0, 0, 0) - game->arm_root[0];
    EXPECT_NEAR(dot(reach, to_origin) / (length(reach) * length(to_origin)), 1.0f, 1e-5f);
    EXPECT_NEAR(length(reach), 1.95f, 1e-5f);
    // Side 0 is +x, the right-hand side.
    EXPECT_NEAR(game->arm_root[0].x, 25.4f, 1e-5f);
    EXPECT_NEAR(game->arm_root[1].x, 24.6f, 1e-5f);
}

TEST(SimPlayer, RightButtonMovesTheCameraToTheHeadFromTheSecondUpdate) {
    auto world = new_world();
    auto game = new_game();
    Input input = centred_input();
    input.mouse_button_state[button_right] = input_pressed;
    update_game(*game, *world, input, 1.0f);
    EXPECT_NEAR(game->camera_pos.z, game->player_pos.z + 5.0f, 1e-4f);
    input.mouse_button_state[button_right] = input_held;
    update_game(*game, *world, input, 1.0f);
    EXPECT_EQ(game->camera_pos.x, game->player_pos.x);
    EXPECT_EQ(game->camera_pos.y, game->player_pos.y + 1.65f);
    EXPECT_EQ(game->camera_pos.z, game->player_pos.z);
}

TEST(SimPlayer, QAndEStepAndWrapTheAction) {
    auto game = new_game();
    Input input;
    input.key_state[key_q] = input_pressed;
    select_action(*game, input);
    EXPECT_EQ(game->action_type, Fly);
    input.key_state[key_q] = input_held;  // held: no repeat
    select_action(*game, input);
    EXPECT_EQ(game->action_type, Fly);
    input.key_state[key_q] = input_up;
    input.key_state[key_e] = input_pressed;
    select_action(*game, input);
    EXPECT_EQ(game->action_type, RaiseGround);
    select_action(*game, input);
    EXPECT_EQ(game->action_type, LowerGround);
    input.key_state[key_q] = input_pressed;
    for (int type = 0; type < action_type_count; ++type) {
        game->action_type = type;
        select_action(*game, input);
        EXPECT_EQ(game->action_type, type);
    }
}

TEST(SimPlayer, MouseLookTurnsByTheOffsetFromTheMiddle) {
    auto game = new_game();
    Input input = centred_input();
    mouse_look(*game, input, 1.0f);
    EXPECT_EQ(game->player_yaw, 0.0f);
    EXPECT_EQ(game->player_pitch, 0.0f);

    input.mouse_x = 600;  // a quarter of the width right of the middle
    input.mouse_y = 150;  // a quarter of the height above it
    mouse_look(*game, input, 2.0f);
    EXPECT_FLOAT_EQ(game->player_yaw, 2.0f * 0.25f * 0.105f);
    EXPECT_FLOAT_EQ(game->player_pitch, -2.0f * 0.25f * 0.075f);

    input.mouse_in_window = false;
    float yaw = game->player_yaw;
    mouse_look(*game, input, 1.0f);
    EXPECT_EQ(game->player_yaw, yaw);

    // No window size yet: no turn, and above all no NaN.
    Input unsized;
    unsized.mouse_in_window = true;
    unsized.mouse_x = 5;
    mouse_look(*game, unsized, 1.0f);
    EXPECT_EQ(game->player_yaw, yaw);
}

TEST(SimPlayer, PitchIsHeldWithinAQuarterTurn) {
    auto game = new_game();
    Input input = centred_input();
    input.mouse_y = 599;
    for (int i = 0; i < 200; ++i) mouse_look(*game, input, 2.0f);
    EXPECT_EQ(game->player_pitch, 1.5707964f);
    input.mouse_y = -100000;  // far outside, as SDL may still report it
    for (int i = 0; i < 3; ++i) {
        mouse_look(*game, input, 2.0f);
        EXPECT_GE(game->player_pitch, -1.5707964f);
    }
    EXPECT_EQ(game->player_pitch, -1.5707964f);
}

TEST(SimPlayer, RopeHoldsTheBodyAtItsLength) {
    auto world = new_world();
    auto game = new_game();
    game->swinging = true;
    game->swing_anchor = vec3(25.0f, 20.0f, 20.0f);
    game->swing_length = length(game->player_pos - game->swing_anchor);
    for (int i = 0; i < 200; ++i) {
        move_player(*game, *world, Intent{}, 1.0f);
        ASSERT_NEAR(length(game->player_pos - game->swing_anchor), game->swing_length, 1e-4f);
    }
    // It swings under the anchor and slows down.
    EXPECT_LT(horizontal_speed(game->player_vel), 0.2f);
}

TEST(SimPlayer, RopeAtItsAnchorStaysFinite) {
    auto world = new_world();
    for (float rope : {0.0f, 3.0f}) {
        auto game = new_game();
        game->swinging = true;
        game->swing_anchor = game->player_pos;
        game->swing_length = rope;
        for (int i = 0; i < 3; ++i) {
            move_player(*game, *world, Intent{}, 1.0f);
            ASSERT_TRUE(all_finite(*game)) << rope;
        }
    }
}

TEST_F(FlatGround, FeetStayPlantedUntilTheBodySteps) {
    game->aim_point = vec3(25.0f, 1.0f, 0.0f);
    place_body(*game, *world);
    ASSERT_TRUE(game->foot_planted[0]);
    Vec3 planted = game->foot_pos[0];
    EXPECT_NEAR(planted.y, 0.0f, 1e-6f);  // the leg ray stopped at the ground

    Input input;
    input.key_state[key_w] = input_held;
    int steps = 0;
    for (int i = 0; i < 60; ++i) {
        walk(*game, *world, input, 1);
        Vec3 before = game->foot_pos[0];
        place_body(*game, *world);
        Vec3 after = game->foot_pos[0];
        if (before.z != after.z) {
            ++steps;
            // A step comes only once the hip is more than 2 from the foot.
            EXPECT_GT(length(game->leg_root[0] - before), 2.0f);
        }
    }
    EXPECT_GE(steps, 3);
}

TEST(SimPlayer, FootWithNoGroundIsNeverPlanted) {
    auto world = new_world();
    auto game = new_game();
    for (int i = 0; i < 3; ++i) {
        place_body(*game, *world);
        EXPECT_FALSE(game->foot_planted[1]);
        EXPECT_EQ(game->foot_pos[1].y, game->leg_root[1].y - 2.0f);
    }
}

TEST(SimPlayer, HandsClipAtTheWorld) {
    auto world = new_world();
    set_flat_ground(*world, 1.0f);
    auto game = new_game();
    game->player_pos = vec3(25.3f, 1.25f, 25.6f);
    game->aim_point = vec3(25.7f, -10.0f, 25.6f);  // down through the ground
    place_body(*game, *world);
    EXPECT_NEAR(game->hand_pos[0].y, 1.0f, 1e-5f);
    EXPECT_LT(length(game->hand_pos[0] - game->arm_root[0]), 1.95f);
}

TEST(SimPlayer, AimAtTheShoulderKeepsTheArmFinite) {
    auto world = new_world();
    auto game = new_game();
    place_body(*game, *world);
    game->aim_point = game->arm_root[0];
    place_body(*game, *world);
    ASSERT_EQ(length(game->aim_point - game->arm_root[0]), 0.0f);
    EXPECT_TRUE(all_finite(*game));
    EXPECT_NEAR(length(game->hand_pos[0] - game->arm_root[0]), 1.95f, 1e-5f);
}

}  // namespace

namespace {

TEST(SimUpdate, AdvancesTheWorldClocks) {
    auto world = new_world();
    auto game = new_game();
    update_game(*game, *world, centred_input(), 1.0f);
    EXPECT_EQ(world->water_phase, 0.025f);
    EXPECT_EQ(world->fall_offset, 0.1f);
}

TEST(SimUpdate, ABrokenSpeedDoesNotPoisonTheState) {
    auto world = new_world();
    set_flat_ground(*world, 0.0f);
    auto game = new_game();
    Input input = centred_input();
    input.key_state[key_w] = input_held;
    for (float speed : {NAN, 0.0f, -1.0f, INFINITY, 1e-30f}) {
        update_game(*game, *world, input, speed);
        ASSERT_TRUE(all_finite(*game)) << speed;
    }
}

}  // namespace
