// The real binary's window and exit codes: the size follows settings.ini,
// closing the window ends cleanly, and a start that cannot open its window
// says why on stderr and ends with its own code.
#include "launch.h"
#include "support/game_process.h"
#include "support/x_client.h"
#include "support/xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int start_timeout_ms = 20000;
constexpr int exit_timeout_ms = 20000;

// Opens the game with the given settings (none when nullptr), leaving it
// running once its window shows a frame.
void open_game(GameProcess& game, XClient& x, XWindowId& window, const char* settings) {
    if (settings != nullptr) game.write_settings(settings);
    game.copy_media();
    ASSERT_NO_FATAL_FAILURE(start_until_drawn(game, x, window, start_timeout_ms));
}

// The one line a failed start prints: "quillmoor: <what>: <SDL's reason>".
void expect_one_reason_line(const std::string& text, const std::string& reason) {
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_EQ(text.rfind("quillmoor: ", 0), 0u) << text;
    EXPECT_NE(text.find(reason), std::string::npos) << text;
}

}  // namespace

// Polls the window's pixels until the game has drawn something other than
// the black of a cleared frame.
bool wait_for_drawn_frame(const XClient& x, XWindowId window, RgbImage& image) {
    for (int waited = 0; waited < start_timeout_ms; waited += 50) {
        if (x.capture(window, image) &&
            std::any_of(image.rgb.begin(), image.rgb.end(), [](uint8_t c) { return c > 16; })) {
            return true;
        }
        sleep_ms(50);
    }
    return false;
}

TEST(Window, SizeFollowsSettingsAndClosingARunningGameEndsWithZero) {
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    std::string settings = "[display]\n" + settings_ini(640, 480) + "screenw = 800 ; ignored\n";
    ASSERT_NO_FATAL_FAILURE(open_game(game, x, window, settings.c_str()));
    WindowBox box;
    ASSERT_TRUE(x.window_box(window, box));
    // The later screenw line wins.
    EXPECT_EQ(box.width, 800);
    EXPECT_EQ(box.height, 480);
    EXPECT_TRUE(box.viewable);

    // Close it only once the main loop is drawing.
    RgbImage frame;
    ASSERT_TRUE(wait_for_drawn_frame(x, window, frame)) << game.stderr_text();
    EXPECT_EQ(frame.width, 800);
    EXPECT_EQ(frame.height, 480);
    save_png(artifact_path("window_800x480.png"), frame);
    ASSERT_TRUE(game.running());
    close_and_expect_clean_exit(game, x, window, exit_timeout_ms);
}

TEST(Window, MissingOrBrokenDashboardArtEndsWithFour) {
    for (bool present : {false, true}) {
        GameProcess game;
        game.write_settings(settings_ini(320, 240));
        if (present) {
            ASSERT_TRUE(game.copy_media());
            game.write_file("Media/dashboard.png", "not a picture");
        }
        ASSERT_TRUE(game.start());
        ASSERT_TRUE(game.wait(exit_timeout_ms));
        EXPECT_EQ(game.exit_code(), 4);
        std::string said = game.stderr_text();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("Media/dashboard.png"), std::string::npos) << said;
    }
}

// Opens the game with the given settings (none when nullptr), expects a
// window of width x height (0: the screen's own) and closes it.
void expect_window_size(const char* settings, int width, int height) {
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(open_game(game, x, window, settings));
    WindowBox box;
    ASSERT_TRUE(x.window_box(window, box));
    EXPECT_EQ(box.width, width > 0 ? width : x.screen_width());
    EXPECT_EQ(box.height, height > 0 ? height : x.screen_height());
    close_and_expect_clean_exit(game, x, window, exit_timeout_ms);
}

TEST(Window, WithoutSettingsFileTakesDesktopSize) { expect_window_size(nullptr, 0, 0); }

TEST(Window, ZeroHeightTakesDesktopHeightOnly) {
    expect_window_size("screenw = 700\nscreenh = 0\n", 700, 0);
}

TEST(Window, UnusableSizeValuesReadAsAbsent) {
    expect_window_size("screenw = nan\nscreenh = 5e9\nscreenbpp = -inf\n", 0, 0);
}

TEST(Window, NoDisplayEndsWithOneAndSaysWhy) {
    GameProcess game;
    game.write_settings(settings_ini(640, 480));
    game.copy_media();
    ASSERT_TRUE(game.start(nullptr));
    ASSERT_TRUE(game.wait(exit_timeout_ms));
    EXPECT_EQ(game.exit_code(), 1);
    expect_one_reason_line(game.stderr_text(), "No available video device");
}

TEST(Window, FullScreenSizeTheScreenLacksEndsWithThreeAndSaysWhy) {
    GameProcess game;
    game.write_settings(settings_ini(2048, 2048, true));
    game.copy_media();
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.wait(exit_timeout_ms));
    EXPECT_EQ(game.exit_code(), 3);
    expect_one_reason_line(game.stderr_text(), "No video mode large enough for 2048x2048");
}

// A 15-bit display has OpenGL visuals but none multisampled: the game drops
// the multisampling request rather than refusing to start.
TEST(Window, AntialiasingFallsBackWhereNoMultisampledVisualExists) {
    XvfbServer server;
    ASSERT_TRUE(server.start(800, 600, 15));
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open(server.display().c_str()));
    game.write_settings(settings_ini(320, 240, false, true));
    game.copy_media();
    ASSERT_TRUE(game.start(server.display().c_str()));
    XWindowId window = x.wait_for_game_window(game, start_timeout_ms);
    ASSERT_NE(window, 0u) << "exit code " << game.exit_code() << ", stderr: "
                          << game.stderr_text();
    WindowBox box;
    ASSERT_TRUE(x.window_box(window, box));
    EXPECT_EQ(box.width, 320);
    EXPECT_EQ(box.height, 240);
    close_and_expect_clean_exit(game, x, window, exit_timeout_ms);
}

// The close request is seen by the end of the pass even when key and button
// events arrive with it, and also while the pause menu is in front.
TEST(Window, CloseAmongKeyEventsAndWithTheMenuOpenEndsWithZero) {
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(open_game(game, x, window, settings_ini(400, 300).c_str()));
    RgbImage frame;
    ASSERT_TRUE(wait_for_drawn_frame(x, window, frame)) << game.stderr_text();
    x.move_pointer(window, 200, 150);
    x.tap_key(XK_Escape);
    sleep_ms(500);
    if (x.capture(window, frame)) save_png(artifact_path("window_menu_open.png"), frame);
    x.key_down(XK_w);
    x.button_down(1);
    ASSERT_TRUE(x.close_window(window));
    x.key_up(XK_w);
    x.button_up(1);
    ASSERT_TRUE(game.wait(exit_timeout_ms)) << "the game did not end after the close request";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");
}
