#include "app/read_input.h"

#include "app/host.h"
#include "app/platform.h"

#include <SDL.h>

#include <algorithm>

namespace {

// Takes the first queued event whose type is first..last. SDL 1.2 picks the
// types by a mask; the browser's SDL, like later SDLs, by the range.
#ifdef __EMSCRIPTEN__
constexpr Uint32 last_event_type = SDL_LASTEVENT;
bool take_event(SDL_Event& event, Uint32 first, Uint32 last) {
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, first, last) > 0;
}
#else
constexpr Uint32 last_event_type = SDL_NUMEVENTS - 1;
bool take_event(SDL_Event& event, Uint32 first, Uint32 last) {
    // Bits first..last; the carry out of bit 31 wraps to 0, so last may be 31.
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, ((1u << last) << 1) - (1u << first)) > 0;
}
#endif

// Takes every queued event of one type out of SDL's queue, one at a time.
template <typename Apply>
void take_events(Uint32 type, Apply apply) {
    SDL_Event event;
    while (take_event(event, type, type)) apply(event);
}

void age_presses(int32_t* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] == input_pressed) states[i] = input_held;
    }
}

// The browser's SDL gives a key without a character (an arrow) as its scan
// code plus 1024, as later SDLs do; the tables use SDL 1.2's symbols, which
// stay below 1024. -1 for a key the game has no symbol for.
int classic_symbol(int sym) {
    constexpr int scan_code_flag = 1 << 10;
    if ((sym & scan_code_flag) == 0) return sym;
    switch (sym & ~scan_code_flag) {
        case 79: return key_right;
        case 80: return key_left;
        case 81: return key_down;
        case 82: return key_up;
        default: return -1;
    }
}

void set_key(Input& input, const SDL_Event& event, int32_t state) {
    int sym = classic_symbol(static_cast<int>(event.key.keysym.sym));
    if (sym >= 0 && sym < key_table_size) input.key_state[sym] = state;
}

void set_button(Input& input, const SDL_Event& event, int32_t state) {
    int button = event.button.button;
    if (button < button_table_size) input.mouse_button_state[button] = state;
}

// A pad that queues its changes: every event of the first pad, in the order
// they came (a release and a press between two passes must stay in order).
void take_pad_events(PadState& pad) {
    SDL_Event e;
    while (take_event(e, SDL_JOYAXISMOTION, SDL_JOYBUTTONUP)) {
        // Every joystick event has which in one place; no pad has a ball.
        if (e.jaxis.which != 0 || e.type == SDL_JOYBALLMOTION) continue;
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
}

// A pad read as it stands. The browser's SDL asks navigator.getGamepads() at
// every call; a pad pulled out leaves an empty slot, which has no name.
void poll_pad(PadState& pad) {
    pad.present = SDL_NumJoysticks() > 0 && SDL_JoystickName(0) != nullptr;
    if (!pad.present) return;
    SDL_Joystick* joystick = SDL_JoystickOpen(0);  // the same handle every time
    const int axes = std::min(SDL_JoystickNumAxes(joystick), pad_axis_count);
    for (int a = 0; a < axes; ++a) pad.axis[a] = SDL_JoystickGetAxis(joystick, a) / 32768.0f;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), pad_button_count);
    for (int b = 0; b < buttons; ++b) {
        Press& press = pad.button[b];
        const bool down = SDL_JoystickGetButton(joystick, b) != 0;
        if (down && !press.down) ++press.count;
        press.down = down;
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
    controls.layout = platform_pad_layout;
    // A polled pad is opened as it is read.
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0 || platform_polls_pads) return;
    if (SDL_NumJoysticks() < 1) return;
    if (SDL_JoystickOpen(0) != nullptr) controls.pad.present = true;
    SDL_JoystickEventState(SDL_ENABLE);
}

void read_controls(Controls& controls, const Screen& screen) {
    read_input(controls.device, screen);
    if (platform_polls_pads) {
        poll_pad(controls.pad);
    } else {
        take_pad_events(controls.pad);
    }
    host_read_touch(controls.touch);
}

void refresh_mouse_focus(Input& input) {
    input.mouse_in_window = host_has_pointer();
}

bool discard_unread_events() {
    bool quit = false;
    SDL_Event event;
    while (take_event(event, 0, last_event_type)) {
        if (event.type == SDL_QUIT) quit = true;
    }
    return quit;
}
