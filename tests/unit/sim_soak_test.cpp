// Random play of the whole update on generated worlds: keys, both buttons, the pointer in and out of the
// window, every action and a wandering speed. After every update nothing is non-finite, the ball counts
// add up, the grids hold only 0 and 1, the ground stays within [0, 25], the pitch within a quarter turn
// and the player's centre above the ground. 5 worlds x 2,000 updates by default; QUILL_SOAK_SEEDS and
// QUILL_SOAK_UPDATES set the long run (100 x 10,000).
#include "sim/update.h"
#include "clip_reference.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

int setting(const char* name, int fallback) { return std::getenv(name) && std::atoi(std::getenv(name)) > 0 ? std::atoi(std::getenv(name)) : fallback; }

std::string broken_invariant(const Game& game, const World& world) {
    int kinds[2] = {0, 0};
    for (int i = 0; i < game.ball_count; ++i) ++kinds[game.balls[i].kind == Seeker];
    if (kinds[0] != game.ball_kind_count[0] || kinds[1] != game.ball_kind_count[1]) return "ball counts";
    if (!all_finite(game) || !(std::fabs(game.player_pitch) <= 1.5707964f) || game.action_type < 0 || game.action_type > 6)
        return "a non-finite value, the pitch or the action";
    uint8_t stray = 0;
    for (size_t i = 0; i < sizeof world.block_grid; ++i) stray |= (&world.block_grid[0][0][0])[i] | (&world.falling_grid[0][0][0])[i];
    const auto ground = std::minmax_element(&world.terrain_height[0][0], &world.terrain_height[0][0] + 2500);
    if (stray > 1 || !(*ground.first >= 0.0f && *ground.second <= 25.0f)) return "a grid byte or the ground";
    // Straight up from the centre the segment crosses no ground.
    const Vec3 p = game.player_pos, corner = vec3(5.0f * std::floor(p.x / 5.0f), 0.0f, 5.0f * std::floor(p.z / 5.0f));
    Vec3 top = p - corner + vec3(0.0f, 30.0f, 0.0f);
    const int k = wrapped_chunk_index(static_cast<int>(corner.x / 5.0f), static_cast<int>(corner.z / 5.0f));
    return p.y < 26.0f && plain_clip_with_list(p - corner, top, world.terrain_collision[k]) ? "player under the ground" : "";
}

}  // namespace

TEST(SimSoak, RandomPlayKeepsEveryInvariant) {
    const int seeds = setting("QUILL_SOAK_SEEDS", 5), updates = setting("QUILL_SOAK_UPDATES", 2000);
    int actions_used[action_type_count] = {};
    for (int seed = 1; seed <= seeds; ++seed) {
        auto world = generated_world(static_cast<unsigned>(seed));
        auto game = new_game();
        std::srand(static_cast<unsigned>(seed) * 7919u);
        std::mt19937 rng(static_cast<unsigned>(seed));
        auto chance = [&](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; };
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        bool down[key_table_size + button_table_size] = {};
        Input input;
        const int w = pick(200, 1600), h = pick(150, 1200);
        input.view_width = static_cast<float>(w), input.view_height = static_cast<float>(h);
        float speed = 1.0f;
        for (int u = 0; u < updates; ++u) {
            for (int key : {key_w, key_a, key_s, key_d, key_up, key_down, key_left, key_right, key_space}) down[key] ^= chance(0.03);
            down[key_q] = chance(0.02), down[key_e] = chance(0.02);
            down[key_table_size + button_left] ^= chance(0.05), down[key_table_size + button_right] ^= chance(0.02);
            // A press shows as pressed for one pass, then held until released.
            for (int i = 0; i < key_table_size + button_table_size; ++i) {
                int32_t& state = i < key_table_size ? input.key_state[i] : input.mouse_button_state[i - key_table_size];
                state = !down[i] ? input_up : state == input_up ? input_pressed : input_held;
            }
            const bool far = chance(0.1);
            if (chance(0.1)) input.mouse_x = far ? pick(-w, 2 * w) : w / 2 + pick(-w / 8, w / 8);
            if (chance(0.1)) input.mouse_y = far ? pick(-h, 2 * h) : h / 2 + pick(-h / 8, h / 8);
            input.mouse_in_window = !chance(0.05);
            if (chance(0.05)) speed = std::uniform_real_distribution<float>(0.2f, 2.0f)(rng);
            update_game(*game, *world, input, speed);
            actions_used[game->action_type] += input.mouse_button_state[button_left] != input_up;
            ASSERT_EQ(broken_invariant(*game, *world), "") << "seed " << seed << ", update " << u;
        }
    }
    for (int type = 0; type < action_type_count; ++type) EXPECT_GT(actions_used[type], 0) << "action " << type;
}
