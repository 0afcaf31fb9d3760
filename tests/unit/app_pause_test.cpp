// The pause screen's decisions: the fade, when the still image is captured
// and redrawn, and where a button answers the pointer.
#include "app/pause.h"

#include <gtest/gtest.h>

#include <cmath>

// 'E' is a pass with Escape pressed, '.' one without; 'R' is "Resume game".
TEST(Pause, EscapeSequences) {
    const std::string open = "E" + std::string(19, '.'), closed = open + "E" + std::string(19, '.');
    const struct { std::string keys; float rate, fade; bool open; int captures, redraws; } rows[] = {
        // The pass in which Escape is pressed still ran the game: captured, not redrawn.
        {"E", 1, 5, true, 1, 0}, {"E" + std::string(18, '.'), 1, 95, true, 1, 18}, {open + "...", 1, 100, true, 1, 22},
        {open + "E", 1, 95, false, 1, 20}, {closed, 1, 0, false, 1, 39},
        {closed + "..E", 1, 5, true, 2, 39},  // running again: nothing redrawn, and Escape captures anew
        // Escape while the menu slides out reverses it and keeps the still image.
        {open + "E.......E", 1, 65, true, 1, 28}, {"E.....R..E", 1, 25, true, 1, 8},
        {"E", 0.5f, 2.5f, true, 1, 0}, {"EE", 1000, 0, false, 1, 1}, {"E.", 1000, 100, true, 1, 1},
        {"E", NAN, 0, true, 1, 0}};
    for (const auto& row : rows) {
        PauseState pause;
        int captures = 0, redraws = 0;
        for (char key : row.keys) {
            pause.pause_open = pause.pause_open && key != 'R';
            const PauseStep step = key == 'R' ? PauseStep{} : advance_pause(pause, key == 'E', row.rate);
            captures += step.capture, redraws += step.redraw;
        }
        EXPECT_TRUE(pause.pause_fade == row.fade && pause.pause_open == row.open) << row.keys << " " << row.rate;
        EXPECT_TRUE(captures == row.captures && redraws == row.redraws) << row.keys << " " << row.rate;
    }
}

TEST(Pause, ButtonAnswersThirteenPixelsAroundIt) {
    const ButtonRect r = button_rect(512, 259, 300, 15, true);
    const int right = r.left + 299, bottom = r.top + 14;  // its last pixels
    EXPECT_TRUE(r.left == 512 - 150 && r.top == 259 - 7);
    const struct { int x, y; bool hovered; } rows[] = {
        {r.left - 13, 259, true}, {r.left - 14, 259, false}, {right + 13, 259, true}, {right + 14, 259, false},
        {512, r.top - 13, true},  {512, r.top - 14, false},  {512, bottom + 13, true}, {512, bottom + 14, false}};
    for (const auto& row : rows) EXPECT_EQ(button_hovered(r, row.x, row.y), row.hovered) << row.x << "," << row.y;
    // 4097 * 4097 is not a float: a float product would make the still image 4 bytes short.
    EXPECT_TRUE(frozen_frame_bytes(4097, 4097) == 67141636 && frozen_frame_bytes(0, 768) + frozen_frame_bytes(-5, 768) == 0);
}
