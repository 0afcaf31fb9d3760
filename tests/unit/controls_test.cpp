// A pad's and the touch controls' states, folded into the keys, buttons and pointer the game reads.
#include "app/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// A pad numbered as SDL numbers one on Linux: sticks on axes 0, 1 and 3, 4, triggers on 2 and 5, the d-pad a hat.
constexpr PadLayout pad_layout = {0, 1, 3, 4, {2, 5}, 0, 2, 4, 5, 7, {-1, -1}, -1};

Controls fresh() {
    Controls c;
    c.layout = pad_layout;
    c.device.view_width = 800, c.device.view_height = 600;
    c.device.mouse_x = 100, c.device.mouse_y = 50;
    return c;
}

void pad(Controls& c, float x, float y, int axes = 0) {
    c.pad.present = true;
    c.pad.axis[axes] = x, c.pad.axis[axes + 1] = y;
}
void press(Press& p, bool down = true) { p.down = down, ++p.count; }

}  // namespace

TEST(Controls, WithNeitherPadNorTouchTheGameReadsTheKeyboardAndMouseAlone) {
    std::mt19937 random(7);
    for (int run = 0; run < 20; ++run) {
        Controls c = fresh();
        for (int32_t& s : c.device.key_state) s = int32_t(random() % 3);
        for (int32_t& s : c.device.mouse_button_state) s = int32_t(random() % 3);
        c.device.mouse_x = int32_t(random() % 2000) - 500, c.device.mouse_in_window = run % 2 == 0;
        Input input;
        compose_input(input, c, run % 3 == 0);
        EXPECT_TRUE(std::equal(std::begin(input.key_state), std::end(input.key_state), c.device.key_state));
        EXPECT_TRUE(std::equal(std::begin(input.mouse_button_state), std::end(input.mouse_button_state),
                               c.device.mouse_button_state));
        EXPECT_EQ(input.mouse_x, c.device.mouse_x);
        EXPECT_EQ(input.mouse_y, c.device.mouse_y);
        EXPECT_EQ(input.mouse_in_window, c.device.mouse_in_window);
    }
}

// Each row sets the sources before the first pass and changes them before the second; the entries it names
// (keys, or buttons numbered from 1000) read the given states in the two passes.
TEST(Controls, PadAndTouchHoldTheKeysAndButtonsTheKeyboardAndMouseWould) {
    using Set = void (*)(Controls&);
    const Set none = [](Controls&) {};
    const struct { const char* what; bool menu; Set first, second; int codes[2]; const char* states; } table[] = {
        {"left stick forward", false, [](Controls& c) { pad(c, 0.0f, -1.0f); }, none, {key_w, key_w}, "21"},
        {"left stick on a diagonal", false, [](Controls& c) { pad(c, 0.7f, 0.7f); }, none, {key_d, key_s}, "21"},
        {"left stick 21 degrees below right", false, [](Controls& c) { pad(c, 0.93f, 0.37f); }, none,
         {key_s, key_s}, "00"},
        {"left stick in its dead zone", false, [](Controls& c) { pad(c, 0.2f, -0.1f); }, none, {key_w, key_w}, "00"},
        {"left stick let go", false, [](Controls& c) { pad(c, -1.0f, 0.0f); }, [](Controls& c) { pad(c, 0, 0); },
         {key_a, key_a}, "20"},
        {"d-pad up and right as a hat", false, [](Controls& c) { pad(c, 0, 0), c.pad.hat = 3; }, none,
         {key_w, key_d}, "21"},
        {"d-pad as buttons", false, [](Controls& c) { pad(c, 0, 0), c.layout.dpad_up = 12, press(c.pad.button[13]); },
         none, {key_s, key_s}, "21"},
        {"jump tapped between two passes", false, [](Controls& c) { pad(c, 0, 0), press(c.pad.button[0], false); },
         none, {key_space, key_space}, "20"},
        {"pad pulled out with jump and use held", false,
         [](Controls& c) { pad(c, 0, -1), press(c.pad.button[0]), press(c.pad.button[2]); },
         [](Controls& c) { c.pad.present = false; }, {key_space, 1000 + button_left}, "20"},
        {"a pad that is not there", false, [](Controls& c) { press(c.pad.button[7]), c.pad.axis[1] = -1; }, none,
         {key_escape, key_w}, "00"},
        {"start, then the shoulders", false, [](Controls& c) { pad(c, 0, 0), press(c.pad.button[7]); },
         [](Controls& c) { press(c.pad.button[4]), press(c.pad.button[5]); }, {key_escape, key_escape}, "21"},
        {"shoulders", false, none, [](Controls& c) { pad(c, 0, 0), press(c.pad.button[4]), press(c.pad.button[5]); },
         {key_q, key_e}, "02"},
        {"a shoulder pressed while the keyboard holds E", false,
         [](Controls& c) { c.device.key_state[key_e] = input_held, pad(c, 0, 0), press(c.pad.button[5]); }, none,
         {key_e, key_e}, "21"},
        {"trigger pulled", false, [](Controls& c) { pad(c, 0, 0), c.pad.axis[5] = 1; }, none,
         {1000 + button_right, 1000 + button_right}, "21"},
        {"triggers at rest", false, [](Controls& c) { pad(c, 0, 0), c.pad.axis[2] = c.pad.axis[5] = -1; }, none,
         {1000 + button_right, 1000 + button_right}, "00"},
        {"touch stick held back-left", false, [](Controls& c) { press(c.touch[touch_walk].press), c.touch[touch_walk].x = -0.7f,
                                                                c.touch[touch_walk].y = 0.7f; },
         none, {key_a, key_s}, "21"},
        {"touch stick flicked forward between passes", false,
         [](Controls& c) { press(c.touch[touch_walk].press, false), c.touch[touch_walk].y = -1; }, none,
         {key_w, key_w}, "20"},
        {"next action tapped between passes", false, [](Controls& c) { press(c.touch[touch_next].press, false); },
         none, {key_e, key_e}, "20"},
        {"jump and use held together", false,
         [](Controls& c) { press(c.touch[touch_jump].press), press(c.touch[touch_use].press); }, none,
         {key_space, 1000 + button_left}, "21"},
        {"menu tapped", false, [](Controls& c) { press(c.touch[touch_menu].press, false); }, none,
         {key_escape, key_escape}, "20"},
        {"head view held", false, [](Controls& c) { press(c.touch[touch_head].press); }, none,
         {1000 + button_right, 1000 + button_right}, "21"},
        {"look tapped in the menu", true, [](Controls& c) { press(c.touch[touch_look].press, false); }, none,
         {1000 + button_left, 1000 + button_left}, "20"},
        {"look tapped over the game", false, [](Controls& c) { press(c.touch[touch_look].press, false); }, none,
         {1000 + button_left, 1000 + button_left}, "00"},
    };
    for (const auto& row : table) {
        Controls c = fresh();
        Input input;
        for (int pass = 0; pass < 2; ++pass) {
            (pass == 0 ? row.first : row.second)(c);
            compose_input(input, c, row.menu);
            for (int code : row.codes) {
                const int32_t state = code < 1000 ? input.key_state[code] : input.mouse_button_state[code - 1000];
                EXPECT_EQ(state, row.states[pass] - '0') << row.what << ", pass " << pass << ", entry " << code;
            }
        }
    }
}

