// The left-button actions: the ground cone against a plain reference, what
// each action does on a press and while held, and every edit reaching the
// world's meshes and collision lists in the same update.
#include "sim/actions.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Every lattice point, the nearest of its nine copies, clamped into [0, 25].
void reference_shape(float (&h)[world_size][world_size], float x, float z, bool raise, float speed) {
    const float tx = wrap_coordinate(x, 50.0f), tz = wrap_coordinate(z, 50.0f);
    if (!std::isfinite(tx) || !std::isfinite(tz)) return;
    for (int i = 0; i < world_size; ++i)
        for (int j = 0; j < world_size; ++j) {
            float d = 6.0f;
            for (int k = 0; k < 9; ++k) {
                const float dx = tx - static_cast<float>(i + 50 * (k / 3 - 1));
                const float dz = tz - static_cast<float>(j + 50 * (k % 3 - 1));
                d = std::fmin(d, std::sqrt(dx * dx + dz * dz));
            }
            if (!(d < 5.0f)) continue;
            const float change = (5.0f - d) * 0.01f * speed;
            h[i][j] = raise ? std::fmin(h[i][j] + change, 25.0f) : std::fmax(h[i][j] - change, 0.0f);
        }
}

float between(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(std::rand() % 10001) / 10000.0f; }

}  // namespace

TEST(SimActions, GroundConeMatchesThePlainReference) {
    auto w = new_world();
    float expected[world_size][world_size];
    std::srand(5);
    for (auto& row : w->terrain_height)
        for (float& h : row) h = std::rand() % 4 == 0 ? 0.0f : std::rand() % 4 == 0 ? 25.0f : between(0.0f, 25.0f);
    std::memcpy(expected, w->terrain_height, sizeof expected);
    for (int i = 0; i < 400; ++i) {
        const float x = i % 5 == 0 ? std::floor(between(-60, 110)) : between(-60, 110) + 1000.0f * (i % 3);
        const float z = i % 7 == 0 ? -0.0f : i == 1 ? NAN : i == 2 ? INFINITY : between(-60, 110);
        const float speed = between(0.2f, 2.0f);
        shape_ground(*w, x, z, i % 2 == 0, speed);
        reference_shape(expected, x, z, i % 2 == 0, speed);
        ASSERT_EQ(std::memcmp(expected, w->terrain_height, sizeof expected), 0) << x << " " << z;
    }
    auto flat = new_world();
    shape_ground(*flat, 20.0f, 30.0f, true, 1.0f);
    EXPECT_FLOAT_EQ(flat->terrain_height[20][30], 0.05f);  // the centre rises 0.05 per update
    const struct { float in, out; } wraps[] = {
        {49.5f, 49.5f}, {-0.5f, 49.5f}, {50.0f, 0.0f}, {-0.0f, 0.0f}, {-1e-10f, 0.0f}, {-125.0f, 25.0f}};
    for (auto c : wraps) {
        EXPECT_EQ(wrap_coordinate(c.in, 50.0f), c.out) << c.in;
        EXPECT_FALSE(std::signbit(wrap_coordinate(c.in, 50.0f))) << c.in;
    }
    const float huge = wrap_coordinate(-3.0e30f, 50.0f);
    EXPECT_TRUE(huge >= 0.0f && huge < 50.0f);
    int x, y, z;
    EXPECT_FALSE(block_cell(vec3(1.0f, INFINITY, 1.0f), x, y, z));
    ASSERT_TRUE(block_cell(vec3(-1.0e20f, 3.0e12f, 1.0e30f), x, y, z));
    EXPECT_TRUE(x >= 0 && x < 50 && y >= 0 && y < 25 && z >= 0 && z < 50);
}

