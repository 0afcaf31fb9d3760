// Gamepads and touch controls beside the keyboard and mouse. The platform's
// readers keep each source's state in one Controls record; compose_input
// folds them into the Input the game reads, as the keys, buttons and pointer
// a keyboard and mouse would give, so nothing past it learns where an input
// came from. With no pad and no touch, that Input is the keyboard's and
// mouse's exactly.
#pragma once

#include "sim/input.h"

#include <cstdint>

// A pad button or a touch control as its source reports it: down now, and
// how many presses it has had in all, so that a press released before the
// next pass still counts for one pass.
struct Press {
    bool down = false;
    uint32_t count = 0;
};

constexpr int pad_axis_count = 8;
constexpr int pad_button_count = 16;

// A pad in the platform's own numbering.
struct PadState {
    bool present = false;  // plugged in; when false nothing else here counts
    float axis[pad_axis_count] = {};  // -1..1, y growing downwards
    Press button[pad_button_count];
    int hat = 0;  // the d-pad as SDL's hat bits: 1 up, 2 right, 4 down, 8 left
};

// Which of a platform's axes and buttons do what; -1 where it has none.
struct PadLayout {
    int walk_x, walk_y, steer_x, steer_y;  // the sticks' axes
    int head_axis[2];                      // triggers read as axes: head view past 0.5
    int jump, use, previous, next, menu;   // buttons
    int head_button[2];                    // triggers read as buttons
    int dpad_up;  // first of four d-pad buttons (up, down, left, right); -1: the hat
};

// The controls a touch screen lays over the game, in the page's order.
enum TouchControl {
    touch_walk, touch_look, touch_use, touch_jump, touch_previous, touch_next, touch_head,
    touch_menu, touch_control_count
};

struct TouchPoint {
    Press press;
    // walk: the stick's offset, -1..1 each way. look: where the finger is
    // and where it came down, in window pixels. Both kept after it lifts.
    float x = 0.0f, y = 0.0f, start_x = 0.0f, start_y = 0.0f;
};

struct Controls {
    Input device;  // the keyboard and mouse, as read_input fills it
    PadState pad;
    PadLayout layout{};
    TouchPoint touch[touch_control_count];
    // compose_input's own, carried between passes.
    uint32_t pad_seen[pad_button_count] = {}, touch_seen[touch_control_count] = {};
    uint32_t down_last = 0;      // the stand-in keys and buttons down in the last pass, a bit each
    bool pointer_taken = false;  // a pad or a finger placed the pointer, and the mouse has not moved since
    float pointer_x = 0.0f, pointer_y = 0.0f;
    int32_t mouse_x_last = 0, mouse_y_last = 0;
};

// A stick nearer its centre than this, as a share of its reach, does nothing.
constexpr float stick_dead_zone = 0.25f;

// The pass's input: the device's tables, with what the pad and the touch
// controls hold folded in as the keys and buttons the keyboard and mouse
// would give (each entry the higher of the two states, so a stand-in press
// reads 2 for one pass, then 1). Over the running game, the right stick and
// a drag on the look area place the pointer off the window's centre, as
// far as the stick is pushed or twice the drag. While the menu shows, the
// sticks move the pointer and a finger puts it where it is, until the mouse
// moves again; a tap on the look area there is a left click. Call once a
// pass, after the platform has read every source.
void compose_input(Input& input, Controls& controls, bool menu_shown);

// Whether the pointer is in the window for the pointer sprite and the
// steering: the mouse's focus, or a pointer the pad or a finger placed.
bool pointer_in_window(const Controls& controls);
