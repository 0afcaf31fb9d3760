// Long runs of the whole update on generated worlds with random input:
// keys, both buttons, the pointer in and out of the window, every action and
// a wandering frame-rate factor. After every update the state must hold its
// invariants: nothing non-finite, ball counts that add up, grids of 0 and 1,
// ground within [0, 25], pitch within a quarter turn, a valid action.
//
// QUILL_SOAK_SEEDS and QUILL_SOAK_UPDATES set the size; the default is 100
// worlds of 10,000 updates in an optimised build and a tenth of each in a
// debug or sanitizer build.
#include "sim/update.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_UNDEFINED__)
constexpr int default_seeds = 100, default_updates = 10000;
#else
constexpr int default_seeds = 10, default_updates = 1000;
#endif

int setting(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// Key and button states as read_input leaves them: a press shows as 2 for
// one pass, then 1 until released.
void step_state(int32_t& state, bool down) {
    if (!down) {
        state = input_up;
    } else {
        state = state == input_up ? input_pressed : input_held;
    }
}

struct Player {
    std::mt19937 rng;
    bool keys_down[key_table_size] = {};
    bool buttons_down[button_table_size] = {};

    explicit Player(unsigned seed) : rng(seed) {}

    bool chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    // Holds keys and buttons for a while, taps Q and E now and then, and
    // moves the pointer mostly near the middle, sometimes far or outside.
    void next(Input& input) {
        for (int key : {key_w, key_a, key_s, key_d, key_up, key_down, key_left, key_right, key_space}) {
            if (chance(0.03)) keys_down[key] = !keys_down[key];
        }
        keys_down[key_q] = chance(0.02);
        keys_down[key_e] = chance(0.02);
        for (int button : {button_left, button_right}) {
            if (chance(button == button_left ? 0.05 : 0.02)) buttons_down[button] = !buttons_down[button];
        }
        for (int key = 0; key < key_table_size; ++key) step_state(input.key_state[key], keys_down[key]);
        for (int b = 0; b < button_table_size; ++b) step_state(input.mouse_button_state[b], buttons_down[b]);

        const int w = static_cast<int>(input.view_width), h = static_cast<int>(input.view_height);
        if (chance(0.1)) {
            if (chance(0.9)) {
                input.mouse_x = w / 2 + pick(-w / 8, w / 8);
                input.mouse_y = h / 2 + pick(-h / 8, h / 8);
            } else {
                input.mouse_x = pick(-w, 2 * w);
                input.mouse_y = pick(-h, 2 * h);
            }
        }
        input.mouse_in_window = !chance(0.05);
    }
};

std::string check_invariants(const Game& game, const World& world) {
    if (!all_finite(game)) return "a non-finite value";
    if (game.ball_count < 0 || game.ball_count > max_balls) return "ball_count out of range";
    int kinds[2] = {0, 0};
    for (int i = 0; i < game.ball_count; ++i) {
        const int32_t kind = game.balls[i].kind;
        if (kind != ShotBall && kind != Seeker) return "a ball of unknown kind";
        ++kinds[kind];
    }
    if (kinds[0] != game.ball_kind_count[0] || kinds[1] != game.ball_kind_count[1]) return "ball kind counts";
    if (game.ball_kind_count[0] + game.ball_kind_count[1] != game.ball_count) return "ball_count";
    if (!(game.player_pitch >= -1.5707964f && game.player_pitch <= 1.5707964f)) return "pitch";
    if (game.action_type < 0 || game.action_type >= action_type_count) return "action_type";
    // Eight cells at a time: any bit above the lowest of a byte is wrong.
    const uint8_t* grids[2] = {&world.block_grid[0][0][0], &world.falling_grid[0][0][0]};
    for (const uint8_t* grid : grids) {
        uint64_t stray = 0;
        size_t i = 0;
        for (; i + 8 <= sizeof world.block_grid; i += 8) {
            uint64_t word;
            std::memcpy(&word, grid + i, 8);
            stray |= word;
        }
        for (; i < sizeof world.block_grid; ++i) stray |= grid[i];
        if ((stray & 0xfefefefefefefefeull) != 0) return "a grid byte other than 0 and 1";
    }
    for (const auto& column : world.terrain_height) {
        for (float h : column) {
            if (!(h >= 0.0f && h <= 25.0f)) return "ground out of [0, 25]";
        }
    }
    return "";
}

TEST(SimSoak, RandomPlayKeepsEveryInvariant) {
    const int seeds = setting("QUILL_SOAK_SEEDS", default_seeds);
    const int updates = setting("QUILL_SOAK_UPDATES", default_updates);
    const auto began = std::chrono::steady_clock::now();
    int actions_used[action_type_count] = {};
    long most_balls = 0;

    for (int seed = 1; seed <= seeds; ++seed) {
        auto world = generated_world(static_cast<unsigned>(seed));
        auto game = new_game();
        std::srand(static_cast<unsigned>(seed) * 7919u);
        Player player(static_cast<unsigned>(seed));
        Input input;
        input.view_width = static_cast<float>(player.pick(200, 1600));
        input.view_height = static_cast<float>(player.pick(150, 1200));
        std::uniform_real_distribution<float> speed_spread(0.2f, 2.0f);
        float speed = 1.0f;

        for (int u = 0; u < updates; ++u) {
            player.next(input);
            if (player.chance(0.05)) speed = speed_spread(player.rng);
            update_game(*game, *world, input, speed);
            if (input.mouse_button_state[button_left] != input_up) ++actions_used[game->action_type];
            const std::string broken = check_invariants(*game, *world);
            ASSERT_EQ(broken, "") << "seed " << seed << ", update " << u;
        }
        most_balls = std::max<long>(most_balls, game->ball_count);
    }

    for (int type = 0; type < action_type_count; ++type) {
        EXPECT_GT(actions_used[type], 0) << "action " << type << " never used";
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("[ soak     ] %d worlds x %d updates in %.1f s; up to %ld balls\n", seeds, updates, seconds,
                most_balls);
}

}  // namespace
