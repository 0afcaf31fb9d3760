#include "render/dashboard.h"
#include "render/hud.h"
#include "ui_gl_support.h"

#include <cstdio>

using namespace ui_test;

namespace {

class Draw2DWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(open_window(screen, 640, 480));
        ASSERT_TRUE(load_test_atlas(atlas));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { SDL_Quit(); }

    void expect_2d_state_off() {
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    }

    Screen screen;
    Atlas2D atlas;
};

const Rgba black{0, 0, 0, 255};

}  // namespace

TEST_F(Draw2DWindow, TextShowsEachGlyphInItsCellAndNothingElse) {
    draw_text(atlas, screen, "Az~", 100, 50);
    expect_2d_state_off();
    const char* text = "Az~";
    for (int i = 0; i < 3; ++i) {
        const int cell_x = 95 + 10 * i;
        const Rgba art = glyph_colour(text[i] - 32);
        // The art sits in the middle 10 x 10 of the cell, one advance wide.
        EXPECT_EQ(read_pixel(screen, cell_x + 5, 55), art) << i;
        EXPECT_EQ(read_pixel(screen, cell_x + 14, 64), art) << i;
    }
    // The transparent margins cover nothing: above, below and past the end.
    EXPECT_EQ(read_pixel(screen, 110, 54), black);
    EXPECT_EQ(read_pixel(screen, 110, 65), black);
    EXPECT_EQ(read_pixel(screen, 130, 60), black);
    EXPECT_EQ(read_pixel(screen, 99, 60), black);

    // An empty text draws nothing and still leaves the 2D state.
    glEnable(GL_DEPTH_TEST);
    draw_text(atlas, screen, "", 300, 300);
    expect_2d_state_off();
    EXPECT_EQ(read_pixel(screen, 300, 305), black);
}

TEST_F(Draw2DWindow, PanelBordersLieOutsideTheInnerRectangle) {
    draw_panel(atlas, screen, 100, 100, 280, 10, 1);
    expect_2d_state_off();
    // Corners.
    EXPECT_EQ(read_pixel(screen, 85, 85), piece_colour(1, 0, 0));
    EXPECT_EQ(read_pixel(screen, 395, 85), piece_colour(1, 2, 0));
    EXPECT_EQ(read_pixel(screen, 85, 125), piece_colour(1, 0, 2));
    EXPECT_EQ(read_pixel(screen, 395, 125), piece_colour(1, 2, 2));
    // Edges and centre.
    EXPECT_EQ(read_pixel(screen, 240, 85), piece_colour(1, 1, 0));
    EXPECT_EQ(read_pixel(screen, 240, 125), piece_colour(1, 1, 2));
    EXPECT_EQ(read_pixel(screen, 85, 105), piece_colour(1, 0, 1));
    EXPECT_EQ(read_pixel(screen, 395, 105), piece_colour(1, 2, 1));
    EXPECT_EQ(read_pixel(screen, 240, 105), piece_colour(1, 1, 1));
    // Exactly (80, 80) to (400, 130).
    EXPECT_EQ(read_pixel(screen, 79, 105), black);
    EXPECT_EQ(read_pixel(screen, 400, 105), black);
    EXPECT_EQ(read_pixel(screen, 240, 79), black);
    EXPECT_EQ(read_pixel(screen, 240, 130), black);
    EXPECT_EQ(read_pixel(screen, 80, 80), piece_colour(1, 0, 0));
    EXPECT_EQ(read_pixel(screen, 399, 129), piece_colour(1, 2, 2));
}

TEST_F(Draw2DWindow, HudLinesStandInTheTopLeftCorner) {
    glEnable(GL_DEPTH_TEST);
    draw_hud(atlas, screen, 62.5f, 6);
    expect_2d_state_off();
    // Both panels span (0, 0) to (320, 80); the second overlaps the first.
    EXPECT_EQ(read_pixel(screen, 2, 2), piece_colour(0, 0, 0));
    EXPECT_EQ(read_pixel(screen, 317, 77), piece_colour(0, 2, 2));
    EXPECT_EQ(read_pixel(screen, 2, 35), piece_colour(0, 0, 0));  // second over first
    EXPECT_EQ(read_pixel(screen, 321, 40), black);
    EXPECT_EQ(read_pixel(screen, 160, 81), black);
    // "frames per second: 62.500000" starts at x = 20; its first glyph 'f'.
    EXPECT_EQ(read_pixel(screen, 20, 20), glyph_colour('f' - 32));
    // "actiontype_fly" has 14 characters: it starts at 160 - 70.
    EXPECT_EQ(read_pixel(screen, 90, 50), glyph_colour('a' - 32));
    EXPECT_EQ(read_pixel(screen, 220, 50), glyph_colour('y' - 32));
}

