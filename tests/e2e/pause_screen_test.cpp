// The pause screen of the real binary, driven through real X input: Escape
// freezes the game under the bars and the menu, "Save screenshot" writes the
// still image without them, "Resume game" brings the game back and "Exit"
// ends it with 0. Also the HUD's action label and a start without the atlas.
//
// The game reads input as per-pass states, and a press and a release that
// reach it in the same pass cancel out. Running passes can be slow under
// llvmpipe, so keys and buttons are held until their effect shows on screen
// and only then released.
#include "support/game_process.h"
#include "support/x_client.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int width = 640, height = 480;
constexpr int cx = width / 2, cy = height / 2;
constexpr int start_timeout_ms = 20000;
constexpr int step_timeout_ms = 20000;

// Centres of the three buttons when the menu is fully in: 240 - 125 + 50 k.
constexpr int resume_y = 115, exit_y = 165, save_y = 215;

struct Rgb {
    int r, g, b;
};
Rgb rgb_of(uint32_t p) { return {int(p >> 16) & 255, int(p >> 8) & 255, int(p) & 255}; }

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

// The atlas as the game loads it, RGBA, top row first.
struct Atlas {
    std::vector<unsigned char> rgba;
    unsigned w = 0, h = 0;
    const unsigned char* at(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * w + x) * 4];
    }
};

bool load_atlas(Atlas& atlas) {
    const std::string path = std::string(QUILL_SOURCE_DIR) + "/Media/dashboard.png";
    return lodepng::decode(atlas.rgba, atlas.w, atlas.h, path) == 0;
}

// Art of an atlas texel blended over a background pixel, as GL's
// SRC_ALPHA / ONE_MINUS_SRC_ALPHA blending does.
Rgb blended(const unsigned char* art, Rgb under) {
    const float a = art[3] / 255.0f;
    auto mix = [a](int s, int d) { return static_cast<int>(s * a + d * (1.0f - a) + 0.5f); };
    return {mix(art[0], under.r), mix(art[1], under.g), mix(art[2], under.b)};
}

// The pointer sprite shows its hot spot 12 pixels from its left edge and 10
// from its top; 2 right and 6 below the hot spot lies an opaque texel of its
// arrow, (454, 76) in the atlas.
bool sprite_at(const Atlas& atlas, const RgbImage& image, int px, int py) {
    const unsigned char* arrow = atlas.at(454, 76);
    return near(rgb_of(image.pixel(px + 2, py + 6)), Rgb{arrow[0], arrow[1], arrow[2]}, 2);
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms = step_timeout_ms) {
    for (int waited = 0;; waited += 50) {
        if (condition()) return true;
        if (waited >= timeout_ms) return false;
        sleep_ms(50);
    }
}

// Polls fresh captures of the window until the condition holds; the last
// capture is left in image.
bool wait_for_picture(const XClient& x, XWindowId window, RgbImage& image,
                      const std::function<bool(const RgbImage&)>& condition) {
    return wait_until([&] {
        return x.capture(window, image) && image.width == width && image.height == height &&
               condition(image);
    });
}

// Two captures 200 ms apart agree on the left 400 columns (the clock on the
// right ticks): the menu and the bars have stopped sliding.
bool wait_until_still(const XClient& x, XWindowId window, RgbImage& image) {
    RgbImage previous;
    if (!x.capture(window, previous)) return false;
    for (int waited = 0; waited < step_timeout_ms; waited += 200) {
        sleep_ms(200);
        if (!x.capture(window, image)) return false;
        bool same = image.width == previous.width && image.height == previous.height;
        for (int y = 0; same && y < height; ++y) {
            for (int px = 0; same && px < 400; ++px) {
                same = image.pixel(px, y) == previous.pixel(px, y);
            }
        }
        if (same) return true;
        previous = image;
    }
    return false;
}

// Holds a key down until the condition holds, then lets go.
bool press_key_until(const XClient& x, XKeySym key, const std::function<bool()>& condition) {
    x.key_down(key);
    sleep_ms(50);
    const bool seen = wait_until(condition);
    x.key_up(key);
    return seen;
}

// Presses the left button at (px, py) until the condition holds, then lets
// go and leaves a few passes before anything else can press it again.
bool click_until(const XClient& x, XWindowId window, int px, int py,
                 const std::function<bool()>& condition) {
    x.move_pointer(window, px, py);
    x.button_down(1);
    sleep_ms(50);
    const bool seen = wait_until(condition);
    x.button_up(1);
    sleep_ms(150);
    return seen;
}

