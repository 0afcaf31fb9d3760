// The left-button actions: the ground cone against a plain reference, what each action does on a press
// and while held, and every edit reaching the world's meshes and collision lists in the same update.
#include "sim/actions.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// The plain cone: every lattice point, the nearest of its nine copies, the height held within [0, 25].
TEST(SimActions, GroundConeMatchesThePlainReference) {
    auto w = new_world();
    float want[world_size][world_size];
    std::srand(5);
    std::generate(&w->terrain_height[0][0], &w->terrain_height[0][0] + 2500, [] { return std::rand() % 3 ? between(0, 25) : std::rand() % 2 * 25.0f; });
    std::memcpy(want, w->terrain_height, sizeof want);
    for (int i = 0; i < 400; ++i) {
        const float x = i % 5 ? between(-60, 110) + 1000.0f * (i % 3) : std::floor(between(-60, 110));
        const float z = i % 7 == 0 ? -0.0f : i == 1 ? NAN : i == 2 ? INFINITY : between(-60, 110), speed = between(0.2f, 2.0f);
        shape_ground(*w, x, z, i % 2 == 0, speed);
        const float tx = wrap_coordinate(x, 50.0f), tz = wrap_coordinate(z, 50.0f);
        for (int k = 0; k < 2500 && std::isfinite(tx) && std::isfinite(tz); ++k) {
            float d = 6.0f;
            for (int c = 0; c < 9; ++c) {
                const float dx = tx - static_cast<float>(k / 50 + 50 * (c / 3 - 1)), dz = tz - static_cast<float>(k % 50 + 50 * (c % 3 - 1));
                d = std::fmin(d, std::sqrt(dx * dx + dz * dz));
            }
            float& h = want[k / 50][k % 50];
            if (d < 5.0f) h = i % 2 == 0 ? std::fmin(h + (5.0f - d) * 0.01f * speed, 25.0f) : std::fmax(h - (5.0f - d) * 0.01f * speed, 0.0f);
        }
        ASSERT_EQ(std::memcmp(want, w->terrain_height, sizeof want), 0) << x << " " << z;
    }
    const struct { float in, out; } wraps[] = {{49.5f, 49.5f}, {-0.5f, 49.5f}, {50.0f, 0.0f}, {-0.0f, 0.0f}, {-1e-10f, 0.0f}, {-125.0f, 25.0f}};
    for (auto c : wraps) EXPECT_TRUE(wrap_coordinate(c.in, 50.0f) == c.out && !std::signbit(wrap_coordinate(c.in, 50.0f))) << c.in;
    EXPECT_TRUE(wrap_coordinate(-3.0e30f, 50.0f) >= 0.0f && wrap_coordinate(-3.0e30f, 50.0f) < 50.0f);
}

// Shaping, removal and the rope act while the button is held (from the second update of a press),
// placing and shooting once per press.
TEST(SimActions, PressAndHold) {
    auto w = new_world();
    auto game = new_game();
    set_atlas_tiles(*w);
    w->block_grid[25][5][20] = w->block_grid[10][24][10] = w->block_grid[10][0][10] = 1;
    build_world_meshes(*w);
    Input input;
    auto use = [&](int32_t type, int32_t button, Vec3 aim, Vec3 view = vec3(0.0f, 0.0f, -1.0f)) {
        game->action_type = type;
        game->aim_point = aim;
        input.mouse_button_state[button_left] = button;
        apply_action(*game, *w, input, view, 1.0f);
    };
    const Vec3 face = vec3(25.5f, 5.5f, 21.0f), down = vec3(0.0f, -1.0f, 0.0f);  // the block's +z face
    const struct { int32_t type, button; Vec3 aim, view; int x, y, z; uint8_t block; } edits[] = {
        {RemoveBlock, input_pressed, face, {0, 0, -1}, 25, 5, 20, 1}, {SpawnBlock, input_held, face, {0, 0, -1}, 25, 5, 21, 0},
        {SpawnBlock, input_pressed, face, {0, 0, -1}, 25, 5, 21, 1},  // fills the cell in front
        {RemoveBlock, input_held, vec3(25.5f, 5.5f, 22.0f), {0, 0, -1}, 25, 5, 21, 0},  // digs the cell beyond
        {SpawnBlock, input_pressed, vec3(-0.5f, 2.5f, 3.0f), {0, 0, -1}, 49, 2, 3, 1},
        {RemoveBlock, input_held, vec3(10.5f, 0.1f, -39.5f), down, 10, 24, 10, 0}};  // below level 0 is level 24
    for (const auto& e : edits) {
        use(e.type, e.button, e.aim, e.view);
        EXPECT_EQ(w->block_grid[e.x][e.y][e.z], e.block) << e.x << " " << e.y << " " << e.z;
    }
    EXPECT_EQ(w->block_grid[25][5][20] + w->block_grid[10][0][10], 2);
    use(RaiseGround, input_pressed, vec3(40.0f, 0.0f, 40.0f));
    use(RaiseGround, input_held, vec3(40.0f, 0.0f, 40.0f));
    use(LowerGround, input_held, vec3(42.0f, 0.0f, 40.0f));
    EXPECT_FLOAT_EQ(w->terrain_height[40][40], 0.05f - 0.03f);
    EXPECT_EQ(derived_mismatch(*w), "");

    use(Swing, input_pressed, vec3(25.0f, 20.0f, 15.0f));
    EXPECT_FALSE(game->swinging);
    use(Swing, input_held, vec3(25.0f, 20.0f, 15.0f));
    use(Swing, input_held, vec3(0.0f, 0.0f, 0.0f));  // the rope keeps its anchor
    EXPECT_TRUE(game->swinging && game->swing_anchor.y == 20.0f && game->swing_length == std::sqrt(200.0f));
    use(Fly, input_held, vec3(25.0f, 10.0f, 15.0f));  // another action drops the rope
    use(Fly, input_held, game->camera_pos);            // aim at the eye: no push
    EXPECT_TRUE(game->flying && !game->swinging);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.025f);
    use(Fly, input_up, vec3(25.0f, 10.0f, 15.0f));
    EXPECT_FALSE(game->flying);
    game->hand_pos[0] = vec3(25.4f, 11.0f, 25.0f);
    use(ShootBall, input_pressed, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_held, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_pressed, game->hand_pos[0], down);  // along the view instead
    ASSERT_EQ(game->ball_count, 2);
    EXPECT_EQ(game->ball_kind_count[ShotBall], 2);
    EXPECT_LT(length(game->balls[0].vel - vec3(0.0f, 0.0f, -0.75f)) + length(game->balls[1].vel - down * 0.75f), 1e-6f);
    EXPECT_EQ(game->balls[0].pos.x, 25.4f);
}
