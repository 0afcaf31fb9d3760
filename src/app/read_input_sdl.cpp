#include "app/read_input.h"

#include <SDL.h>

namespace {

void age_presses(int32_t* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] == input_pressed) states[i] = input_held;
    }
}

// Takes every queued event of one type out of SDL's queue, one at a time.
template <typename Apply>
void take_events(Uint8 type, Apply apply) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_EVENTMASK(type)) > 0) apply(event);
}

void set_key(Input& input, const SDL_Event& event, int32_t state) {
    int sym = static_cast<int>(event.key.keysym.sym);
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
    input.mouse_in_window = (SDL_GetAppState() & SDL_APPMOUSEFOCUS) != 0;
}

bool discard_unread_events() {
    bool quit = false;
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (event.type == SDL_QUIT) quit = true;
    }
    return quit;
}