// Ground shaping, removal and the rope act while the button is held (from
// the second update of a press); placing and shooting once per press.
TEST(SimActions, PressAndHold) {
    auto w = new_world();
    auto game = new_game();
    set_atlas_tiles(*w);
    w->block_grid[25][5][20] = w->block_grid[10][24][10] = w->block_grid[10][0][10] = 1;
    build_world_meshes(*w);
    Input input;
    Vec3 view = vec3(0.0f, 0.0f, -1.0f);
    auto use = [&](int32_t type, int32_t button, Vec3 aim) {
        game->action_type = type;
        game->aim_point = aim;
        input.mouse_button_state[button_left] = button;
        apply_action(*game, *w, input, view, 1.0f);
    };
    const Vec3 face = vec3(25.5f, 5.5f, 21.0f);  // the block's +z face, seen along -z
    use(RemoveBlock, input_pressed, face);
    EXPECT_EQ(w->block_grid[25][5][20], 1);
    use(SpawnBlock, input_held, face);
    EXPECT_EQ(w->block_grid[25][5][21], 0);
    use(SpawnBlock, input_pressed, face);  // fills the cell in front
    EXPECT_EQ(w->block_grid[25][5][21], 1);
    use(RemoveBlock, input_held, face + vec3(0, 0, 1));  // digs the cell beyond
    EXPECT_EQ(w->block_grid[25][5][21], 0);
    EXPECT_EQ(w->block_grid[25][5][20], 1);
    use(SpawnBlock, input_pressed, vec3(-0.5f, 2.5f, 3.0f));
    EXPECT_EQ(w->block_grid[49][2][3], 1);
    use(RaiseGround, input_pressed, vec3(40.0f, 0.0f, 40.0f));
    EXPECT_EQ(w->terrain_height[40][40], 0.0f);
    use(RaiseGround, input_held, vec3(40.0f, 0.0f, 40.0f));
    use(LowerGround, input_held, vec3(42.0f, 0.0f, 40.0f));
    EXPECT_FLOAT_EQ(w->terrain_height[40][40], 0.02f);
    view = vec3(0.0f, -1.0f, 0.0f);
    use(RemoveBlock, input_held, vec3(10.5f, 0.1f, -39.5f));  // below level 0 is level 24
    EXPECT_EQ(w->block_grid[10][24][10], 0);
    EXPECT_EQ(w->block_grid[10][0][10], 1);
    EXPECT_EQ(derived_mismatch(*w), "");

    use(Swing, input_pressed, vec3(25.0f, 20.0f, 15.0f));
    EXPECT_FALSE(game->swinging);
    use(Swing, input_held, vec3(25.0f, 20.0f, 15.0f));
    ASSERT_TRUE(game->swinging);
    use(Swing, input_held, vec3(0.0f, 0.0f, 0.0f));  // the rope keeps its anchor
    EXPECT_EQ(game->swing_anchor.y, 20.0f);
    EXPECT_FLOAT_EQ(game->swing_length, std::sqrt(200.0f));
    use(Fly, input_held, vec3(25.0f, 10.0f, 15.0f));  // another action drops it
    EXPECT_FALSE(game->swinging);
    EXPECT_TRUE(game->flying);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.025f);
    use(Fly, input_held, game->camera_pos);  // aim at the eye: flying, no push
    EXPECT_TRUE(game->flying);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.025f);
    use(Fly, input_up, vec3(25.0f, 10.0f, 15.0f));
    EXPECT_FALSE(game->flying);

    game->hand_pos[0] = vec3(25.4f, 11.0f, 25.0f);
    use(ShootBall, input_pressed, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_held, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_pressed, game->hand_pos[0]);  // along the view instead
    ASSERT_EQ(game->ball_count, 2);
    EXPECT_EQ(game->ball_kind_count[ShotBall], 2);
    EXPECT_EQ(game->balls[0].pos.x, 25.4f);
    EXPECT_FLOAT_EQ(game->balls[0].vel.z, -0.75f);
    EXPECT_FLOAT_EQ(game->balls[1].vel.y, -0.75f);
    EXPECT_TRUE(all_finite(*game));
}
