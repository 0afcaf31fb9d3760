// The 2D layer and the pause screen drawn with an atlas of known colours.
#include "app/pause.h"
#include "gl_support.h"
#include "render/dashboard.h"

#include <lodepng.h>

#include <cstdio>

namespace {

// Colours (0xRRGGBB) of glyph c's art, panel piece (style, column, row) and
// the pointer in the test atlas.
uint32_t glyph(char c) { return uint32_t(2 * (c - 32)) << 16 | uint32_t(250 - 2 * (c - 32)) << 8 | 90; }
uint32_t piece(int s, int c, int r) { return uint32_t(40 + 60 * c) << 16 | uint32_t(40 + 60 * r) << 8 | uint32_t(70 * s + 30); }
constexpr uint32_t pointer = 0xFA28C8;

// Texel (0xRRGGBBAA) of an atlas laid out as the game's: glyphs as opaque
// 10 x 10 squares in the middle of transparent 20 x 20 cells, solid panel
// pieces and a solid pointer.
uint32_t atlas_texel(int x, int y) {
    const int g = y / 20 * 32 + x / 20, cx = x % 20, cy = y % 20;
    if (y < 60 && x < 640) return g < 95 && cx >= 5 && cx < 15 && cy >= 5 && cy < 15 ? glyph(char(g + 32)) << 8 | 255 : 0;
    if (y >= 60 && y < 120 && x < 180) return piece(x / 60, x % 60 / 20, (y - 60) / 20) << 8 | 255;
    return y >= 60 && y < 120 && x >= 440 && x < 480 ? pointer << 8 | 255 : 0;
}

// Loads a w x h PNG painted by texel as the dashboard atlas.
bool load_atlas(Atlas2D& atlas, int w, int h, uint32_t (*texel)(int, int)) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int shift : {24, 16, 8, 0}) rgba.push_back(uint8_t(texel(x, y) >> shift));
    std::vector<unsigned char> file;
    lodepng::encode(file, rgba, unsigned(w), unsigned(h));
    const std::string path = temp_file("atlas.png", std::string(file.begin(), file.end()));
    const bool loaded = load_dashboard(atlas, path.c_str());
    std::remove(path.c_str());
    return loaded;
}

class Ui : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(load_atlas(atlas, 1024, 256, atlas_texel));
        reset_pause_state(pause, screen);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Pixel at column x and row y from the top, 0xRRGGBB.
    uint32_t pixel(int x, int y) {
        uint8_t c[4];
        glReadPixels(x, 479 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
        return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
    }
    Atlas2D atlas;
    PauseState pause;
    Input input;
};

}  // namespace

TEST_F(Ui, TextPanelAndPointerCoverTheirPixelsOnly) {
    draw_text(atlas, screen, "Az~", 100, 50);
    draw_panel(atlas, screen, 100, 100, 280, 10, 1);
    draw_cursor(atlas, screen, 300, 200);
    const struct {
        int x, y;
        uint32_t colour;
    } expected[] = {{100, 55, glyph('A')}, {109, 64, glyph('A')}, {110, 55, glyph('z')}, {129, 64, glyph('~')},
                    {110, 54, 0},          {110, 65, 0},          {99, 60, 0},           {130, 60, 0},
                    {80, 80, piece(1, 0, 0)}, {240, 85, piece(1, 1, 0)}, {399, 80, piece(1, 2, 0)},
                    {85, 105, piece(1, 0, 1)}, {240, 105, piece(1, 1, 1)}, {395, 105, piece(1, 2, 1)},
                    {80, 129, piece(1, 0, 2)}, {240, 125, piece(1, 1, 2)}, {399, 129, piece(1, 2, 2)},
                    {79, 105, 0},          {400, 105, 0},         {240, 79, 0},          {240, 130, 0},
                    {288, 190, pointer},   {327, 249, pointer},   {287, 220, 0},         {300, 250, 0}};
    for (const auto& e : expected) EXPECT_EQ(pixel(e.x, e.y), e.colour) << e.x << "," << e.y;
}

// Opening captures the frame once; later passes redraw it over whatever the
// buffer holds.
TEST_F(Ui, PauseRedrawsTheStillImageCapturedOnOpening) {
    set_ortho_2d(screen);
    glBegin(GL_TRIANGLES);
    glColor3f(1, 0, 0), glVertex2f(0, 0), glColor3f(0, 1, 0), glVertex2f(0, 480);
    glColor3f(0, 0, 1), glVertex2f(640, 0), glColor3f(1, 1, 1);
    glEnd();
    const std::vector<uint8_t> scene = read_window(screen);
    input.key_state[key_escape] = input_pressed;
    for (int pass = 0; pass < 4; ++pass) {
        pause_overlay_step(pause, input, 1.0f);
        EXPECT_TRUE(read_window(screen) == scene) << pass;
        input.key_state[key_escape] = input_held;
        glClearColor(0.3f, 0.1f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
    }
}

TEST_F(Ui, HeldButtonDoesNotClick) {
    pause.pause_open = true;
    pause.pause_fade = 100.0f;
    input.mouse_x = 320, input.mouse_y = 165;  // on "Exit"
    input.mouse_button_state[button_left] = input_held;
    bool quit = false;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_FALSE(quit);
    EXPECT_EQ(pixel(320, 148), piece(1, 1, 0));  // lit under the pointer
    EXPECT_EQ(pixel(320, 98), piece(0, 1, 0));
    input.mouse_button_state[button_left] = input_pressed;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_TRUE(quit);
}

TEST_F(Ui, SmallerAtlasKeepsItsAlpha) {
    auto pattern = [](int x, int y) { return uint32_t(x * 7 & 255) << 24 | uint32_t(y * 5 & 255) << 16 | uint32_t((x ^ y) & 255) << 8 | uint32_t(55 + (x + y) % 200); };
    Atlas2D small;
    ASSERT_TRUE(load_atlas(small, 300, 100, pattern));
    const std::vector<uint8_t> t = texels(small.texture, 0);
    ASSERT_EQ(t.size(), 1024u * 256 * 4);
    for (size_t i = 0; i < t.size(); i += 4) {
        const int x = int(i / 4 % 1024), y = int(i / 4 / 1024);
        const uint32_t got = uint32_t(t[i]) << 24 | uint32_t(t[i + 1]) << 16 | uint32_t(t[i + 2]) << 8 | t[i + 3];
        ASSERT_EQ(x < 300 && y < 100 ? got : t[i + 3], x < 300 && y < 100 ? pattern(x, y) : 0u) << x << "," << y;
    }
}
