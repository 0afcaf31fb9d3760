// The pause screen, drawn with an atlas of known colours.
#include "app/pause.h"
#include "gl_support.h"
#include "render/dashboard.h"

// The test atlas gives each 20 x 20 cell one colour. Here, as read back, is
// that of a panel's nine-slice piece in a style.
static std::vector<uint8_t> piece(int style, int column, int row) {
    return {uint8_t((3 * style + column) * 4), uint8_t((3 + row) * 16), 90, 255};
}

struct Ui : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        std::vector<uint8_t> art;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 1024; ++x) art.insert(art.end(), {uint8_t(x / 20 * 4), uint8_t(y / 20 * 16), 90, 255});
        const std::string path = temp_file("atlas.png", png(art, 1024, 256));
        ASSERT_TRUE(load_dashboard(atlas, path.c_str()));
        std::remove(path.c_str());
        reset_pause_state(pause, screen);
    }
    Atlas2D atlas;
    PauseState pause;
    Input input;
};

// Opening captures the frame once; later passes redraw it over whatever the
// buffer holds.
TEST_F(Ui, PauseRedrawsTheStillImageCapturedOnOpening) {
    set_ortho_2d(screen);
    const float corners[] = {1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 480, 0, 0, 0, 1, 640, 0, 0};  // colour, then x, y and z
    glInterleavedArrays(GL_C3F_V3F, 0, corners);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    const std::vector<uint8_t> scene = read_pixels(0, 0);
    glClearColor(0.3f, 0.1f, 0.9f, 1);
    // Open, stay, then close and reopen while the menu slides out.
    for (int32_t escape : {input_pressed, input_held, input_held, input_pressed, input_pressed}) {
        input.key_state[key_escape] = escape;
        pause_overlay_step(pause, input, 1.0f);
        EXPECT_TRUE(read_pixels(0, 0) == scene) << pause.pause_fade;
        glClear(GL_COLOR_BUFFER_BIT);
    }
}

TEST_F(Ui, HeldButtonDoesNotClick) {
    pause.pause_open = true;
    pause.pause_fade = 100;
    input.mouse_x = 320;
    input.mouse_y = 165;  // on "Exit"
    input.mouse_button_state[button_left] = input_held;
    bool quit = false;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_FALSE(quit);
    // The top edge of "Exit", hovered, and of the button above it, each in its style (rows from the bottom).
    EXPECT_EQ(read_pixels(320, 479 - 148, 1, 1), piece(1, 1, 0));
    EXPECT_EQ(read_pixels(320, 479 - 98, 1, 1), piece(0, 1, 0));
    input.mouse_button_state[button_left] = input_pressed;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_TRUE(quit);
}
