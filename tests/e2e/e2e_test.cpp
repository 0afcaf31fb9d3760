// The real binary under a private X server, judged only on what does not
// depend on the world a start generates: exit codes with their one stderr
// line, the window, the files written and the menu. Input is paced by the
// game's passes. The ctest entry on sdl12-compat sets QUILL_SDL12_COMPAT.
#include "app/video_caption.h"
#include "support/game_process.h"
#include "support/xvfb.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <chrono>
#include <cstdio>
#include <random>

namespace {

[[maybe_unused]] const bool xvfb_installed = (install_shared_xvfb_environment(), true);
const bool sdl12_compat = std::getenv("QUILL_SDL12_COMPAT") != nullptr;
// Under valgrind (tools/valgrind.sh) a pass takes seconds.
const int timeout_ms = std::getenv("QUILL_GAME_WRAPPER") != nullptr ? 1800000 : 60000;

// A game and a user at its window.
struct Player {
    GameProcess& game;
    std::string display;  // empty: none
    SwapLog passes{game.swap_log_path()};
    std::string window{};  // xdotool's id

    std::string x(const std::string& arguments) { return xdotool(display, arguments); }
    // Looks for the window once the main loop has drawn twice: SDL may
    // replace a first window, and may lose a close request sent before.
    bool start() {
        game.use_swap_probe();
        if (!game.start(display.empty() ? nullptr : display.c_str()) || !wait(2)) return false;
        window = x("search --maxdepth 1 --onlyvisible --name '^" +
                   std::string(game_window_caption) + "$'");
        return !(window = window.substr(0, window.find('\n'))).empty();
    }
    bool wait(int n) { return passes.wait_for(n, game, timeout_ms); }
    // Down for n passes, then up for two, so that a press, its release and
    // the next press are each read in a pass of their own. device is "key"
    // (which: an X key name) or "mouse" (which: a button number).
    bool hold(const std::string& device, const std::string& which, int n) {
        x(device + "down " + which);
        const bool seen = wait(n);
        x(device + "up " + which);
        return seen && wait(2);
    }
    bool tap(const char* key) { return hold("key", key, 2); }
    void move(int px, int py) {
        x("mousemove --window " + window + " " + std::to_string(px) + " " + std::to_string(py));
    }
    bool click(int px, int py) { return move(px, py), hold("mouse", "1", 2); }
};

}  // namespace

