// A pad's and the touch controls' states, folded into the keys, buttons and pointer the game reads.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using C = Controls;
using Set = void (*)(C&);
const Set none = [](C&) {};

// The window 800 x 600, the mouse resting at (100, 50) outside it, and a pad numbered as SDL numbers one on
// Linux: sticks on axes 0, 1 and 3, 4, triggers on 2 and 5, the d-pad a hat.
C fresh() {
    C c;
    c.layout = {0, 1, 3, 4, {2, 5}, 0, 2, 4, 5, 7, {-1, -1}, -1};
    c.device.view_width = 800, c.device.view_height = 600, c.device.mouse_x = 100, c.device.mouse_y = 50;
    return c;
}
void pad(C& c, float x, float y, int first_axis = 0) {
    c.pad.present = true, c.pad.axis[first_axis] = x, c.pad.axis[first_axis + 1] = y;
}
void press(Press& p, bool down = true) { p.down = down, ++p.count; }
void look(C& c, float x, float y, float start_x, float start_y, bool down) {
    c.touch[touch_look] = {{down, 1}, x, y, start_x, start_y};
}

}  // namespace

TEST(Controls, WithNeitherPadNorTouchTheGameReadsTheKeyboardAndMouseAlone) {
    std::mt19937 random(7);
    for (int run = 0; run < 20; ++run) {
        C c = fresh();
        for (int32_t& s : c.device.key_state) s = int32_t(random() % 3);
        for (int32_t& s : c.device.mouse_button_state) s = int32_t(random() % 3);
        c.device.mouse_x = int32_t(random() % 2000) - 500, c.device.mouse_in_window = run % 2 == 0;
        Input in;
        compose_input(in, c, run % 3 == 0);
        EXPECT_TRUE(std::equal(in.key_state, in.key_state + key_table_size, c.device.key_state) &&
                    std::equal(in.mouse_button_state, in.mouse_button_state + 10, c.device.mouse_button_state) &&
                    in.mouse_x == c.device.mouse_x && in.mouse_y == 50 && in.mouse_in_window == (run % 2 == 0));
    }
}

// Each row sets the sources before the first pass and changes them before the second; the two entries it names
// (keys, or buttons numbered from 1000) read the given states in the two passes.
TEST(Controls, PadAndTouchHoldTheKeysAndButtonsTheKeyboardAndMouseWould) {
    const int left = 1000 + button_left, right = 1000 + button_right;
    const struct { const char* what; bool menu; Set first, second; int codes[2]; const char* states; } table[] = {
        {"left stick forward", false, [](C& c) { pad(c, 0, -1); }, none, {key_w, key_w}, "2121"},
        {"left stick half way on a diagonal", false, [](C& c) { pad(c, 0.35f, 0.35f); }, none, {key_d, key_s}, "2121"},
        {"left stick 21 degrees below right", false, [](C& c) { pad(c, 0.93f, 0.37f); }, none, {key_s, key_s}, "0000"},
        {"left stick in its dead zone", false, [](C& c) { pad(c, 0.2f, -0.1f); }, none, {key_w, key_w}, "0000"},
        {"left stick let go", false, [](C& c) { pad(c, -1, 0); }, [](C& c) { pad(c, 0, 0); }, {key_a, key_a}, "2020"},
        {"d-pad up as a hat", false, [](C& c) { pad(c, 0, 0), c.pad.hat = 1; }, none, {key_w, key_d}, "2100"},
        {"d-pad down and left as a hat", false, [](C& c) { pad(c, 0, 0), c.pad.hat = 12; }, none, {key_s, key_a}, "2121"},
        {"d-pad down as a button", false, [](C& c) { pad(c, 0, 0), c.layout.dpad_up = 12, press(c.pad.button[13]); },
         none, {key_s, key_s}, "2121"},
        {"jump tapped between two passes", false, [](C& c) { pad(c, 0, 0), press(c.pad.button[0], false); }, none,
         {key_space, key_space}, "2020"},
        {"pad pulled out with jump and use held", false,
         [](C& c) { pad(c, 0, -1), press(c.pad.button[0]), press(c.pad.button[2]); },
         [](C& c) { c.pad.present = false; }, {key_space, left}, "2020"},
        {"a pad that is not there", false, [](C& c) { press(c.pad.button[7]), c.pad.axis[1] = -1; }, none,
         {key_escape, key_w}, "0000"},
        {"start held", false, [](C& c) { pad(c, 0, 0), press(c.pad.button[7]); }, none, {key_escape, key_escape}, "2121"},
        {"shoulders", false, none, [](C& c) { pad(c, 0, 0), press(c.pad.button[4]), press(c.pad.button[5]); },
         {key_q, key_e}, "0202"},
        {"a shoulder pressed while the keyboard holds E", false,
         [](C& c) { c.device.key_state[key_e] = input_held, pad(c, 0, 0), press(c.pad.button[5]); }, none,
         {key_e, key_e}, "2121"},
        {"trigger pulled", false, [](C& c) { pad(c, 0, 0), c.pad.axis[5] = 1; }, none, {right, right}, "2121"},
        {"triggers at rest", false, [](C& c) { pad(c, 0, 0), c.pad.axis[2] = c.pad.axis[5] = -1; }, none,
         {right, right}, "0000"},
        {"touch stick held back-left", false,
         [](C& c) { press(c.touch[touch_walk].press), c.touch[touch_walk].x = -0.7f, c.touch[touch_walk].y = 0.7f; },
         none, {key_a, key_s}, "2121"},
        {"touch stick flicked forward between passes", false,
         [](C& c) { press(c.touch[touch_walk].press, false), c.touch[touch_walk].y = -1; }, none, {key_w, key_w}, "2020"},
        {"next action tapped between passes", false, [](C& c) { press(c.touch[touch_next].press, false); }, none,
         {key_e, key_e}, "2020"},
        {"jump and use held together", false, [](C& c) { press(c.touch[touch_jump].press), press(c.touch[touch_use].press); },
         none, {key_space, left}, "2121"},
        {"menu tapped", false, [](C& c) { press(c.touch[touch_menu].press, false); }, none, {key_escape, key_escape}, "2020"},
        {"head view held", false, [](C& c) { press(c.touch[touch_head].press); }, none, {right, right}, "2121"},
        {"look tapped in the menu", true, [](C& c) { look(c, 9, 9, 9, 9, false); }, none, {left, left}, "2020"},
        {"look tapped over the game", false, [](C& c) { look(c, 9, 9, 9, 9, false); }, none, {left, left}, "0000"},
    };
    for (const auto& row : table) {
        C c = fresh();
        Input in;
        for (int pass = 0; pass < 2; ++pass) {
            (pass == 0 ? row.first : row.second)(c);
            compose_input(in, c, row.menu);
            for (int k = 0; k < 2; ++k) {
                const int code = row.codes[k];
                const int32_t state = code < 1000 ? in.key_state[code] : in.mouse_button_state[code - 1000];
                EXPECT_EQ(state, row.states[2 * k + pass] - '0') << row.what << ", pass " << pass << ", entry " << k;
            }
        }
    }
}