// The pointer after two passes, the window 800 x 600 and the mouse resting at (100, 50) outside it.
TEST(Controls, PadAndFingerPlaceThePointerAsTheMouseWould) {
    using Set = void (*)(Controls&);
    const Set none = [](Controls&) {};
    const struct { const char* what; bool menu; Set first, second; int x, y; bool in_window; } table[] = {
        {"right stick full right", false, [](Controls& c) { pad(c, 1, 0, 3); }, none, 799, 300, true},
        {"right stick half way up past its dead zone", false, [](Controls& c) { pad(c, 0, -0.625f, 3); }, none,
         400, 150, true},
        {"right stick in its dead zone", false, [](Controls& c) { pad(c, 0.2f, 0.1f, 3); }, none, 100, 50, false},
        {"right stick let go", false, [](Controls& c) { pad(c, 1, 0, 3); }, [](Controls& c) { pad(c, 0, 0, 3); },
         100, 50, false},
        {"look dragged right and up", false,
         [](Controls& c) { c.touch[touch_look] = {{true, 1}, 500, 300, 500, 300}; },
         [](Controls& c) { c.touch[touch_look].x = 550, c.touch[touch_look].y = 280; }, 500, 260, true},
        {"look lifted", false, [](Controls& c) { c.touch[touch_look] = {{true, 1}, 600, 300, 500, 300}; },
         [](Controls& c) { c.touch[touch_look].press.down = false; }, 100, 50, false},
        {"in the menu, the left stick pushed right", true, [](Controls& c) { pad(c, 1, 0); }, none, 124, 50, true},
        {"in the menu, both sticks pushed up, to the top edge", true,
         [](Controls& c) { pad(c, 0, -1), pad(c, 0, -1, 3), c.device.mouse_y = 30; }, none, 100, 0, true},
        {"in the menu, a tap", true, [](Controls& c) { c.touch[touch_look] = {{false, 1}, 300, 200, 300, 200}; },
         none, 300, 200, true},
        {"in the menu, a tap, then the mouse moves", true,
         [](Controls& c) { c.touch[touch_look] = {{false, 1}, 300, 200, 300, 200}; },
         [](Controls& c) { c.device.mouse_x = 101; }, 101, 50, false},
    };
    for (const auto& row : table) {
        Controls c = fresh();
        Input input;
        row.first(c);
        compose_input(input, c, row.menu);
        row.second(c);
        compose_input(input, c, row.menu);
        EXPECT_EQ(input.mouse_x, row.x) << row.what;
        EXPECT_EQ(input.mouse_y, row.y) << row.what;
        EXPECT_EQ(input.mouse_in_window, row.in_window) << row.what;
        EXPECT_EQ(pointer_in_window(c), row.in_window) << row.what;
    }
}
