#include "app/controls.h"

#include <algorithm>
#include <cmath>

namespace {

// What the pad and the touch controls stand in for, a bit each.
enum Stand {
    stand_forward, stand_back, stand_left, stand_right, stand_jump, stand_previous, stand_next,
    stand_menu, stand_use, stand_head, stand_count
};

struct Target {
    bool button;  // a mouse button, else a key
    int code;
};
constexpr Target targets[stand_count] = {
    {false, key_w}, {false, key_s},     {false, key_a}, {false, key_d},      {false, key_space},
    {false, key_q}, {false, key_e}, {false, key_escape}, {true, button_left}, {true, button_right}};

constexpr struct {
    TouchControl control;
    Stand stand;
} touch_buttons[] = {{touch_use, stand_use},   {touch_jump, stand_jump}, {touch_previous, stand_previous},
                     {touch_next, stand_next}, {touch_head, stand_head}, {touch_menu, stand_menu}};

constexpr float menu_pointer_speed = 12.0f;  // pixels a pass, the stick pushed all the way
constexpr float look_drag_gain = 2.0f;
constexpr float sector_edge = 0.38268343f;  // sin 22.5 degrees: eight directions, diagonals included
constexpr float trigger_pulled = 0.5f;

uint32_t bit(int stand) { return 1u << stand; }

bool pressed_since(const Press& press, uint32_t seen) { return press.down || press.count != seen; }

// The movement keys a stick gives: the nearest of eight directions.
uint32_t walk_bits(float x, float y) {
    const float length = std::sqrt(x * x + y * y);
    if (!(length > stick_dead_zone)) return 0;
    const float edge = sector_edge * length;
    return (y < -edge ? bit(stand_forward) : 0) | (y > edge ? bit(stand_back) : 0) |
           (x < -edge ? bit(stand_left) : 0) | (x > edge ? bit(stand_right) : 0);
}

// How far a stick is pushed past its dead zone, from 0 there to 1 at its
// rim, along its own direction; false inside the dead zone.
bool stick_reach(float x, float y, float& reach_x, float& reach_y) {
    const float length = std::sqrt(x * x + y * y);
    if (!(length > stick_dead_zone)) return false;
    const float scale = (std::min(length, 1.0f) - stick_dead_zone) / (1.0f - stick_dead_zone) / length;
    reach_x = x * scale;
    reach_y = y * scale;
    return true;
}

// What the pad holds this pass, with the right stick's steering (running
// game) in steer and both sticks' pointer motion (menu) in move; both stay 0
// for sticks inside their dead zone.
uint32_t pad_bits(const Controls& c, float steer[2], float move[2]) {
    const PadState& pad = c.pad;
    const PadLayout& layout = c.layout;
    if (!pad.present) return 0;
    auto button = [&](int b) {
        return b >= 0 && b < pad_button_count && pressed_since(pad.button[b], c.pad_seen[b]);
    };
    auto axis = [&](int a) { return a >= 0 && a < pad_axis_count ? pad.axis[a] : 0.0f; };

    uint32_t down = walk_bits(axis(layout.walk_x), axis(layout.walk_y));
    for (int i = 0; i < 4; ++i) {
        // d-pad up, down, left, right; SDL's hat bits for them are 1, 4, 8 and 2
        constexpr int hat_bits[4] = {1, 4, 8, 2};
        const bool on = layout.dpad_up >= 0 ? button(layout.dpad_up + i) : (pad.hat & hat_bits[i]) != 0;
        if (on) down |= bit(stand_forward + i);
    }
    const struct { int button; Stand stand; } buttons[] = {
        {layout.jump, stand_jump}, {layout.use, stand_use}, {layout.previous, stand_previous},
        {layout.next, stand_next}, {layout.menu, stand_menu},
        {layout.head_button[0], stand_head}, {layout.head_button[1], stand_head}};
    for (const auto& b : buttons) {
        if (button(b.button)) down |= bit(b.stand);
    }
    for (int a : layout.head_axis) {
        if (axis(a) > trigger_pulled) down |= bit(stand_head);
    }

    float x = 0.0f, y = 0.0f;
    if (stick_reach(axis(layout.steer_x), axis(layout.steer_y), x, y)) {
        steer[0] = x, steer[1] = y;
        move[0] += x, move[1] += y;
    }
    if (stick_reach(axis(layout.walk_x), axis(layout.walk_y), x, y)) move[0] += x, move[1] += y;
    return down;
}

float clamp_to(float v, float size) { return std::max(0.0f, std::min(v, size - 1.0f)); }

}  // namespace