struct Png {
    std::vector<unsigned char> rgb;
    unsigned w = 0, h = 0;
    int colour_type = -1, bit_depth = -1;
    Rgb at(int x, int y) const {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

bool read_png(const std::string& path, Png& png) {
    const std::string bytes = read_file(path);
    if (bytes.size() < 33) return false;
    png.bit_depth = static_cast<unsigned char>(bytes[24]);
    png.colour_type = static_cast<unsigned char>(bytes[25]);
    return lodepng::decode(png.rgb, png.w, png.h,
                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                           LCT_RGB, 8) == 0;
}

bool in_box(int px, int py, int left, int top, int right, int bottom) {
    return px >= left && px < right && py >= top && py < bottom;
}

void start_game(GameProcess& game, XClient& x, XWindowId& window) {
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    ASSERT_TRUE(game.start());
    window = x.wait_for_game_window(game, start_timeout_ms);
    ASSERT_NE(window, 0u) << "exit code " << game.exit_code() << ", stderr: "
                          << game.stderr_text();
    // While the game runs the view turns by the pointer's offset from the
    // centre: keep it exactly there.
    x.move_pointer(window, cx, cy);
}

}  // namespace

TEST(PauseScreen, MenuOverStillImageSavesResumesAndExits) {
    Atlas atlas;
    ASSERT_TRUE(load_atlas(atlas));
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    start_game(game, x, window);
    sleep_ms(1000);
    RgbImage running;
    ASSERT_TRUE(x.capture(window, running));
    save_png(artifact_path("pause_running.png"), running);
    EXPECT_FALSE(sprite_at(atlas, running, cx, cy)) << "pointer sprite over the running game";

    // Escape freezes the game: the pointer sprite appears, then the menu
    // slides in and comes to rest.
    RgbImage paused;
    ASSERT_TRUE(press_key_until(x, XK_Escape, [&] {
        return x.capture(window, paused) && sprite_at(atlas, paused, cx, cy);
    })) << "Escape did not freeze the game";
    ASSERT_TRUE(wait_until_still(x, window, paused));
    save_png(artifact_path("pause_menu.png"), paused);

    // Hovering "Save screenshot" lights its panel up; clicking it writes the
    // still image.
    x.move_pointer(window, cx, save_y);
    const int sample_x = cx - 130;  // inside a panel, clear of its label
    RgbImage hovered;
    ASSERT_TRUE(wait_for_picture(x, window, hovered, [&](const RgbImage& image) {
        return !near(rgb_of(image.pixel(sample_x, save_y)),
                     rgb_of(paused.pixel(sample_x, save_y)), 6);
    })) << "the hovered button did not light up";
    save_png(artifact_path("pause_hover.png"), hovered);
    Png shot;
    ASSERT_TRUE(click_until(x, window, cx, save_y,
                            [&] { return read_png(game.path("screenshot1.png"), shot); }))
        << "no screenshot1.png";
    ASSERT_EQ(shot.w, unsigned(width));
    ASSERT_EQ(shot.h, unsigned(height));
    EXPECT_EQ(shot.colour_type, 2);
    EXPECT_EQ(shot.bit_depth, 8);

    // The paused window is the screenshot (the still image) everywhere but
    // the bars, the menu panels and the pointer sprite...
    int differing = 0;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            const bool covered = py < 60 || py >= height - 60 ||
                                 in_box(px, py, 150, resume_y - 27, 490, save_y + 28) ||
                                 in_box(px, py, cx - 12, cy - 10, cx + 28, cy + 50);
            if (covered || near(shot.at(px, py), rgb_of(paused.pixel(px, py)), 0)) continue;
            if (++differing <= 5) ADD_FAILURE() << "still image differs at " << px << "," << py;
        }
    }
    EXPECT_EQ(differing, 0);

    // ...and there the art lies over it: the screenshot holds none of it.
    const Rgb plain_panel = blended(atlas.at(30, 90), shot.at(sample_x, resume_y));
    EXPECT_TRUE(near(rgb_of(paused.pixel(sample_x, resume_y)), plain_panel, 3));
    const Rgb lit_panel = blended(atlas.at(90, 90), shot.at(sample_x, save_y));
    EXPECT_TRUE(near(rgb_of(hovered.pixel(sample_x, save_y)), lit_panel, 3));
    // Top bar at row 10, middle column (no text there): atlas rows 131..132.
    const Rgb under = shot.at(cx, 10);
    const Rgb bar_a = blended(atlas.at(320, 131), under);
    const Rgb bar_b = blended(atlas.at(320, 132), under);
    const Rgb got_bar = rgb_of(paused.pixel(cx, 10));
    EXPECT_TRUE(near(got_bar, bar_a, 3) || near(got_bar, bar_b, 3))
        << got_bar.r << "," << got_bar.g << "," << got_bar.b;
    EXPECT_TRUE(sprite_at(atlas, hovered, cx, save_y));
    EXPECT_FALSE(sprite_at(atlas, RgbImage{width, height, shot.rgb}, cx, cy));

    // Resume: the menu starts to slide out at the press...
    RgbImage image;
    ASSERT_TRUE(click_until(x, window, cx, resume_y, [&] {
        return x.capture(window, image) &&
               !near(rgb_of(image.pixel(sample_x, resume_y)),
                     rgb_of(hovered.pixel(sample_x, resume_y)), 2);
    })) << "Resume game did nothing";
    x.move_pointer(window, cx, cy);
    // ...and once it is gone the game runs again, without the pointer sprite.
    RgbImage resumed;
    EXPECT_TRUE(wait_for_picture(x, window, resumed, [&](const RgbImage& now) {
        return !sprite_at(atlas, now, cx, resume_y) && !sprite_at(atlas, now, cx, cy) &&
               !near(rgb_of(now.pixel(cx, 10)), got_bar, 2);
    })) << "the game did not come back";
    save_png(artifact_path("pause_resumed.png"), resumed);

    // Freeze again and leave by "Exit".
    ASSERT_TRUE(press_key_until(x, XK_Escape, [&] {
        return x.capture(window, image) && sprite_at(atlas, image, cx, cy);
    })) << "Escape did not freeze the game again";
    ASSERT_TRUE(wait_until_still(x, window, image));
    EXPECT_TRUE(click_until(x, window, cx, exit_y, [&] { return game.wait(0); }))
        << "the game did not end after Exit";
    ASSERT_TRUE(game.wait(step_timeout_ms));
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");
}

