#include "sim/actions.h"
#include "sim/collision.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct Actions : ::testing::Test {
    std::unique_ptr<World> world = new_world();
    std::unique_ptr<Game> game = new_game();
    Input input;
    Vec3 view = vec3(0.0f, 0.0f, -1.0f);

    void use(int32_t type, int32_t button, float speed = 1.0f) {
        game->action_type = type;
        input.mouse_button_state[button_left] = button;
        apply_action(*game, *world, input, view, speed);
    }
};

TEST_F(Actions, RaisingIsAConeOfRadiusFive) {
    game->aim_point = vec3(25.0f, 3.0f, 25.0f);
    use(RaiseGround, input_pressed);  // held actions wait for the second update
    EXPECT_EQ(world->terrain_height[25][25], 0.0f);
    use(RaiseGround, input_held);
    EXPECT_FLOAT_EQ(world->terrain_height[25][25], 0.05f);
    EXPECT_FLOAT_EQ(world->terrain_height[26][25], 0.04f);
    EXPECT_FLOAT_EQ(world->terrain_height[28][29], 0.0f);  // exactly 5 away
    EXPECT_FLOAT_EQ(world->terrain_height[30][25], 0.0f);
    EXPECT_GT(world->terrain_height[29][27], 0.0f);  // sqrt(20) < 5
    // 4.9 away changes by 0.001 * speed.
    game->aim_point = vec3(10.0f + 4.9f, 3.0f, 10.0f);
    use(RaiseGround, input_held, 2.0f);
    EXPECT_NEAR(world->terrain_height[10][10], 0.002f, 1e-6f);

    int changed = 0;
    for (auto& column : world->terrain_height) {
        for (float h : column) changed += h != 0.0f;
    }
    EXPECT_EQ(changed, 69 + 74);  // lattice points strictly within 5 of each centre
}

TEST_F(Actions, GroundIsHeldWithinZeroAndTwentyFive) {
    world->terrain_height[25][25] = 24.99f;
    game->aim_point = vec3(25.0f, 3.0f, 25.0f);
    use(RaiseGround, input_held);
    EXPECT_EQ(world->terrain_height[25][25], 25.0f);
    use(RaiseGround, input_held);
    EXPECT_EQ(world->terrain_height[25][25], 25.0f);
    world->terrain_height[26][25] = 0.01f;
    use(LowerGround, input_held);
    EXPECT_EQ(world->terrain_height[26][25], 0.0f);
    use(LowerGround, input_held);
    EXPECT_EQ(world->terrain_height[26][25], 0.0f);
    EXPECT_EQ(world->terrain_height[30][25], 0.0f);
}

TEST_F(Actions, ShapingWrapsAcrossTheWorldsEdges) {
    game->aim_point = vec3(49.5f, 3.0f, -0.5f);  // z wraps to 49.5 too
    use(RaiseGround, input_held);
    EXPECT_FLOAT_EQ(world->terrain_height[0][0], (5.0f - std::sqrt(0.5f)) * 0.01f);
    EXPECT_FLOAT_EQ(world->terrain_height[49][49], (5.0f - std::sqrt(0.5f)) * 0.01f);
    EXPECT_GT(world->terrain_height[3][48], 0.0f);
    EXPECT_EQ(world->terrain_height[25][25], 0.0f);

    // The same spot seen from any repetition of the world.
    auto copy = new_world();
    shape_ground(*copy, 49.5f + 500.0f, -0.5f - 1000.0f, true, 1.0f);
    EXPECT_EQ(std::memcmp(copy->terrain_height, world->terrain_height, sizeof copy->terrain_height), 0);
}

TEST(SimActions, WrapCoordinateStaysInsideThePeriod) {
    EXPECT_EQ(wrap_coordinate(49.5f, 50.0f), 49.5f);
    EXPECT_EQ(wrap_coordinate(-0.5f, 50.0f), 49.5f);
    EXPECT_EQ(wrap_coordinate(50.0f, 50.0f), 0.0f);
    float negative_zero = wrap_coordinate(-0.0f, 50.0f);
    EXPECT_EQ(negative_zero, 0.0f);
    EXPECT_FALSE(std::signbit(negative_zero));
    EXPECT_EQ(wrap_coordinate(-1e-10f, 50.0f), 0.0f);  // would round up to 50
    float huge = wrap_coordinate(-3.0e30f, 50.0f);
    EXPECT_GE(huge, 0.0f);
    EXPECT_LT(huge, 50.0f);
    EXPECT_TRUE(std::isnan(wrap_coordinate(INFINITY, 50.0f)));
}