void compose_input(Input& input, Controls& c, bool menu_shown) {
    input = c.device;
    float steer[2] = {}, move[2] = {};
    uint32_t down = pad_bits(c, steer, move);
    const bool steering = steer[0] != 0.0f || steer[1] != 0.0f;
    for (int b = 0; b < pad_button_count; ++b) c.pad_seen[b] = c.pad.button[b].count;

    bool touched[touch_control_count];
    for (int t = 0; t < touch_control_count; ++t) {
        touched[t] = pressed_since(c.touch[t].press, c.touch_seen[t]);
        c.touch_seen[t] = c.touch[t].press.count;
    }
    if (touched[touch_walk]) down |= walk_bits(c.touch[touch_walk].x, c.touch[touch_walk].y);
    for (const auto& b : touch_buttons) {
        if (touched[b.control]) down |= bit(b.stand);
    }

    // The mouse moving takes the pointer back from the pad or the finger.
    if (input.mouse_x != c.mouse_x_last || input.mouse_y != c.mouse_y_last) c.pointer_taken = false;
    c.mouse_x_last = input.mouse_x, c.mouse_y_last = input.mouse_y;
    const float w = input.view_width, h = input.view_height;
    const TouchPoint& look = c.touch[touch_look];
    if (menu_shown) {
        if (move[0] != 0.0f || move[1] != 0.0f) {
            if (!c.pointer_taken) c.pointer_x = float(input.mouse_x), c.pointer_y = float(input.mouse_y);
            c.pointer_x = clamp_to(c.pointer_x + move[0] * menu_pointer_speed, w);
            c.pointer_y = clamp_to(c.pointer_y + move[1] * menu_pointer_speed, h);
            c.pointer_taken = true;
        }
        if (touched[touch_look]) {
            c.pointer_x = clamp_to(look.x, w), c.pointer_y = clamp_to(look.y, h);
            c.pointer_taken = true;
            down |= bit(stand_use);
        }
    } else {
        // Over the game the pointer is only lent while a stick or a finger steers.
        c.pointer_taken = steering || look.press.down;
        if (steering) {
            c.pointer_x = clamp_to(w / 2.0f + steer[0] * w / 2.0f, w);
            c.pointer_y = clamp_to(h / 2.0f + steer[1] * h / 2.0f, h);
        } else if (look.press.down) {
            c.pointer_x = clamp_to(w / 2.0f + (look.x - look.start_x) * look_drag_gain, w);
            c.pointer_y = clamp_to(h / 2.0f + (look.y - look.start_y) * look_drag_gain, h);
        }
    }
    if (c.pointer_taken) {
        input.mouse_x = static_cast<int32_t>(std::lround(c.pointer_x));
        input.mouse_y = static_cast<int32_t>(std::lround(c.pointer_y));
    }
    input.mouse_in_window = pointer_in_window(c);

    for (int s = 0; s < stand_count; ++s) {
        if ((down & bit(s)) == 0) continue;
        const int32_t state = (c.down_last & bit(s)) != 0 ? input_held : input_pressed;
        int32_t& entry = targets[s].button ? input.mouse_button_state[targets[s].code]
                                           : input.key_state[targets[s].code];
        entry = std::max(entry, state);
    }
    c.down_last = down;
}

bool pointer_in_window(const Controls& c) { return c.device.mouse_in_window || c.pointer_taken; }