TEST_F(Draw2DWindow, DashboardAndPointerAtTheirPlaces) {
    draw_dashboard(atlas, screen, 100.0f, "Quillmoor", 0.1f, "Friday June 5th 2020",
                   "9:05:07 PM");
    expect_2d_state_off();
    // Title "Quillmoor" at (20, 18); "v0.1" below it; the clock right-aligned
    // at 620 with its last glyph 'M' in the cell starting at 620 - 10 - 5.
    EXPECT_EQ(read_pixel(screen, 20, 28), glyph_colour('Q' - 32));
    EXPECT_EQ(read_pixel(screen, 20, 48), glyph_colour('v' - 32));
    EXPECT_EQ(read_pixel(screen, 615, 48), glyph_colour('M' - 32));
    // The footer address ends in "g": its cell starts at 20 + 200 - 5, at 480 - 38.
    EXPECT_EQ(read_pixel(screen, 222, 450), glyph_colour('g' - 32));

    draw_cursor(atlas, screen, 300, 200);
    expect_2d_state_off();
    EXPECT_EQ(read_pixel(screen, 288, 190), cursor_colour());
    EXPECT_EQ(read_pixel(screen, 327, 249), cursor_colour());
    EXPECT_EQ(read_pixel(screen, 287, 220), black);
    EXPECT_EQ(read_pixel(screen, 300, 250), black);
}

TEST(Dashboard, MissingImageIsReported) {
    Screen screen;
    ASSERT_TRUE(open_window(screen, 320, 240));
    Atlas2D atlas;
    EXPECT_FALSE(load_dashboard(atlas, temp_path("no_such_atlas.png").c_str()));
    const std::string junk = temp_path("junk.png");
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("not a picture", f);
    std::fclose(f);
    EXPECT_FALSE(load_dashboard(atlas, junk.c_str()));
    std::remove(junk.c_str());
    SDL_Quit();
}

namespace {

// The atlas texture as loaded, 1024 x 256 RGBA, top row first.
std::vector<Rgba> atlas_texels(const Atlas2D& atlas) {
    std::vector<Rgba> texels(1024 * 256);
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 256);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

Rgba pattern(int x, int y) {
    return {static_cast<uint8_t>(x * 7), static_cast<uint8_t>(y * 5),
            static_cast<uint8_t>(x ^ y), static_cast<uint8_t>((x + y) % 256)};
}

}  // namespace

TEST(Dashboard, SmallerImageIsCopiedWithItsAlphaAndTheRestIsClear) {
    Screen screen;
    ASSERT_TRUE(open_window(screen, 320, 240));
    const std::string path = write_png(temp_path("small.png"), 300, 100, pattern);
    Atlas2D atlas;
    ASSERT_TRUE(load_dashboard(atlas, path.c_str()));
    std::remove(path.c_str());
    const std::vector<Rgba> texels = atlas_texels(atlas);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const Rgba expected = (x < 300 && y < 100) ? pattern(x, y) : Rgba{0, 0, 0, 0};
            const Rgba got = texels[static_cast<size_t>(y) * 1024 + x];
            if (expected.a == 0) ASSERT_EQ(got.a, 0) << x << "," << y;
            else ASSERT_EQ(got, expected) << x << "," << y;
        }
    }
    SDL_Quit();
}

TEST(Dashboard, LargerImageIsCutToTheAtlas) {
    Screen screen;
    ASSERT_TRUE(open_window(screen, 320, 240));
    auto paint = [](int x, int y) {
        return Rgba{static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(y),
                    255};
    };
    const std::string path = write_png(temp_path("large.png"), 1100, 300, paint);
    Atlas2D atlas;
    ASSERT_TRUE(load_dashboard(atlas, path.c_str()));
    std::remove(path.c_str());
    const std::vector<Rgba> texels = atlas_texels(atlas);
    for (int y = 0; y < 256; y += 17) {
        for (int x = 0; x < 1024; x += 13) {
            ASSERT_EQ(texels[static_cast<size_t>(y) * 1024 + x], paint(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(texels[255 * 1024 + 1023], paint(1023, 255));
    SDL_Quit();
}
