// What the in-process GL tests share: a window opened by the game's own
// set-up, files for the loaders, and reads of what GL holds.
#pragma once

#include "app/video.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

// Opens a width x height window (0: the desktop's) through setup_video.
inline bool open_window(Screen& screen, int w, int h, bool fullscreen = false, bool antialiasing = false) {
    // Width, height, depth, full screen, pointer, antialiasing, mipmaps and aspect.
    const Settings s{float(w), float(h), 0, fullscreen, false, antialiasing, false, float(w) / float(h)};
    return setup_video(s, screen) == 0;
}

struct GlTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(open_window(screen, 640, 480)); }
    void TearDown() override { SDL_Quit(); }
    Screen screen;
};

// Writes bytes to a file of this process under /tmp; returns its path.
inline std::string temp_file(const std::string& name, const std::string& bytes) {
    const std::string path = "/tmp/quill_gl_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// An RGBA picture, top row first, as a PNG of exactly the given form.
inline std::string png(const std::vector<uint8_t>& rgba, int w, int h, LodePNGColorType type = LCT_RGBA,
                       unsigned bits = 8) {
    lodepng::State state;
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = type;
    state.info_png.color.bitdepth = bits;
    for (size_t i = 0; type == LCT_PALETTE && i < rgba.size(); i += 4)
        lodepng_palette_add(&state.info_png.color, rgba[i], rgba[i + 1], rgba[i + 2], 255);
    std::vector<uint8_t> file;
    lodepng::encode(file, rgba, unsigned(w), unsigned(h), state);
    return std::string(file.begin(), file.end());
}

// A w x h block of the back buffer from (x, y) as RGBA, bottom row first.
inline std::vector<uint8_t> read_pixels(int x, int y, int w = 640, int h = 480) {
    std::vector<uint8_t> rgba(size_t(w) * size_t(h) * 4);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}