TEST_F(Actions, ShapingAtAnInfiniteAimChangesNothing) {
    shape_ground(*world, INFINITY, 3.0f, true, 1.0f);
    shape_ground(*world, NAN, 3.0f, false, 1.0f);
    for (auto& column : world->terrain_height) {
        for (float h : column) ASSERT_EQ(h, 0.0f);
    }
}

TEST_F(Actions, RemovalDigsTheCellBeyondTheAimedSurface) {
    world->block_grid[25][5][20] = 1;
    game->aim_point = vec3(25.5f, 5.5f, 21.0f);  // the block's +z face
    use(RemoveBlock, input_pressed);
    EXPECT_EQ(world->block_grid[25][5][20], 1);
    use(RemoveBlock, input_held);
    EXPECT_EQ(world->block_grid[25][5][20], 0);
}

TEST_F(Actions, RemovalBelowLevelZeroTakesLevelTwentyFour) {
    world->block_grid[10][24][10] = 1;
    world->block_grid[10][0][10] = 1;
    view = vec3(0.0f, -1.0f, 0.0f);  // straight down
    game->aim_point = vec3(10.5f, 0.1f, -39.5f);
    use(RemoveBlock, input_held);
    EXPECT_EQ(world->block_grid[10][24][10], 0);
    EXPECT_EQ(world->block_grid[10][0][10], 1);
}

TEST_F(Actions, PlacementFillsTheCellInFrontOncePerPress) {
    game->aim_point = vec3(25.5f, 5.5f, 21.0f);  // on a +z face, looking along -z
    use(SpawnBlock, input_held);
    EXPECT_EQ(world->block_grid[25][5][21], 0);
    use(SpawnBlock, input_pressed);
    EXPECT_EQ(world->block_grid[25][5][21], 1);
    // At x = -0.5 the cell is column 49.
    game->aim_point = vec3(-0.5f, 2.5f, 3.0f);
    use(SpawnBlock, input_pressed);
    EXPECT_EQ(world->block_grid[49][2][3], 1);
}

TEST(SimActions, BlockCellRefusesNonFinitePointsAndWrapsHugeOnes) {
    int x = -1, y = -1, z = -1;
    EXPECT_FALSE(block_cell(vec3(NAN, 1.0f, 1.0f), x, y, z));
    EXPECT_FALSE(block_cell(vec3(1.0f, INFINITY, 1.0f), x, y, z));
    ASSERT_TRUE(block_cell(vec3(-1.0e20f, 3.0e12f, 1.0e30f), x, y, z));
    EXPECT_TRUE(x >= 0 && x < 50 && y >= 0 && y < 25 && z >= 0 && z < 50);
    ASSERT_TRUE(block_cell(vec3(-0.25f, -0.25f, 50.25f), x, y, z));
    EXPECT_EQ(x, 49);
    EXPECT_EQ(y, 24);
    EXPECT_EQ(z, 0);
}

TEST_F(Actions, RopeAttachesOnTheSecondUpdateAndDropsOnRelease) {
    game->aim_point = vec3(25.0f, 20.0f, 15.0f);
    use(Swing, input_pressed);
    EXPECT_FALSE(game->swinging);
    use(Swing, input_held);
    ASSERT_TRUE(game->swinging);
    EXPECT_EQ(game->swing_anchor.y, 20.0f);
    EXPECT_FLOAT_EQ(game->swing_length, std::sqrt(200.0f));
    game->aim_point = vec3(0.0f, 0.0f, 0.0f);  // the rope keeps its anchor
    use(Swing, input_held);
    EXPECT_EQ(game->swing_anchor.y, 20.0f);
    use(Fly, input_held);  // another action while holding drops it
    EXPECT_FALSE(game->swinging);
}

