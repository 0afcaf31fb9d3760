// The per-pass input record: key and mouse-button states and the pointer.
// The platform layer fills it once per pass; the simulation and the menus
// read nothing else, so a run can be replayed from its inputs.
#pragma once

#include <cstdint>

// States of a key or button.
constexpr int32_t input_up = 0;
constexpr int32_t input_held = 1;     // pressed in an earlier pass, not released
constexpr int32_t input_pressed = 2;  // the press was taken in this pass

// Key symbols the game reads (the values of SDL 1.2's SDLKey).
constexpr int key_space = 32;
constexpr int key_escape = 27;
constexpr int key_a = 97;
constexpr int key_d = 100;
constexpr int key_e = 101;
constexpr int key_q = 113;
constexpr int key_s = 115;
constexpr int key_w = 119;
constexpr int key_up = 273;
constexpr int key_down = 274;
constexpr int key_right = 275;
constexpr int key_left = 276;

constexpr int button_left = 1;
constexpr int button_middle = 2;
constexpr int button_right = 3;

constexpr int key_table_size = 500;
constexpr int button_table_size = 10;

struct Input {
    int32_t key_state[key_table_size] = {};
    int32_t mouse_button_state[button_table_size] = {};
    int32_t mouse_x = 0, mouse_y = 0;  // window pixels, origin top left
    bool mouse_in_window = false;      // refreshed at the end of each pass
    // Size of the window the pointer is measured in (pixels).
    float view_width = 0.0f, view_height = 0.0f;
};

// True when the key is held or was pressed in this pass.
inline bool key_is_down(const Input& in, int key) { return in.key_state[key] != input_up; }
