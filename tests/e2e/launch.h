// Starting and ending the real game in end-to-end tests, with the checks
// every such test makes on the way, and where its pause menu's buttons are. The helpers fail the test through
// gtest's fatal assertions: call them inside ASSERT_NO_FATAL_FAILURE.
#pragma once

#include "support/game_process.h"
#include "support/x_client.h"

#include <gtest/gtest.h>

// Starts the game (its settings and Media already in place) on the test's
// display and waits until its window shows a drawn frame; until then SDL
// may still be setting the window up.
inline void start_until_drawn(GameProcess& game, XClient& x, XWindowId& window, int timeout_ms) {
    ASSERT_TRUE(game.start());
    window = x.wait_for_game_window(game, timeout_ms);
    ASSERT_NE(window, 0u) << "no window; exit code " << game.exit_code() << ", stderr: "
                          << game.stderr_text();
    ASSERT_TRUE(x.wait_for_frame(game, window, timeout_ms))
        << "no frame; exit code " << game.exit_code() << ", stderr: " << game.stderr_text();
}

// Starts the game as start_until_drawn does and rests the pointer on the
// centre of its width x height window: while the game runs, the view turns
// by the pointer's offset from the centre.
inline void start_centred(GameProcess& game, XClient& x, XWindowId& window, int width, int height,
                          int timeout_ms) {
    ASSERT_NO_FATAL_FAILURE(start_until_drawn(game, x, window, timeout_ms));
    x.move_pointer(window, width / 2, height / 2);
}

// Asks the window to close, as a window manager would, and expects the game
// to end with 0 and nothing on stderr.
inline void close_and_expect_clean_exit(GameProcess& game, XClient& x, XWindowId window,
                                        int timeout_ms) {
    ASSERT_TRUE(x.close_window(window));
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after the close request";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");
}

// Centre row of pause-menu button k (0 "Resume game", 1 "Exit", 2 "Save
// screenshot") once the menu is fully in, in a window of the given height;
// the buttons are centred across the window.
constexpr int menu_button_y(int window_height, int k) { return window_height / 2 - 125 + 50 * k; }