TEST(Start, OutcomeFollowsSettingsDisplayAndArt) {
    const std::string no_dashboard = "quillmoor: cannot load Media/dashboard.png: ";
    struct Case {
        const char* settings;   // nullptr: none
        const char* dashboard;  // nullptr: the shipped one; "": none
        int depth;              // of the screen, 24: the shared one; 0: no display
        int code, compat_code;
        std::string said;   // how the one stderr line of a failed start begins
        int width, height;  // of the window; 0: the screen's
    } const cases[] = {
        {"screenw = 640\nscreenh = 480\n", nullptr, 24, 0, 0, "", 640, 480},
        {nullptr, nullptr, 24, 0, 0, "", 0, 0},
        {"screenw = 700\nscreenh = 0\n", nullptr, 24, 0, 0, "", 700, 0},
        // No multisampled visual: the game drops antialiasing.
        {"screenw = 320\nscreenh = 240\nantialiasing = 1\n", nullptr, 15, 0, 0, "", 320, 240},
        // sdl12-compat emulates a full-screen mode larger than the screen by
        // scaling, where classic SDL refuses it.
        {"screenw = 2048\nscreenh = 2048\nfullscreen = 1\n", nullptr, 24, 3, 0,
         "quillmoor: cannot open a 2048x2048 full-screen OpenGL window: ", 2048, 2048},
        {nullptr, nullptr, 0, 1, 1, "quillmoor: cannot start SDL video: ", 0, 0},
        {nullptr, "", 24, 4, 4, no_dashboard, 0, 0},
        {nullptr, "not a picture", 24, 4, 4, no_dashboard, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        XvfbServer own_server;
        ASSERT_TRUE(c.depth % 24 == 0 || own_server.start(800, 600, c.depth));
        GameProcess game;
        ASSERT_TRUE(game.copy_media());
        if (c.settings != nullptr) game.write_settings(c.settings);
        if (c.dashboard != nullptr) game.write_file("Media/dashboard.png", c.dashboard);
        if (c.dashboard != nullptr && *c.dashboard == '\0') {
            std::remove(game.path("Media/dashboard.png").c_str());
        }
        const int code = sdl12_compat ? c.compat_code : c.code;
        Player p{game, c.depth == 0 ? "" : (c.depth % 24 ? own_server : shared_xvfb()).display()};
        ASSERT_EQ(p.start(), code == 0) << game.stderr_text();
        int x = 0, y = 0, width = 0, height = 0, screen_width = 0, screen_height = 0;
        if (code == 0) {
            const std::string box =
                p.x("getdisplaygeometry") + p.x("getwindowgeometry --shell " + p.window);
            ASSERT_EQ(sscanf(box.c_str(), "%d %d WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d",
                             &screen_width, &screen_height, &x, &y, &width, &height), 6) << box;
            const int w = c.width != 0 ? c.width : screen_width;
            const int h = c.height != 0 ? c.height : screen_height;
            // Classic SDL puts a window in the corner, sdl12-compat centres it.
            EXPECT_EQ(x, sdl12_compat ? (screen_width - w) / 2 : 0);
            EXPECT_EQ(y, sdl12_compat ? (screen_height - h) / 2 : 0);
            EXPECT_TRUE(width == w && height == h) << width << "x" << height;
            ASSERT_TRUE(close_window(p.display, std::stoul(p.window)));
        }
        ASSERT_TRUE(game.wait(timeout_ms));
        EXPECT_EQ(game.exit_code(), code);
        const std::string said = game.stderr_text();
        EXPECT_TRUE(code == 0 ? said.empty()
                              : said.rfind(c.said, 0) == 0 && said.find('\n') == said.size() - 1)
            << said;
    }
}

// Walk, every action, the menu with two screenshots, then random play for
// QUILL_MONKEY_SECONDS (default 10) replayed by QUILL_MONKEY_SEED, and Exit.
TEST(Session, ScriptedThenRandomPlayEndsByExitWithSilentStderr) {
    constexpr int width = 640, height = 480, slide = 22;  // passes the menu takes, and two
    auto menu = [](int k) { return height / 2 - 125 + 50 * k; };  // Resume, Exit, Save
    GameProcess game;
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    game.write_file("screenshot1.png", "taken");
    Player p{game, shared_xvfb().display()};
    ASSERT_TRUE(p.start()) << game.stderr_text();
    p.move(width / 2, height / 2);
    p.x("keydown w");
    ASSERT_TRUE(p.tap("space") && p.wait(10));
    p.x("keyup w");
    // Q wraps back to the last action, E walks through all seven and wraps;
    // each is used once, the view tilting down.
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(p.tap(i == 0 ? "q" : "e") && p.click(width / 2, height / 2 + 40));
    }
    ASSERT_TRUE(p.tap("Escape") && p.wait(slide));
    ASSERT_TRUE(p.click(width / 2, menu(2)) && p.click(width / 2, menu(2)));
    ASSERT_TRUE(p.click(width / 2, menu(0)) && p.wait(slide));

    const char* seed = std::getenv("QUILL_MONKEY_SEED");
    const char* seconds = std::getenv("QUILL_MONKEY_SECONDS");
    std::mt19937 random(seed != nullptr ? std::atoi(seed) : 1);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const char* const keys[] = {"w", "a", "s", "d", "Up", "Left", "space", "q", "e", "x"};
    int saves = 2;
    bool paused = false;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::seconds(seconds != nullptr ? std::atoi(seconds) : 10);
    while (std::chrono::steady_clock::now() < end) {
        const int what = pick(10), passes = 1 + pick(30);
        bool alive = true;
        if (what < 2) {
            alive = p.tap("Escape") && p.wait(slide);
            paused = !paused;
        } else if (paused) {  // Save screenshot, or Resume game
            alive = p.click(width / 2 - 140 + pick(280), menu(what < 8 ? 2 : 0)) &&
                    (what < 8 || p.wait(slide));
            saves += what < 8;
            paused = what < 8;
        } else {  // a key, or the action or the view from the head, held a while
            p.move(pick(width), pick(height));
            alive = what < 6 ? p.hold("key", keys[pick(10)], passes)
                             : p.hold("mouse", std::to_string(1 + 2 * pick(2)), passes);
        }
        ASSERT_TRUE(alive) << game.stderr_text();
    }
    ASSERT_TRUE(paused || (p.tap("Escape") && p.wait(slide)));
    p.click(width / 2, menu(1));  // the pass that reads it is the game's last
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after Exit";
    EXPECT_EQ(game.exit_code(), 0);
    EXPECT_EQ(game.stderr_text(), "");

    // A name in use is skipped, never overwritten; every save took the
    // first free number and holds the window as 8-bit RGB.
    EXPECT_EQ(read_file(game.path("screenshot1.png")), "taken");
    for (int n = 2; n <= saves + 2; ++n) {
        std::vector<unsigned char> png, rgb;
        unsigned w = 0, h = 0;
        lodepng::State state;
        lodepng::load_file(png, game.path("screenshot" + std::to_string(n) + ".png"));
        ASSERT_EQ(png.empty(), n == saves + 2) << n;
        EXPECT_TRUE(png.empty() || (lodepng::decode(rgb, w, h, state, png) == 0 && w == width &&
                                    h == height && state.info_png.color.colortype == LCT_RGB &&
                                    state.info_png.color.bitdepth == 8)) << n;
    }
}
