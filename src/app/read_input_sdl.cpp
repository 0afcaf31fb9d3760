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

// A standard pad as SDL 1.2 numbers it: on Linux the kernel's order (the
// right stick on axes 3 and 4, the triggers on 2 and 5, resting at -1); on
// Windows the driver's (the right stick's x on axis 4 and y on 3, both
// triggers on axis 2). The face buttons, shoulders and start are numbered
// alike on both, and the d-pad is the hat.
#ifdef _WIN32
constexpr PadLayout desktop_pad = {0, 1, 4, 3, {2, -1}, 0, 2, 4, 5, 7, {-1, -1}, -1};
#else
constexpr PadLayout desktop_pad = {0, 1, 3, 4, {2, 5}, 0, 2, 4, 5, 7, {-1, -1}, -1};
#endif

void apply_pad_event(PadState& pad, const SDL_Event& e) {
    if (e.jaxis.which != 0) return;  // the first pad alone: every joystick event has which in one place
    pad.present = true;
    if (e.type == SDL_JOYAXISMOTION) {
        if (e.jaxis.axis < pad_axis_count) pad.axis[e.jaxis.axis] = e.jaxis.value / 32768.0f;
    } else if (e.type == SDL_JOYHATMOTION) {
        if (e.jhat.hat == 0) pad.hat = e.jhat.value;
    } else if (e.jbutton.button < pad_button_count) {
        Press& press = pad.button[e.jbutton.button];
        press.down = e.type == SDL_JOYBUTTONDOWN;
        if (press.down) ++press.count;
    }
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

void open_pads(Controls& controls) {
    controls.layout = desktop_pad;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0 || SDL_NumJoysticks() < 1) return;
    if (SDL_JoystickOpen(0) != nullptr) controls.pad.present = true;
    SDL_JoystickEventState(SDL_ENABLE);
}

void read_controls(Controls& controls, const Screen& screen) {
    read_input(controls.device, screen);
    SDL_Event event;
    const Uint32 pad_events = SDL_EVENTMASK(SDL_JOYAXISMOTION) | SDL_EVENTMASK(SDL_JOYHATMOTION) |
                              SDL_EVENTMASK(SDL_JOYBUTTONDOWN) | SDL_EVENTMASK(SDL_JOYBUTTONUP);
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, pad_events) > 0) apply_pad_event(controls.pad, event);
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
