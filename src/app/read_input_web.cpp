// read_input for the browser. Emscripten's SDL follows the later SDL
// interface: events are taken by a range of types rather than a mask, and
// keys without a character (the arrows) come as their scan code plus 1024
// rather than as SDL 1.2's symbols, which the game's tables use.
#include "app/read_input.h"

#include <SDL.h>
#include <emscripten.h>

namespace {

constexpr int scan_code_flag = 1 << 10;

// SDL 1.2's symbol for a key as the browser's SDL names it, or -1.
int classic_symbol(int sym) {
    if ((sym & scan_code_flag) == 0) return sym;
    switch (sym & ~scan_code_flag) {
        case 79: return key_right;
        case 80: return key_left;
        case 81: return key_down;
        case 82: return key_up;
        default: return -1;
    }
}

void age_presses(int32_t* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] == input_pressed) states[i] = input_held;
    }
}

template <typename Apply>
void take_events(Uint32 type, Apply apply) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, type, type) > 0) apply(event);
}

void set_key(Input& input, const SDL_Event& event, int32_t state) {
    int sym = classic_symbol(static_cast<int>(event.key.keysym.sym));
    if (sym >= 0 && sym < key_table_size) input.key_state[sym] = state;
}

void set_button(Input& input, const SDL_Event& event, int32_t state) {
    int button = event.button.button;
    if (button < button_table_size) input.mouse_button_state[button] = state;
}

}  // namespace

void read_input(Input& input, const Screen& screen) {
    age_presses(input.key_state, key_table_size);
    take_events(SDL_KEYDOWN, [&](const SDL_Event& e) { set_key(input, e, input_pressed); });
    take_events(SDL_KEYUP, [&](const SDL_Event& e) { set_key(input, e, input_up); });

    age_presses(input.mouse_button_state, button_table_size);
    take_events(SDL_MOUSEBUTTONDOWN,
                [&](const SDL_Event& e) { set_button(input, e, input_pressed); });
    take_events(SDL_MOUSEBUTTONUP, [&](const SDL_Event& e) { set_button(input, e, input_up); });

    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    input.mouse_x = x;
    input.mouse_y = y;
    input.view_width = screen.width;
    input.view_height = screen.height;
}

void refresh_mouse_focus(Input& input) {
    // The browser's SDL reports mouse focus only under pointer lock; the
    // page knows whether the pointer is over the canvas.
    input.mouse_in_window = EM_ASM_INT({ return Module.canvas.matches(':hover') ? 1 : 0; }) != 0;
}

bool discard_unread_events() {
    bool quit = false;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (event.type == SDL_QUIT) quit = true;
    }
    return quit;
}
