// The real binary under a private X server, judged only on what does not
// depend on the world a start generates: exit codes with their one line on
// stderr, the window's size and place, the files written, and the menu.
// Input is paced by the game's own passes, never by the clock. The ctest
// entry that runs the game on sdl12-compat sets QUILL_SDL12_COMPAT.
#include "support/game_process.h"
#include "support/swap_log.h"
#include "support/x_client.h"
#include "support/xvfb.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

[[maybe_unused]] const bool xvfb_installed = (install_shared_xvfb_environment(), true);
const bool sdl12_compat = std::getenv("QUILL_SDL12_COMPAT") != nullptr;
// Under valgrind (tools/valgrind.sh) a pass takes seconds.
const int timeout_ms = std::getenv("QUILL_GAME_WRAPPER") != nullptr ? 1800000 : 60000;

int env_int(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// A running game and a user at its window.
struct Player {
    GameProcess& game;
    XClient& x;
    SwapLog passes{game.swap_log_path()};
    XWindowId window = 0;

    // Looks for the window once the main loop has drawn twice: SDL may
    // replace a first window, and a close request sent while it still sets
    // the window up can be lost.
    ::testing::AssertionResult start(const char* display) {
        game.use_swap_probe();
        if (game.start(display) && wait(2)) window = x.wait_for_game_window(game, timeout_ms);
        if (window != 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "exit code " << game.exit_code() << ", stderr: "
                                             << game.stderr_text();
    }
    bool wait(int n) { return passes.wait_for(n, game, timeout_ms); }
    // Held for two passes and released for two, so that the press, the
    // release and a next press are each read in a pass of their own.
    bool hold(XKeySym key, int button, int n) {
        key != 0 ? x.key(key, true) : x.button(button, true);
        const bool seen = wait(n);
        key != 0 ? x.key(key, false) : x.button(button, false);
        return seen && wait(2);
    }
    bool tap(XKeySym key) { return hold(key, 0, 2); }
    bool click(int px, int py) {
        x.move_pointer(window, px, py);
        return hold(0, 1, 2);
    }
};

}  // namespace

TEST(Start, OutcomeFollowsSettingsDisplayAndArt) {
    const std::string no_video = "quillmoor: cannot start SDL video: ";
    const std::string no_dashboard = "quillmoor: cannot load Media/dashboard.png: ";
    struct Case {
        const char* name;
        const char* settings;   // nullptr: no settings.ini
        const char* dashboard;  // nullptr: the shipped one; "": none
        int depth;              // of the screen, 24: the shared one; 0: no display
        int code, compat_code;
        std::string said;   // how the one stderr line of a failed start begins
        int width, height;  // of the window; 0: the screen's
    };
    const Case cases[] = {
        {"window from settings", "screenw = 640\nscreenh = 480\n", nullptr, 24, 0, 0, "", 640, 480},
        {"no settings file", nullptr, nullptr, 24, 0, 0, "", 0, 0},
        {"zero height", "screenw = 700\nscreenh = 0\n", nullptr, 24, 0, 0, "", 700, 0},
        {"no multisampled visual", "screenw = 320\nscreenh = 240\nantialiasing = 1\n", nullptr, 15,
         0, 0, "", 320, 240},
        // sdl12-compat emulates a full-screen mode the screen lacks by
        // scaling, where classic SDL refuses it.
        {"full screen larger than the screen", "screenw = 2048\nscreenh = 2048\nfullscreen = 1\n",
         nullptr, 24, 3, 0, "quillmoor: cannot open a 2048x2048 full-screen OpenGL window: ", 2048,
         2048},
        {"no display", "screenw = 640\nscreenh = 480\n", nullptr, 0, 1, 1, no_video, 0, 0},
        {"no dashboard", nullptr, "", 24, 4, 4, no_dashboard, 0, 0},
        {"broken dashboard", nullptr, "not a picture", 24, 4, 4, no_dashboard, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XvfbServer own_server;
        ASSERT_TRUE(c.depth % 24 == 0 || own_server.start(800, 600, c.depth));
        const XvfbServer& server = c.depth == 24 ? shared_xvfb() : own_server;
        const char* display = c.depth == 0 ? nullptr : server.display().c_str();
        GameProcess game;
        ASSERT_TRUE(game.copy_media());
        if (c.settings != nullptr) game.write_settings(c.settings);
        if (c.dashboard != nullptr) game.write_file("Media/dashboard.png", c.dashboard);
        if (c.dashboard != nullptr && *c.dashboard == '\0') std::remove(game.path("Media/dashboard.png").c_str());
        if ((sdl12_compat ? c.compat_code : c.code) != 0) {
            ASSERT_TRUE(game.start(display) && game.wait(timeout_ms));
            EXPECT_EQ(game.exit_code(), sdl12_compat ? c.compat_code : c.code);
            const std::string said = game.stderr_text();
            EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
            EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
            continue;
        }
        XClient x;
        ASSERT_TRUE(x.open(display));
        Player player{game, x};
        ASSERT_TRUE(player.start(display));
        WindowBox box, screen;
        ASSERT_TRUE(x.window_box(player.window, box) && x.window_box(x.root(), screen));
        const int width = c.width != 0 ? c.width : screen.width;
        const int height = c.height != 0 ? c.height : screen.height;
        EXPECT_EQ(box.width, width);
        EXPECT_EQ(box.height, height);
        // Classic SDL puts a window in the corner, sdl12-compat centres it.
        EXPECT_EQ(box.x, sdl12_compat ? (screen.width - width) / 2 : 0);
        EXPECT_EQ(box.y, sdl12_compat ? (screen.height - height) / 2 : 0);
        ASSERT_TRUE(x.close_window(player.window) && game.wait(timeout_ms));
        EXPECT_EQ(game.exit_code(), 0);
        EXPECT_EQ(game.stderr_text(), "");
    }
}

// Walk, every action, the menu with two screenshots, then random play for
// QUILL_MONKEY_SECONDS (default 10) replayed by QUILL_MONKEY_SEED, and Exit.
TEST(Session, ScriptedThenRandomPlayEndsByExitWithSilentStderr) {
    constexpr int width = 640, height = 480, menu_x = width / 2;
    constexpr int slide = 22;  // passes until the menu is fully in or out, and two
    // The menu's buttons fully in: 0 Resume game, 1 Exit, 2 Save screenshot.
    auto button_y = [](int k) { return height / 2 - 125 + 50 * k; };
    GameProcess game;
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    game.write_file("screenshot1.png", "taken");
    XClient x;
    ASSERT_TRUE(x.open());
    Player p{game, x};
    ASSERT_TRUE(p.start(shared_xvfb().display().c_str()));
    x.move_pointer(p.window, width / 2, height / 2);

    x.key(XK_w, true);
    ASSERT_TRUE(p.tap(XK_space) && p.wait(10));
    x.key(XK_w, false);
    // Q wraps back to the last action, E walks through all seven and wraps;
    // each is used once, the view tilting down.
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(p.tap(i == 0 ? XK_q : XK_e) && p.click(width / 2, height / 2 + 40)) << i;
    }
    ASSERT_TRUE(p.tap(XK_Escape) && p.wait(slide));
    ASSERT_TRUE(p.click(menu_x, button_y(2)) && p.click(menu_x, button_y(2)));
    ASSERT_TRUE(p.click(menu_x, button_y(0)) && p.wait(slide));

    std::mt19937 random(static_cast<unsigned>(env_int("QUILL_MONKEY_SEED", 1)));
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const XKeySym keys[] = {XK_w, XK_a, XK_s, XK_d, XK_Up, XK_Left, XK_space, XK_q, XK_e, XK_x};
    int saves = 2;
    bool paused = false;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::seconds(env_int("QUILL_MONKEY_SECONDS", 10));
    for (int step = 0; std::chrono::steady_clock::now() < end; ++step) {
        const int what = pick(10);
        bool alive = true;
        if (what < 2) {
            alive = p.tap(XK_Escape) && p.wait(slide);
            paused = !paused;
        } else if (paused) {  // Save screenshot, or Resume game
            const bool save = what < 8;
            alive = p.click(menu_x - 140 + pick(280), button_y(save ? 2 : 0)) && (save || p.wait(slide));
            saves += save;
            paused = save;
        } else {  // a key, the action or the view from the head, held a while
            x.move_pointer(p.window, pick(width), pick(height));
            const XKeySym key = what < 6 ? keys[pick(10)] : 0;
            const int button = 1 + 2 * pick(2);
            alive = p.hold(key, button, 1 + pick(30));
        }
        ASSERT_TRUE(alive) << "step " << step << ", exit code " << game.exit_code()
                           << ", stderr: " << game.stderr_text();
    }
    ASSERT_TRUE(paused || (p.tap(XK_Escape) && p.wait(slide)));
    p.click(menu_x, button_y(1));  // the pass that reads it is the game's last
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after Exit";
    EXPECT_EQ(game.exit_code(), 0);
    EXPECT_EQ(game.stderr_text(), "");

    // A name in use is skipped, never overwritten; every save took the
    // first free number and holds the window as 8-bit RGB.
    EXPECT_EQ(read_file(game.path("screenshot1.png")), "taken");
    for (int n = 2; n <= saves + 2; ++n) {
        const std::string name = game.path("screenshot" + std::to_string(n) + ".png");
        std::vector<unsigned char> png, rgb;
        unsigned w = 0, h = 0;
        lodepng::State state;
        ASSERT_EQ(lodepng::load_file(png, name) == 0, n <= saves + 1) << name;
        if (n > saves + 1) break;
        EXPECT_EQ(lodepng::decode(rgb, w, h, state, png), 0u) << name;
        EXPECT_TRUE(w == width && h == height) << w << "x" << h;
        EXPECT_EQ(state.info_png.color.colortype, LCT_RGB);
        EXPECT_EQ(state.info_png.color.bitdepth, 8u);
    }
}