TEST_F(Actions, ShootingAddsOneBallPerPress) {
    game->hand_pos[0] = vec3(25.4f, 11.0f, 25.0f);
    game->aim_point = vec3(25.4f, 11.0f, 15.0f);
    use(ShootBall, input_pressed);
    ASSERT_EQ(game->ball_count, 1);
    EXPECT_EQ(game->ball_kind_count[ShotBall], 1);
    EXPECT_EQ(game->balls[0].kind, ShotBall);
    EXPECT_EQ(game->balls[0].pos.x, 25.4f);
    EXPECT_FLOAT_EQ(game->balls[0].vel.z, -0.75f);
    use(ShootBall, input_held);
    EXPECT_EQ(game->ball_count, 1);

    // Hand on the aim point: shot along the view rather than as NaN.
    game->aim_point = game->hand_pos[0];
    use(ShootBall, input_pressed);
    ASSERT_EQ(game->ball_count, 2);
    EXPECT_FLOAT_EQ(game->balls[1].vel.z, -0.75f);
    EXPECT_TRUE(all_finite(*game));
}

TEST_F(Actions, NoShotWhenTheArrayIsFull) {
    game->ball_count = max_balls;
    game->ball_kind_count[ShotBall] = max_balls;
    game->aim_point = vec3(0.0f, 0.0f, 0.0f);
    use(ShootBall, input_pressed);
    EXPECT_EQ(game->ball_count, max_balls);
    EXPECT_EQ(game->ball_kind_count[ShotBall], max_balls);
}

TEST_F(Actions, FlyingPushesTowardsTheAimPoint) {
    game->camera_pos = vec3(26.0f, 11.0f, 30.0f);
    game->aim_point = vec3(26.0f, 11.0f, -20.0f);
    use(Fly, input_held, 2.0f);
    EXPECT_TRUE(game->flying);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.05f);
    EXPECT_EQ(game->player_vel.x, 0.0f);
    use(Fly, input_up);
    EXPECT_FALSE(game->flying);

    // Aim point at the eye: flying, but no push.
    game->aim_point = game->camera_pos;
    use(Fly, input_held);
    EXPECT_TRUE(game->flying);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.05f);
    EXPECT_TRUE(all_finite(*game));
}

}  // namespace

namespace {

// With the world's own builders: an edit shows in the collision lists in
// the same update.
struct ActionsOnMeshes : ::testing::Test {
    std::unique_ptr<World> world = new_world();
    std::unique_ptr<Game> game = new_game();
    Input input;
    Vec3 down = vec3(0.0f, -1.0f, 0.0f);

    void SetUp() override {
        set_atlas_tiles(*world);
        world->block_grid[12][3][12] = 1;
        build_block_meshes(*world);
        build_terrain_meshes(*world);
        build_collision_lists(*world);
    }
    // Where a ray straight down through (x, z) first meets the world.
    float floor_at(float x, float z) {
        Vec3 end = vec3(x, -5.0f, z);
        clip_segment(*world, vec3(x, 20.0f, z), end);
        return end.y;
    }
    void use(int32_t type, int32_t button) {
        game->action_type = type;
        input.mouse_button_state[button_left] = button;
        apply_action(*game, *world, input, down, 1.0f);
    }
};

TEST_F(ActionsOnMeshes, EditsReachTheCollisionListsAtOnce) {
    EXPECT_FLOAT_EQ(floor_at(12.3f, 12.6f), 4.0f);
    game->aim_point = vec3(12.3f, 4.0f, 12.6f);
    use(RemoveBlock, input_held);
    EXPECT_FLOAT_EQ(floor_at(12.3f, 12.6f), 0.0f);  // down to the flat ground

    game->aim_point = vec3(30.3f, 0.0f, 30.6f);
    use(SpawnBlock, input_pressed);  // the cell above the ground
    EXPECT_EQ(world->block_grid[30][0][30], 1);
    EXPECT_FLOAT_EQ(floor_at(30.3f, 30.6f), 1.0f);

    game->aim_point = vec3(40.0f, 0.0f, 40.0f);
    use(RaiseGround, input_held);
    EXPECT_NEAR(floor_at(40.0f, 40.01f), 0.05f, 1e-3f);
}

}  // namespace
