// The window as setup_video opens it, and SDL's queue read into per-pass
// key and button states.
#include "app/read_input.h"
#include "gl_support.h"

TEST(Video, WindowSizesAndAntialiasing) {
    const struct {
        int width, height;
        bool fullscreen, antialiasing;
        int want_width, want_height;
    } table[] = {{640, 480, false, false, 640, 480}, {0, 0, false, true, 1024, 768},
                 {800, 0, false, false, 800, 768},   {1024, 768, true, false, 1024, 768}};
    for (const auto& t : table) {
        Screen screen;
        ASSERT_TRUE(open_window(screen, t.width, t.height, t.fullscreen, t.antialiasing));
        const SDL_Surface* surface = SDL_GetVideoSurface();
        GLint viewport[4], sample_buffers = -1;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_SAMPLE_BUFFERS, &sample_buffers);
        EXPECT_EQ(surface->w, t.want_width) << t.width;
        EXPECT_EQ(surface->h, t.want_height) << t.width;
        EXPECT_EQ(viewport[2] * 10000 + viewport[3], t.want_width * 10000 + t.want_height) << t.width;
        EXPECT_EQ(screen.width * 10000 + screen.height, float(t.want_width * 10000 + t.want_height)) << t.width;
        EXPECT_EQ(screen.aspect_ratio, float(t.want_width) / float(t.want_height)) << t.width;
        EXPECT_EQ((surface->flags & SDL_FULLSCREEN) != 0, t.fullscreen) << t.width;
        EXPECT_EQ(sample_buffers, t.antialiasing ? 1 : 0) << t.width;
        SDL_Quit();
    }
}

// Each row queues events for one key or button ('v' down, '^' up; buttons
// are 1000 + their number) and reads the state at each '.'.
TEST(Input, QueuedEventsGiveStatesPerPass) {
    const struct {
        int code;
        const char* script;
        const char* states;
    } table[] = {{key_w, "v...^.", "2110"},        {key_q, "v^.", "0"},
                 {key_escape, "v^v.", "0"},        {key_space, "v..^v.", "210"},
                 {key_up, "v.^.", "20"},           {1000 + button_right, "v..^.", "210"},
                 {1000 + button_left, "v^.", "0"}, {1000 + button_middle, "v.^v.", "20"}};
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const Screen screen;
    for (const auto& t : table) {
        Input input;
        const char* want = t.states;
        for (const char* s = t.script; *s != '\0'; ++s) {
            SDL_Event e{};
            const bool down = *s == 'v';
            if (*s == '.') {
                read_input(input, screen);
                const int32_t got = t.code < 1000 ? input.key_state[t.code] : input.mouse_button_state[t.code - 1000];
                EXPECT_EQ(got, *want++ - '0') << t.script << " of " << t.code;
                continue;
            }
            if (t.code < 1000) {
                e.type = e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
                e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
                e.key.keysym.sym = SDLKey(t.code);
            } else {
                e.type = e.button.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
                e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
                e.button.button = Uint8(t.code - 1000);
            }
            ASSERT_EQ(SDL_PushEvent(&e), 0);
        }
    }
    SDL_Quit();
}
