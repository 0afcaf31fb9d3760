// The real binary judged only on what does not depend on the world a start
// generates: exit codes with their one stderr line, the window, the files
// written and the menu. The ctest entry on sdl12-compat sets QUILL_SDL12_COMPAT.
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
const int timeout_ms = std::getenv("QUILL_GAME_WRAPPER") != nullptr ? 1800000 : 60000;  // valgrind

struct Player {  // a game and a user at its window
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
        window = x("search --maxdepth 1 --onlyvisible --name " + std::string(game_window_caption));
        return !(window = window.substr(0, window.find('\n'))).empty();
    }
    bool wait(int n) { return passes.wait_for(n, game, timeout_ms); }
    // "key" by X name or "mouse" by button, down for n passes and up for two:
    // a press, its release and the next press each land in a pass of their own.
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
        const char* dashboard;  // nullptr: the shipped one; "": no Media at all
        bool display;
        int code, compat_code;
        std::string said;   // how the one stderr line of a failed start begins
        int width, height;  // of the window on the 1024 x 768 screen
    } const cases[] = {
        {"screenw = 640\nscreenh = 480\n", nullptr, true, 0, 0, "", 640, 480},
        {nullptr, nullptr, true, 0, 0, "", 1024, 768},
        {"screenw = 700\nscreenh = 0\n", nullptr, true, 0, 0, "", 700, 768},
        // sdl12-compat emulates a full-screen mode larger than the screen by
        // scaling, where classic SDL refuses it.
        {"screenw = 2048\nscreenh = 2048\nfullscreen = 1\n", nullptr, true, 3, 0,
         "quillmoor: cannot open a 2048x2048 full-screen OpenGL window: ", 2048, 2048},
        {nullptr, nullptr, false, 1, 1, "quillmoor: cannot start SDL video: ", 0, 0},
        {nullptr, "", true, 4, 4, no_dashboard, 0, 0},
        {nullptr, "not a picture", true, 4, 4, no_dashboard, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        GameProcess game;
        const bool media = c.dashboard == nullptr || *c.dashboard != '\0';
        if (c.settings != nullptr) game.write_settings(c.settings);
        ASSERT_TRUE(!media || game.copy_media());
        if (media && c.dashboard != nullptr) game.write_file("Media/dashboard.png", c.dashboard);
        const int code = sdl12_compat ? c.compat_code : c.code;
        Player p{game, c.display ? shared_xvfb().display() : ""};
        ASSERT_EQ(p.start(), code == 0) << game.stderr_text();
        if (code == 0) {
            const std::string box = p.x("getwindowgeometry --shell " + p.window);
            int x = 0, y = 0, width = 0, height = 0;
            ASSERT_EQ(sscanf(box.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width,
                             &height), 4) << box;
            // Classic SDL puts a window in the corner, sdl12-compat centres it.
            const int place_x = sdl12_compat ? (1024 - c.width) / 2 : 0;
            const int place_y = sdl12_compat ? (768 - c.height) / 2 : 0;
            EXPECT_TRUE(width == c.width && height == c.height && x == place_x && y == place_y)
                << box;
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
    ASSERT_TRUE(p.hold("key", "w", 10) && p.tap("space"));
    // Q wraps back to the last action, E through all seven; each used once.
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
        } else if (paused) {
            alive = p.click(width / 2 - 140 + pick(280), menu(2));
            ++saves;
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

    // Each save took the first free number, sparing the name in use, as 8-bit RGB.
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
