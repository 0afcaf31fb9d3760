#include "app/pause.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Runs passes with no key pressed; returns how many redraws were asked for.
int run_passes(PauseState& pause, int passes) {
    int redraws = 0;
    for (int i = 0; i < passes; ++i) {
        const PauseStep step = advance_pause(pause, false, 1.0f);
        EXPECT_FALSE(step.capture);
        if (step.redraw) ++redraws;
    }
    return redraws;
}

}  // namespace

TEST(Pause, OpensInTwentyPassesAndClosesInTwenty) {
    PauseState pause;
    // The pass in which Escape is pressed still ran the game: it is captured,
    // not redrawn over, and ends at 5.
    PauseStep step = advance_pause(pause, true, 1.0f);
    EXPECT_TRUE(step.capture);
    EXPECT_FALSE(step.redraw);
    EXPECT_TRUE(pause.pause_open);
    EXPECT_EQ(pause.pause_fade, 5.0f);

    EXPECT_EQ(run_passes(pause, 18), 18);
    EXPECT_EQ(pause.pause_fade, 95.0f);
    EXPECT_EQ(run_passes(pause, 1), 1);
    EXPECT_EQ(pause.pause_fade, 100.0f);
    EXPECT_EQ(run_passes(pause, 3), 3);
    EXPECT_EQ(pause.pause_fade, 100.0f);

    step = advance_pause(pause, true, 1.0f);
    EXPECT_FALSE(step.capture);
    EXPECT_TRUE(step.redraw);
    EXPECT_FALSE(pause.pause_open);
    EXPECT_EQ(pause.pause_fade, 95.0f);
    EXPECT_EQ(run_passes(pause, 19), 19);
    EXPECT_EQ(pause.pause_fade, 0.0f);  // exactly: the game runs again

    // Back to running: nothing is redrawn, and the next Escape captures anew.
    EXPECT_EQ(run_passes(pause, 2), 0);
    EXPECT_EQ(pause.pause_fade, 0.0f);
    EXPECT_TRUE(advance_pause(pause, true, 1.0f).capture);
}

TEST(Pause, EscapeWhileClosingAtSixtyReversesWithoutCapture) {
    PauseState pause;
    advance_pause(pause, true, 1.0f);
    run_passes(pause, 19);
    advance_pause(pause, true, 1.0f);  // close: 95
    run_passes(pause, 7);              // 60
    ASSERT_EQ(pause.pause_fade, 60.0f);
    const PauseStep step = advance_pause(pause, true, 1.0f);
    EXPECT_FALSE(step.capture);
    EXPECT_TRUE(step.redraw);
    EXPECT_TRUE(pause.pause_open);
    EXPECT_EQ(pause.pause_fade, 65.0f);
    run_passes(pause, 7);
    EXPECT_EQ(pause.pause_fade, 100.0f);
}

TEST(Pause, ReopeningAfterResumeKeepsTheStillImage) {
    PauseState pause;
    advance_pause(pause, true, 1.0f);
    run_passes(pause, 5);  // 30, still opening
    pause.pause_open = false;  // "Resume game"
    run_passes(pause, 2);      // 20
    const PauseStep step = advance_pause(pause, true, 1.0f);
    EXPECT_FALSE(step.capture);
    EXPECT_TRUE(pause.pause_open);
    EXPECT_EQ(pause.pause_fade, 25.0f);
}

TEST(Pause, FadeStaysWithinRangeForOddRates) {
    PauseState pause;
    pause.pause_open = true;
    advance_pause(pause, false, 1000.0f);
    EXPECT_EQ(pause.pause_fade, 100.0f);
    advance_pause(pause, false, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(pause.pause_fade, 0.0f);
    pause.pause_open = false;
    pause.pause_fade = 3.0f;
    advance_pause(pause, false, 1.0f);
    EXPECT_EQ(pause.pause_fade, 0.0f);
}

TEST(Pause, MenuSlidesFromBelowTheWindowToItsPlace) {
    Screen screen;
    screen.width = 1024;
    screen.height = 768;
    EXPECT_EQ(menu_column_x(screen), 512);
    const int y0 = menu_first_button_y(screen, 100.0f);
    EXPECT_EQ(y0, 259);
    EXPECT_EQ(y0 + menu_button_spacing, 309);
    EXPECT_EQ(y0 + 2 * menu_button_spacing, 359);
    EXPECT_EQ(menu_first_button_y(screen, 0.0f), 1027);
    EXPECT_EQ(menu_first_button_y(screen, 50.0f), 643);
    int previous = 1027;
    for (int step = 1; step <= 20; ++step) {
        const int y = menu_first_button_y(screen, 5.0f * static_cast<float>(step));
        EXPECT_LT(y, previous);
        previous = y;
    }
}

TEST(Pause, ButtonHoverReachesThirteenPixelsAroundThePanel) {
    const ButtonRect r = button_rect(512, 259, 300, 15, true);
    EXPECT_EQ(r.left, 362);
    EXPECT_EQ(r.top, 252);
    const int cy = 259, cx = 512;
    EXPECT_TRUE(button_hovered(r, r.left - 13, cy));
    EXPECT_FALSE(button_hovered(r, r.left - 14, cy));
    EXPECT_TRUE(button_hovered(r, r.left + 300 - 1 + 13, cy));
    EXPECT_FALSE(button_hovered(r, r.left + 300 - 1 + 14, cy));
    EXPECT_TRUE(button_hovered(r, cx, r.top - 13));
    EXPECT_FALSE(button_hovered(r, cx, r.top - 14));
    EXPECT_TRUE(button_hovered(r, cx, r.top + 15 - 1 + 13));
    EXPECT_FALSE(button_hovered(r, cx, r.top + 15 - 1 + 14));

    const ButtonRect corner = button_rect(10, 20, 30, 40, false);
    EXPECT_EQ(corner.left, 10);
    EXPECT_EQ(corner.top, 20);
    // Odd sizes halve toward zero.
    const ButtonRect odd = button_rect(100, 100, 31, 15, true);
    EXPECT_EQ(odd.left, 85);
    EXPECT_EQ(odd.top, 93);
}

TEST(Pause, LabelIsCentredOnItsButton) {
    const ButtonRect r = button_rect(512, 259, 300, 15, true);
    int pen_x = 0, pen_y = 0;
    button_label_pen(r, "Resume game", pen_x, pen_y);
    EXPECT_EQ(pen_x, 362 + 150 - 55);
    EXPECT_EQ(pen_y, 252 - 3);
    button_label_pen(r, "Exit", pen_x, pen_y);
    EXPECT_EQ(pen_x, 512 - 20);
}

TEST(Pause, FrozenFrameSizeIsExactForLargeWindows) {
    EXPECT_EQ(frozen_frame_bytes(1024, 768), 1024u * 768u * 4u);
    // 4097 * 4097 is not a float: a float product would come out 4 bytes short.
    EXPECT_EQ(frozen_frame_bytes(4097, 4097), size_t{67141636});
    EXPECT_EQ(frozen_frame_bytes(40000, 30000), size_t{4800000000});
    EXPECT_EQ(frozen_frame_bytes(0, 768), 0u);
    EXPECT_EQ(frozen_frame_bytes(-5, 768), 0u);
}
