// read_input for the browser. Emscripten's SDL follows the later SDL
// interface: events are taken by a range of types rather than a mask, and
// keys without a character (the arrows) come as their scan code plus 1024
// rather than as SDL 1.2's symbols, which the game's tables use. Pads come
// from the browser's Gamepad API through its SDL, read as they stand each
// pass, and the touch controls from the page.
#include "app/read_input.h"

#include <SDL.h>
#include <emscripten.h>

#include <algorithm>

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

// The Gamepad API's standard pad: the right stick on axes 2 and 3, the
// triggers as buttons 6 and 7, start as 9 and the d-pad as 12 to 15.
constexpr PadLayout web_pad = {0, 1, 2, 3, {-1, -1}, 0, 2, 4, 5, 9, {6, 7}, 12};

void read_pad(PadState& pad) {
    // The browser's SDL asks navigator.getGamepads() at every call; a pad
    // pulled out leaves an empty slot, which has no name.
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

constexpr int touch_fields = 6;

}  // namespace

// The page keeps its touch controls in Module.quillTouch (index.html), one
// record each in the order of TouchControl; copied here as fields floats each.
EM_JS(void, copy_page_touch, (float* out, int count, int fields), {
    const controls = Module.quillTouch || [];
    for (let i = 0; i < count; i++) {
        const c = controls[i] || {};
        const at = (out >> 2) + fields * i;
        const values = [c.down ? 1 : 0, (c.count >>> 0) % 16777216, c.x, c.y, c.startX, c.startY];
        values.forEach((v, k) => { HEAPF32[at + k] = Number(v) || 0; });
    }
});

namespace {

void read_touch(TouchPoint* touch) {
    float values[touch_control_count][touch_fields] = {};
    copy_page_touch(&values[0][0], touch_control_count, touch_fields);
    for (int i = 0; i < touch_control_count; ++i) {
        const float* v = values[i];
        touch[i].press.down = v[0] != 0.0f;
        touch[i].press.count = static_cast<uint32_t>(v[1]);
        touch[i].x = v[2], touch[i].y = v[3], touch[i].start_x = v[4], touch[i].start_y = v[5];
    }
}

}  // namespace

void open_pads(Controls& controls) {
    controls.layout = web_pad;
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
}

void read_controls(Controls& controls, const Screen& screen) {
    read_input(controls.device, screen);
    read_pad(controls.pad);
    read_touch(controls.touch);
}

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
