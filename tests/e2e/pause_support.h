// Helpers for the end-to-end tests of the pause screen and the HUD: the
// real binary in a 640 x 480 window, the atlas as the game loads it, and
// input held until its effect shows on screen.
//
// The game reads input as per-pass states, and a press and a release that
// reach it in the same pass cancel out. Running passes can be slow under
// llvmpipe, so keys and buttons are held until their effect shows on screen
// and only then released.
#pragma once

#include "launch.h"
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

namespace pause_e2e {

constexpr int width = 640, height = 480;
constexpr int cx = width / 2, cy = height / 2;
constexpr int start_timeout_ms = 20000;
constexpr int step_timeout_ms = 20000;

// Centres of the three buttons when the menu is fully in.
constexpr int resume_y = menu_button_y(height, 0), exit_y = menu_button_y(height, 1),
              save_y = menu_button_y(height, 2);

struct Rgb {
    int r, g, b;
};
inline Rgb rgb_of(uint32_t p) { return {int(p >> 16) & 255, int(p >> 8) & 255, int(p) & 255}; }

inline bool near(Rgb a, Rgb b, int tolerance) {
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

inline bool load_atlas(Atlas& atlas) {
    const std::string path = std::string(QUILL_SOURCE_DIR) + "/Media/dashboard.png";
    return lodepng::decode(atlas.rgba, atlas.w, atlas.h, path) == 0;
}

// Art of an atlas texel blended over a background pixel, as GL's
// SRC_ALPHA / ONE_MINUS_SRC_ALPHA blending does.
inline Rgb blended(const unsigned char* art, Rgb under) {
    const float a = art[3] / 255.0f;
    auto mix = [a](int s, int d) { return static_cast<int>(s * a + d * (1.0f - a) + 0.5f); };
    return {mix(art[0], under.r), mix(art[1], under.g), mix(art[2], under.b)};
}

// The pointer sprite shows its hot spot 12 pixels from its left edge and 10
// from its top; 2 right and 6 below the hot spot lies an opaque texel of its
// arrow, (454, 76) in the atlas.
inline bool sprite_at(const Atlas& atlas, const RgbImage& image, int px, int py) {
    const unsigned char* arrow = atlas.at(454, 76);
    return near(rgb_of(image.pixel(px + 2, py + 6)), Rgb{arrow[0], arrow[1], arrow[2]}, 2);
}

inline bool wait_until(const std::function<bool()>& condition, int timeout_ms = step_timeout_ms) {
    for (int waited = 0;; waited += 50) {
        if (condition()) return true;
        if (waited >= timeout_ms) return false;
        sleep_ms(50);
    }
}

// Polls fresh captures of the window until the condition holds; the last
// capture is left in image.
inline bool wait_for_picture(const XClient& x, XWindowId window, RgbImage& image,
                      const std::function<bool(const RgbImage&)>& condition) {
    return wait_until([&] {
        return x.capture(window, image) && image.width == width && image.height == height &&
               condition(image);
    });
}

// Two captures 200 ms apart agree on the left 400 columns (the clock on the
// right ticks): the menu and the bars have stopped sliding.
inline bool wait_until_still(const XClient& x, XWindowId window, RgbImage& image) {
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
inline bool press_key_until(const XClient& x, XKeySym key, const std::function<bool()>& condition) {
    x.key_down(key);
    sleep_ms(50);
    const bool seen = wait_until(condition);
    x.key_up(key);
    return seen;
}

// Presses the left button at (px, py) until the condition holds, then lets
// go and leaves a few passes before anything else can press it again.
inline bool click_until(const XClient& x, XWindowId window, int px, int py,
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

inline bool read_png(const std::string& path, Png& png) {
    const std::string bytes = read_file(path);
    if (bytes.size() < 33) return false;
    png.bit_depth = static_cast<unsigned char>(bytes[24]);
    png.colour_type = static_cast<unsigned char>(bytes[25]);
    return lodepng::decode(png.rgb, png.w, png.h,
                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                           LCT_RGB, 8) == 0;
}

inline bool in_box(int px, int py, int left, int top, int right, int bottom) {
    return px >= left && px < right && py >= top && py < bottom;
}

inline void start_game(GameProcess& game, XClient& x, XWindowId& window) {
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, width, height, start_timeout_ms));
}

}  // namespace pause_e2e
