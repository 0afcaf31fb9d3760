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

// A 640 x 480 window opened by setup_video.
struct GlTest : ::testing::Test {
    void SetUp() override { ASSERT_EQ(setup_video(Settings{640, 480, 0, false, false, false, false, 640.0f / 480}, screen), 0); }
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
