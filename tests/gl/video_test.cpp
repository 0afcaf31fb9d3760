#include "app/video.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

// The real set-up code opens a window of the asked size and leaves the fixed
// GL state in place.
TEST(Video, OpensWindowOfAskedSizeWithFixedState) {
    Settings settings;
    settings.screen_width = 640;
    settings.screen_height = 480;
    settings.aspect_ratio = 640.0f / 480.0f;
    Screen screen;
    ASSERT_EQ(setup_video(settings, screen), 0);
    EXPECT_EQ(screen.width, 640.0f);
    EXPECT_EQ(screen.height, 480.0f);
    EXPECT_FLOAT_EQ(screen.aspect_ratio, 640.0f / 480.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    GLint depth_func = 0, front = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_EQ(depth_func, GL_LESS);
    EXPECT_EQ(front, GL_CCW);
    SDL_Quit();
}
