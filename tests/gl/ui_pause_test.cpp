#include "app/pause.h"
#include "render/dashboard.h"
#include "ui_gl_support.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

using namespace ui_test;

namespace {

class PauseWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(open_window(screen, 640, 480));
        ASSERT_TRUE(load_test_atlas(atlas));
        reset_pause_state(pause, screen);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { SDL_Quit(); }

    // A scene with many colours: smoothly shaded triangles over the window.
    void draw_scene() {
        set_ortho_2d(screen);
        glBegin(GL_TRIANGLES);
        glColor3f(1, 0, 0);
        glVertex2f(0, 0);
        glColor3f(0, 1, 0);
        glVertex2f(0, 480);
        glColor3f(0, 0, 1);
        glVertex2f(640, 0);
        glColor3f(1, 1, 0);
        glVertex2f(640, 480);
        glColor3f(0, 1, 1);
        glVertex2f(640, 0);
        glColor3f(1, 0, 1);
        glVertex2f(0, 480);
        glEnd();
        glColor3f(1, 1, 1);
    }

    Screen screen;
    Atlas2D atlas;
    PauseState pause;
    Input input;
};

}  // namespace

TEST_F(PauseWindow, StillImageIsCapturedOnceAndRedrawnUnchanged) {
    ASSERT_EQ(pause.frame_width, 640);
    ASSERT_EQ(pause.frame_height, 480);
    draw_scene();
    const std::vector<unsigned char> scene = read_window(screen);

    input.key_state[key_escape] = input_pressed;
    pause_overlay_step(pause, input, 1.0f);
    EXPECT_EQ(pause.pause_fade, 5.0f);
    // The buffer holds the scene bottom row first.
    const size_t row = 640 * 4;
    for (int y = 0; y < 480; ++y) {
        ASSERT_EQ(std::memcmp(&pause.frozen_frame[row * (479 - y)], &scene[row * y], row), 0)
            << "row " << y;
    }

    // Frozen passes: whatever the buffer held is replaced by the still image,
    // whatever state a careless caller left.
    input.key_state[key_escape] = input_held;
    for (int pass = 0; pass < 3; ++pass) {
        glClearColor(0.3f, 0.1f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_BLEND);
        pause_overlay_step(pause, input, 1.0f);
        ASSERT_TRUE(read_window(screen) == scene) << "pass " << pass;
    }
    glClearColor(0, 0, 0, 1);

    // Close and reopen while sliding out: the old image stays.
    input.key_state[key_escape] = input_pressed;
    pause_overlay_step(pause, input, 1.0f);  // closing from 20
    glClear(GL_COLOR_BUFFER_BIT);
    pause_overlay_step(pause, input, 1.0f);  // reopened at 15: no capture, redraw
    EXPECT_TRUE(pause.pause_open);
    EXPECT_TRUE(read_window(screen) == scene);
}

TEST_F(PauseWindow, MenuButtonsHoverAndClick) {
    pause.pause_open = true;
    pause.pause_fade = 100.0f;
    bool quit = false;
    // Button centres at y = 240 - 125 = 115, 165 and 215, x = 320.
    input.mouse_x = 320;
    input.mouse_y = 165;
    input.mouse_button_state[button_left] = input_held;  // held from before: no click
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_FALSE(quit);
    EXPECT_TRUE(pause.pause_open);
    // "Exit" is highlighted, the others are not.
    EXPECT_EQ(read_pixel(screen, 320, 165 - 7 - 10), piece_colour(1, 1, 0));
    EXPECT_EQ(read_pixel(screen, 320, 115 - 7 - 10), piece_colour(0, 1, 0));
    EXPECT_EQ(read_pixel(screen, 320, 215 + 8 + 10), piece_colour(0, 1, 2));
    // "Exit" is centred: its 'E' art starts at 320 - 20 - 5 + 5.
    EXPECT_EQ(read_pixel(screen, 300, 165 - 10 + 5), glyph_colour('E' - 32));

    input.mouse_button_state[button_left] = input_pressed;
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_TRUE(quit);

    quit = false;
    input.mouse_y = 115 - 7 - 13;  // 13 pixels above "Resume game" still counts
    draw_pause_menu(pause, input, atlas, screen, quit);
    EXPECT_FALSE(pause.pause_open);
    EXPECT_FALSE(quit);
}

TEST_F(PauseWindow, SaveScreenshotWritesTheStillImageToTheWorkingDirectory) {
    draw_scene();
    input.key_state[key_escape] = input_pressed;
    pause_overlay_step(pause, input, 1.0f);
    input.key_state[key_escape] = input_held;
    for (int i = 0; i < 19; ++i) pause_overlay_step(pause, input, 1.0f);
    ASSERT_EQ(pause.pause_fade, 100.0f);

    char old_dir[4096];
    ASSERT_NE(getcwd(old_dir, sizeof old_dir), nullptr);
    char dir[] = "/tmp/quill_menu_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(chdir(dir), 0);

    bool quit = false;
    input.mouse_x = 320;
    input.mouse_y = 215;
    input.mouse_button_state[button_left] = input_pressed;
    draw_dashboard(atlas, screen, pause.pause_fade, "Quillmoor", 0.1f, "date", "clock");
    draw_pause_menu(pause, input, atlas, screen, quit);
    draw_pause_menu(pause, input, atlas, screen, quit);  // a second pass, a second file

    std::vector<unsigned char> first, second;
    unsigned w = 0, h = 0;
    const unsigned error1 = lodepng::decode(first, w, h, "screenshot1.png", LCT_RGBA, 8);
    const unsigned error2 = lodepng::decode(second, w, h, "screenshot2.png", LCT_RGBA, 8);
    std::remove("screenshot1.png");
    std::remove("screenshot2.png");
    ASSERT_EQ(chdir(old_dir), 0);
    rmdir(dir);

    ASSERT_EQ(error1, 0u);
    ASSERT_EQ(error2, 0u);
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);
    // The picture is the scene as captured, upright, without menu or bars.
    std::vector<unsigned char> expected(pause.frozen_frame.get(),
                                        pause.frozen_frame.get() + 640 * 480 * 4);
    const size_t row = 640 * 4;
    for (int y = 0; y < 480; ++y) {
        for (size_t i = 0; i < row; ++i) {
            const unsigned char want = (i % 4 == 3) ? 255 : expected[row * (479 - y) + i];
            ASSERT_EQ(first[row * y + i], want) << "row " << y << " byte " << i;
        }
    }
    EXPECT_TRUE(first == second);
}
