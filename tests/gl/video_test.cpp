// The real window set-up under the test's Xvfb (1024 x 768): the size
// obtained, the GL state fixed for the run, and the failures that end a
// start.
#include "app/video.h"
#include "window_support.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

GLint get_int(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

int count_lines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace

TEST(Video, OpensWindowOfAskedSizeWithFixedState) {
    Screen screen;
    ASSERT_EQ(setup_video(windowed(640, 480), screen), 0);
    EXPECT_EQ(screen.width, 640.0f);
    EXPECT_EQ(screen.height, 480.0f);
    EXPECT_EQ(screen.aspect_ratio, 640.0f / 480.0f);
    EXPECT_EQ(screen.field_of_view, 45.0f);
    EXPECT_EQ(screen.bpp, SDL_GetVideoSurface()->format->BitsPerPixel);
    EXPECT_NE(SDL_GetVideoSurface()->flags & SDL_OPENGL, 0u);
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    // gluPerspective(45, 4/3, 1, 1000), left as the projection.
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], f * 480.0 / 640.0, 1e-5);
    EXPECT_NEAR(projection[5], f, 1e-5);
    EXPECT_NEAR(projection[10], -1001.0 / 999.0, 1e-5);
    EXPECT_NEAR(projection[14], -2000.0 / 999.0, 1e-5);
    EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);

    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
    GLfloat depth_clear = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth_clear);
    EXPECT_EQ(depth_clear, 1.0f);

    EXPECT_TRUE(enabled(GL_DEPTH_TEST));
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(enabled(GL_CULL_FACE));
    EXPECT_EQ(get_int(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(get_int(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_ALPHA_TEST_FUNC), GL_GREATER);
    GLfloat alpha_ref = -1;
    glGetFloatv(GL_ALPHA_TEST_REF, &alpha_ref);
    EXPECT_EQ(alpha_ref, 0.0f);

    // Switched on and off around what needs them, never left on here.
    EXPECT_FALSE(enabled(GL_BLEND));
    EXPECT_FALSE(enabled(GL_ALPHA_TEST));
    EXPECT_FALSE(enabled(GL_TEXTURE_2D));
    EXPECT_FALSE(enabled(GL_FOG));
    EXPECT_FALSE(enabled(GL_LIGHTING));

    // Antialiasing off: no multisample buffer asked for, no smoothing state.
    // (GL_MULTISAMPLE is on by GL's default and idle without the buffer.)
    EXPECT_EQ(get_int(GL_SAMPLE_BUFFERS), 0);
    EXPECT_FALSE(enabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(enabled(GL_POLYGON_SMOOTH));
    EXPECT_EQ(get_int(GL_LINE_SMOOTH_HINT), GL_DONT_CARE);

    // The system pointer is hidden unless asked for.
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SDL_Quit();
}

TEST(Video, AntialiasingAsksForMultisamplingAndSmoothing) {
    Settings settings = windowed(320, 240);
    settings.antialiasing = true;
    settings.show_cursor = true;
    Screen screen;
    ASSERT_EQ(setup_video(settings, screen), 0);
    // This display offers 4-sample visuals, so the first request is granted.
    EXPECT_EQ(get_int(GL_SAMPLE_BUFFERS), 1);
    EXPECT_EQ(get_int(GL_SAMPLES), 4);
    EXPECT_TRUE(enabled(GL_MULTISAMPLE));
    EXPECT_TRUE(enabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(enabled(GL_POLYGON_SMOOTH));
    EXPECT_EQ(get_int(GL_LINE_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(get_int(GL_POLYGON_SMOOTH_HINT), GL_NICEST);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    SDL_Quit();
}

TEST(Video, ZeroSizeTakesTheDesktopSize) {
    Screen screen;
    ASSERT_EQ(setup_video(windowed(0, 0), screen), 0);
    EXPECT_EQ(screen.width, 1024.0f);
    EXPECT_EQ(screen.height, 768.0f);
    EXPECT_EQ(screen.aspect_ratio, 1024.0f / 768.0f);
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    SDL_Quit();
}

TEST(Video, OneZeroDimensionTakesOnlyThatOneFromTheDesktop) {
    Screen screen;
    ASSERT_EQ(setup_video(windowed(800, 0), screen), 0);
    EXPECT_EQ(screen.width, 800.0f);
    EXPECT_EQ(screen.height, 768.0f);
    EXPECT_EQ(screen.aspect_ratio, 800.0f / 768.0f);
    SDL_Quit();
}

TEST(Video, FullScreenOfAnOfferedSize) {
    Settings settings = windowed(1024, 768);
    settings.fullscreen = true;
    Screen screen;
    ASSERT_EQ(setup_video(settings, screen), 0);
    EXPECT_NE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(screen.width, 1024.0f);
    EXPECT_EQ(screen.height, 768.0f);
    SDL_Quit();
}

TEST(Video, FullScreenSizeTheDisplayLacksFailsWithThree) {
    Settings settings = windowed(4096, 4096);
    settings.fullscreen = true;
    settings.antialiasing = true;  // the retry without it must fail the same way
    Screen screen;
    testing::internal::CaptureStderr();
    int code = setup_video(settings, screen);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, exit_video_failed);
    EXPECT_EQ(count_lines(said), 1) << said;
    EXPECT_NE(said.find("No video mode large enough for 4096x4096"), std::string::npos) << said;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST(Video, NoDisplayFailsWithOne) {
    std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    Screen screen;
    testing::internal::CaptureStderr();
    int code = setup_video(windowed(640, 480), screen);
    std::string said = testing::internal::GetCapturedStderr();
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(code, exit_sdl_failed);
    EXPECT_EQ(count_lines(said), 1) << said;
    EXPECT_EQ(said.rfind("quillmoor: ", 0), 0u) << said;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}
