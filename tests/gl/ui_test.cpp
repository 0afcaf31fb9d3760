// The 2D layer and the pause screen, drawn with an atlas of known colours.
#include "app/pause.h"
#include "gl_support.h"
#include "render/dashboard.h"

#include <cmath>

// Colour (0xRRGGBB) of each 20 x 20 cell of the test atlas.
static uint32_t cell(int column, int row) { return uint32_t(column * 4) << 16 | uint32_t(row * 16) << 8 | 90; }
static uint32_t glyph(char c) { return cell((c - 32) % 32, (c - 32) / 32); }
static uint32_t piece(int style, int column, int row) { return cell(3 * style + column, 3 + row); }

struct Ui : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        // Glyph cells, the top three rows, are clear but for their middle 10 x 10.
        std::vector<uint8_t> rgba;
        for (int i = 0, x = 0, y = 0; i < 1024 * 256; ++i, x = i % 1024, y = i / 1024) {
            const bool clear = y < 60 && (std::abs(x % 20 - 9.5) > 5 || std::abs(y % 20 - 9.5) > 5);
            rgba.insert(rgba.end(), {uint8_t(x / 20 * 4), uint8_t(y / 20 * 16), 90, uint8_t(clear ? 0 : 255)});
        }
        ASSERT_TRUE(load(atlas, rgba, 1024, 256));
        reset_pause_state(pause, screen);
    }
    bool load(Atlas2D& a, const std::vector<uint8_t>& rgba, int w, int h) {
        const std::string path = temp_file("atlas.png", png(rgba, w, h));
        const bool loaded = load_dashboard(a, path.c_str());
        std::remove(path.c_str());
        return loaded;
    }
    // Pixel (0xRRGGBB) at column x and row y from the top.
    uint32_t pixel(int x, int y) {
        const std::vector<uint8_t> c = read_pixels(x, 479 - y, 1, 1);
        return uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
    }
    Atlas2D atlas;
    PauseState pause;
    Input input;
};

TEST_F(Ui, TextPanelAndPointerCoverTheirPixelsOnly) {
    draw_text(atlas, screen, "Az~", 100, 50);
    draw_panel(atlas, screen, 100, 100, 280, 10, 1);
    draw_cursor(atlas, screen, 300, 200);
    const uint32_t expected[][3] = {
        {100, 55, glyph('A')}, {109, 64, glyph('A')}, {110, 55, glyph('z')}, {129, 64, glyph('~')}, {110, 54, 0}, {110, 65, 0},
        {99, 60, 0}, {130, 60, 0}, {80, 80, piece(1, 0, 0)}, {240, 85, piece(1, 1, 0)}, {399, 80, piece(1, 2, 0)},
        {85, 105, piece(1, 0, 1)}, {240, 105, piece(1, 1, 1)}, {395, 105, piece(1, 2, 1)}, {80, 129, piece(1, 0, 2)},
        {240, 125, piece(1, 1, 2)}, {399, 129, piece(1, 2, 2)}, {79, 105, 0}, {400, 105, 0}, {240, 79, 0}, {240, 130, 0},
        {288, 190, cell(22, 3)}, {327, 249, cell(23, 5)}, {287, 220, 0}, {300, 250, 0}};
    for (const uint32_t* e : expected) EXPECT_EQ(pixel(int(e[0]), int(e[1])), e[2]) << e[0] << "," << e[1];
}

// Opening captures the frame once; later passes redraw it over whatever the
// buffer holds.
TEST_F(Ui, PauseRedrawsTheStillImageCapturedOnOpening) {
    set_ortho_2d(screen);
    glBegin(GL_TRIANGLES);
    glColor3f(1, 0, 0), glVertex2f(0, 0), glColor3f(0, 1, 0), glVertex2f(0, 480), glColor3f(0, 0, 1), glVertex2f(640, 0);
    glEnd();
    const std::vector<uint8_t> scene = read_pixels(0, 0);
    // Open, stay, then close and reopen while the menu slides out.
    for (int32_t escape : {input_pressed, input_held, input_held, input_pressed, input_pressed}) {
        input.key_state[key_escape] = escape;
        pause_overlay_step(pause, input, 1.0f);
        EXPECT_TRUE(read_pixels(0, 0) == scene) << pause.pause_fade;
        glClearColor(0.3f, 0.1f, 0.9f, 1), glClear(GL_COLOR_BUFFER_BIT), glClearColor(0, 0, 0, 1);
    }
}

TEST_F(Ui, HeldButtonDoesNotClick) {
    pause.pause_open = true, pause.pause_fade = 100;
    input.mouse_x = 320, input.mouse_y = 165;  // on "Exit"
    input.mouse_button_state[button_left] = input_held;
    bool quit = false;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_EQ(std::vector<uint32_t>({quit, pixel(320, 148), pixel(320, 98)}), std::vector<uint32_t>({0, piece(1, 1, 0), piece(0, 1, 0)}));
    input.mouse_button_state[button_left] = input_pressed;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_TRUE(quit);
}

// A smaller image keeps its alpha and leaves the rest clear; a larger one is cut.
TEST_F(Ui, AtlasImageKeepsItsAlphaAndIsCutToTheAtlas) {
    for (const size_t w : {300, 1100}) {
        std::vector<uint8_t> image(w * w / 3 * 4);
        for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i % 4 == 3 ? 10 + i / 4 % 240 : i * 7 / 3);
        Atlas2D a;
        ASSERT_TRUE(load(a, image, int(w), int(w / 3)));
        const std::vector<uint8_t> t = texels(a.texture, 0);
        ASSERT_EQ(t.size(), 1024u * 256 * 4);
        for (size_t i = 0; i < t.size(); ++i) {
            const size_t x = i / 4 % 1024, y = i / 4 / 1024;
            ASSERT_EQ(t[i], x < w && y < w / 3 ? image[(y * w + x) * 4 + i % 4] : i % 4 == 3 ? 0 : t[i]) << w << ": " << x << "," << y;
        }
    }
}
