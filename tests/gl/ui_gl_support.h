// Helpers for the 2D layer's window tests: a window of a given size through
// the real set-up code, synthetic atlases with known colours, pixel reads
// in screen coordinates and PNG artifacts.
#pragma once

#include "window_support.h"
#include "render/dashboard.h"
#include "render/draw2d.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace ui_test {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

// Writes a w x h RGBA PNG whose pixels come from paint(x, y).
inline std::string write_png(const std::string& path, int w, int h,
                             const std::function<Rgba(int, int)>& paint) {
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba c = paint(x, y);
            unsigned char* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    lodepng::encode(path, pixels, static_cast<unsigned>(w), static_cast<unsigned>(h));
    return path;
}

// Colour of glyph g's art, and of panel piece (style, column, row).
inline Rgba glyph_colour(int g) { return {static_cast<uint8_t>(2 * g), static_cast<uint8_t>(250 - 2 * g), 90, 255}; }
inline Rgba piece_colour(int s, int c, int r) {
    return {static_cast<uint8_t>(40 + 60 * c), static_cast<uint8_t>(40 + 60 * r), static_cast<uint8_t>(70 * s + 30), 255};
}
inline Rgba cursor_colour() { return {250, 40, 200, 255}; }

// An atlas whose glyphs are opaque 10 x 10 squares in the middle of their
// transparent cells, whose panel pieces are solid colours, and whose
// pointer fills its region.
inline Rgba test_atlas_pixel(int x, int y) {
    if (y < 60 && x < 640) {
        const int g = (y / 20) * 32 + x / 20;
        const int cx = x % 20, cy = y % 20;
        if (g < 95 && cx >= 5 && cx < 15 && cy >= 5 && cy < 15) return glyph_colour(g);
        return {255, 255, 255, 0};
    }
    if (y >= 60 && y < 120 && x < 180) return piece_colour(x / 60, (x % 60) / 20, (y - 60) / 20);
    if (y >= 60 && y < 120 && x >= 440 && x < 480) return cursor_colour();
    return {0, 0, 0, 0};
}

inline std::string temp_path(const std::string& name) {
    return "/tmp/quill_ui_" + std::to_string(getpid()) + "_" + name;
}

// Loads the test atlas (test_atlas_pixel) as the game loads its own.
inline bool load_test_atlas(Atlas2D& atlas) {
    const std::string path = write_png(temp_path("atlas.png"), 1024, 256, test_atlas_pixel);
    const bool loaded = load_dashboard(atlas, path.c_str());
    std::remove(path.c_str());
    return loaded;
}

// Pixel at window column x and row y counted from the top.
inline Rgba read_pixel(const Screen& screen, int x, int y) {
    Rgba c;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, static_cast<int>(screen.height) - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &c);
    return c;
}

// The back buffer as an RGBA picture, top row first.
inline std::vector<unsigned char> read_window(const Screen& screen) {
    const int w = static_cast<int>(screen.width), h = static_cast<int>(screen.height);
    std::vector<unsigned char> bottom_up(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    std::vector<unsigned char> top_down(bottom_up.size());
    const size_t row = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        std::copy_n(&bottom_up[row * (h - 1 - y)], row, &top_down[row * y]);
    }
    return top_down;
}

// Saves the back buffer under $QUILL_ARTIFACTS, when set.
inline void save_artifact(const Screen& screen, const std::string& name) {
    const char* dir = std::getenv("QUILL_ARTIFACTS");
    if (dir == nullptr || *dir == '\0') return;
    std::system((std::string("mkdir -p '") + dir + "'").c_str());
    lodepng::encode(std::string(dir) + "/" + name, read_window(screen),
                    static_cast<unsigned>(screen.width), static_cast<unsigned>(screen.height));
}

}  // namespace ui_test
