// SDL's queue read into per-pass states.
#include "app/read_input.h"
#include "gl_support.h"

// Each row queues presses ('v') and releases ('^') of a key, or of a button
// numbered from 1000, and reads its state at each '.'. 'x' presses symbol
// 501, past the key table, where a write would land on button 1.
TEST(Input, QueuedEventsGiveStatesPerPass) {
    const struct { int code; const char *script, *states; } table[] = {
        {key_w, "v...^.", "2110"}, {key_q, "v^.", "0"}, {key_escape, "v^v.", "0"}, {key_space, "v..^v.", "210"},
        {1000 + button_right, "v..^.", "210"}, {1000 + button_left, "v^.", "0"}, {1000 + button_left, "x.", "0"}};
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    for (const auto& t : table) {
        Input input;
        const bool key = t.code < 1000;
        for (const char *s = t.script, *want = t.states; *s != '\0'; ++s) {
            SDL_Event e{};
            const bool as_key = key || *s == 'x', down = *s != '^';
            e.type = as_key ? (down ? SDL_KEYDOWN : SDL_KEYUP) : (down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
            if (as_key) e.key.keysym.sym = SDLKey(*s == 'x' ? 501 : t.code);
            else e.button.button = Uint8(t.code - 1000);
            if (*s != '.') {
                SDL_PushEvent(&e);
                continue;
            }
            read_input(input, Screen());
            const int32_t state = key ? input.key_state[t.code] : input.mouse_button_state[t.code - 1000];
            EXPECT_EQ(state, *want++ - '0') << t.script;
        }
    }
    SDL_Quit();
}