// Where the pointer is after two passes, and whether it counts as in the window.
TEST(Controls, PadAndFingerPlaceThePointerAsTheMouseWould) {
    const struct { const char* what; bool menu; Set first, second; int x, y; bool in_window; } table[] = {
        {"right stick full into a corner", false, [](C& c) { pad(c, 1, 1, 3); }, none, 683, 512, true},
        {"right stick half way up past its dead zone", false, [](C& c) { pad(c, 0, -0.625f, 3); }, none, 400, 150, true},
        {"right stick in its dead zone", false, [](C& c) { pad(c, 0.2f, 0.1f, 3); }, none, 100, 50, false},
        {"right stick let go", false, [](C& c) { pad(c, 1, 0, 3); }, [](C& c) { pad(c, 0, 0, 3); }, 100, 50, false},
        {"look dragged right and up", false, [](C& c) { look(c, 500, 300, 500, 300, true); },
         [](C& c) { look(c, 550, 280, 500, 300, true); }, 500, 260, true},
        {"look lifted", false, [](C& c) { look(c, 600, 300, 500, 300, true); },
         [](C& c) { c.touch[touch_look].press.down = false; }, 100, 50, false},
        {"in the menu, the left stick pushed right", true, [](C& c) { pad(c, 1, 0); }, none, 124, 50, true},
        {"in the menu, the left stick up and the right one left, to the top edge", true,
         [](C& c) { pad(c, 0, -1), pad(c, -1, 0, 3), c.device.mouse_y = 20; }, none, 76, 0, true},
        {"in the menu, a tap", true, [](C& c) { look(c, 300, 200, 300, 200, false); }, none, 300, 200, true},
        {"in the menu, a tap, then the mouse moves", true, [](C& c) { look(c, 300, 200, 300, 200, false); },
         [](C& c) { c.device.mouse_x = 101; }, 101, 50, false},
    };
    for (const auto& row : table) {
        C c = fresh();
        Input in;
        row.first(c), compose_input(in, c, row.menu);
        row.second(c), compose_input(in, c, row.menu);
        EXPECT_TRUE(in.mouse_x == row.x && in.mouse_y == row.y && in.mouse_in_window == row.in_window &&
                    pointer_in_window(c) == row.in_window)
            << row.what << ": " << in.mouse_x << ", " << in.mouse_y;
    }
}
