// A short scripted session of the real binary in a small window: walk, jump,
// use every action once, pause, save a screenshot and leave by "Exit". Every
// step waits for the game's passes, not the clock, so the same session runs
// under valgrind (tools/valgrind.sh sets QUILL_GAME_WRAPPER), where a pass
// takes seconds.
#include "launch.h"
#include "support/game_process.h"
#include "support/swap_log.h"
#include "support/x_client.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <string>
#include <vector>

namespace {

// Small, for valgrind's sake; the menu's "Exit" and "Save screenshot" are
// still inside the window (its "Resume game" is not).
constexpr int width = 320, height = 240;
constexpr int exit_y = menu_button_y(height, 1), save_y = menu_button_y(height, 2);

}  // namespace

TEST(ShortPlay, WalkActPauseSaveAndExit) {
    const int timeout_ms = game_is_wrapped() ? 900000 : 60000;
    GameProcess game;
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    game.use_swap_probe();
    SwapLog passes(game.swap_log_path());
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, width, height, timeout_ms));

    // Walk forward with a jump, turning a little.
    x.key_down(XK_w);
    ASSERT_TRUE(tap_key_in_passes(x, passes, game, XK_space, timeout_ms));
    x.move_pointer(window, width / 2 + 30, height / 2);
    ASSERT_TRUE(passes.wait_for(4, game, timeout_ms));
    x.key_up(XK_w);
    x.move_pointer(window, width / 2, height / 2 + 20);

    // Every action in turn, starting from "raise ground": a click each,
    // held for a few passes.
    for (int action = 0; action < 7; ++action) {
        if (action > 0) {
            ASSERT_TRUE(tap_key_in_passes(x, passes, game, XK_e, timeout_ms));
        }
        x.button_down(1);
        ASSERT_TRUE(passes.wait_for(3, game, timeout_ms)) << "action " << action;
        x.button_up(1);
    }

    ASSERT_TRUE(tap_key_in_passes(x, passes, game, XK_Escape, timeout_ms));
    ASSERT_TRUE(passes.wait_for(22, game, timeout_ms));
    ASSERT_TRUE(click_in_passes(x, passes, game, window, width / 2, save_y, 1, timeout_ms));
    click_in_passes(x, passes, game, window, width / 2, exit_y, 1, timeout_ms);
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after Exit";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");

    std::vector<unsigned char> rgb;
    unsigned w = 0, h = 0;
    EXPECT_EQ(lodepng::decode(rgb, w, h, game.path("screenshot1.png"), LCT_RGB, 8), 0u);
    EXPECT_EQ(w, unsigned(width));
    EXPECT_EQ(h, unsigned(height));
}