TEST(PauseScreen, MissingOrBrokenAtlasEndsTheStartWithItsOwnCode) {
    for (const char* content : {static_cast<const char*>(nullptr), "not a picture"}) {
        GameProcess game;
        game.write_settings(settings_ini(320, 240));
        ASSERT_TRUE(game.copy_media());
        ASSERT_EQ(std::remove(game.path("Media/dashboard.png").c_str()), 0);
        if (content != nullptr) game.write_file("Media/dashboard.png", content);
        ASSERT_TRUE(game.start());
        ASSERT_TRUE(game.wait(start_timeout_ms));
        EXPECT_EQ(game.exit_code(), 4);
        const std::string err = game.stderr_text();
        EXPECT_EQ(err.rfind("quillmoor: cannot load Media/dashboard.png", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

namespace {

// Bright pixels (the glyphs) of the second HUD line's text band: the panel
// behind them is dark and mostly opaque.
std::vector<bool> label_ink(const RgbImage& image) {
    std::vector<bool> ink;
    for (int py = 45; py < 65; ++py) {
        for (int px = 20; px < 300; ++px) {
            const Rgb c = rgb_of(image.pixel(px, py));
            ink.push_back(c.r + c.g + c.b > 3 * 150);
        }
    }
    return ink;
}

// Leftmost and rightmost window column holding ink; -1 when none.
std::pair<int, int> ink_extent(const std::vector<bool>& ink) {
    int left = -1, right = -1;
    for (size_t i = 0; i < ink.size(); ++i) {
        if (!ink[i]) continue;
        const int px = 20 + static_cast<int>(i % 280);
        if (left < 0 || px < left) left = px;
        if (px > right) right = px;
    }
    return {left, right};
}

size_t ink_difference(const std::vector<bool>& a, const std::vector<bool>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST(Hud, ActionLabelFollowsQAndE) {
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    start_game(game, x, window);
    sleep_ms(1000);

    // "actiontype_raiseground", 22 characters centred on x = 160: its cells
    // span 45 .. 275.
    RgbImage image;
    ASSERT_TRUE(x.capture(window, image));
    const std::vector<bool> raise = label_ink(image);
    std::pair<int, int> extent = ink_extent(raise);
    EXPECT_GE(extent.first, 45);
    EXPECT_LT(extent.first, 60);
    EXPECT_GT(extent.second, 260);
    EXPECT_LT(extent.second, 275);

    // Q steps back and wraps to "actiontype_fly", 14 characters: 85 .. 235.
    ASSERT_TRUE(press_key_until(x, XK_q, [&] {
        return x.capture(window, image) && ink_difference(label_ink(image), raise) > 100;
    })) << "Q did not change the label";
    save_png(artifact_path("hud_fly.png"), image);
    extent = ink_extent(label_ink(image));
    EXPECT_GE(extent.first, 85);
    EXPECT_LT(extent.first, 100);
    EXPECT_GT(extent.second, 220);
    EXPECT_LT(extent.second, 235);

    // E steps forward to the first label again: the same text as before.
    ASSERT_TRUE(press_key_until(x, XK_e, [&] {
        return x.capture(window, image) && ink_difference(label_ink(image), raise) < 20;
    })) << "E did not bring the first label back";
    save_png(artifact_path("hud_raise.png"), image);

    x.close_window(window);
    ASSERT_TRUE(game.wait(step_timeout_ms));
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
}
