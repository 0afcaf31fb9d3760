#include "render/dashboard.h"
#include "render/hud.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Dashboard, BarsSlideInTwentyStepsOfThreeOrFourPixels) {
    EXPECT_EQ(bar_slide(0.0f), 68);
    EXPECT_EQ(bar_slide(50.0f), 34);
    EXPECT_EQ(bar_slide(100.0f), 0);
    int previous = bar_slide(0.0f);
    for (int step = 1; step <= 20; ++step) {
        const int slide = bar_slide(5.0f * static_cast<float>(step));
        EXPECT_GE(previous - slide, 3) << step;
        EXPECT_LE(previous - slide, 4) << step;
        previous = slide;
    }
}

TEST(Dashboard, VersionTextTrimsZerosButKeepsOneDecimal) {
    char text[64];
    const struct {
        float version;
        const char* expected;
    } cases[] = {{0.1f, "v0.1"}, {2.0f, "v2.0"}, {0.0f, "v0.0"}, {1.25f, "v1.25"},
                 {10.0f, "v10.0"}, {100.5f, "v100.5"}, {0.5f, "v0.5"}};
    for (const auto& c : cases) {
        format_version_text(text, sizeof text, c.version);
        EXPECT_STREQ(text, c.expected);
    }
    // A tiny buffer is cut, never overrun.
    char tiny[4];
    format_version_text(tiny, sizeof tiny, 123.0f);
    EXPECT_EQ(std::strlen(tiny), 3u);
}

TEST(Dashboard, LayoutFullyInAndHalfWay) {
    Screen screen;
    screen.width = 640;
    screen.height = 480;
    const char* date = "Wednesday September 30th 2020";  // 29 characters
    const char* clock = "12:00:00 PM";

    DashboardLayout in = dashboard_layout(screen, 100.0f, date, clock);
    EXPECT_EQ(in.top_bar_y, 0.0f);
    EXPECT_EQ(in.bottom_bar_y, 420.0f);
    EXPECT_EQ(in.title_x, 20);
    EXPECT_EQ(in.title_y, 18);
    EXPECT_EQ(in.version_y, 38);
    EXPECT_EQ(in.clock_y, 38);
    EXPECT_EQ(in.date_x, 620 - 290);
    EXPECT_EQ(in.clock_x, 620 - 110);
    EXPECT_EQ(in.footer1_y, 480 - 58);
    EXPECT_EQ(in.footer2_y, 480 - 38);

    const std::string thirty(30, 'x');
    EXPECT_EQ(dashboard_layout(screen, 100.0f, thirty.c_str(), clock).date_x, 320);

    DashboardLayout half = dashboard_layout(screen, 50.0f, date, clock);
    EXPECT_EQ(half.top_bar_y, -34.0f);        // covers -34 .. 26
    EXPECT_EQ(half.bottom_bar_y, 480.0f - 26.0f);
    EXPECT_EQ(half.title_y, 18 - 34);
    EXPECT_EQ(half.footer2_y, 480 - 38 + 34);

    // A width that is not whole still aligns at the truncated right edge.
    screen.width = 641.7f;
    EXPECT_EQ(dashboard_layout(screen, 100.0f, thirty.c_str(), clock).date_x, 321);
}

TEST(Hud, LabelsAndFrameRateLine) {
    EXPECT_STREQ(action_label(0), "actiontype_raiseground");
    EXPECT_STREQ(action_label(1), "actiontype_lowerground");
    EXPECT_STREQ(action_label(2), "actiontype_spawnblock");
    EXPECT_STREQ(action_label(3), "actiontype_removeblock");
    EXPECT_STREQ(action_label(4), "actiontype_swing");
    EXPECT_STREQ(action_label(5), "actiontype_shootball");
    EXPECT_STREQ(action_label(6), "actiontype_fly");
    EXPECT_STREQ(action_label(7), "");
    EXPECT_STREQ(action_label(-1), "");

    char line[96];
    format_fps_line(line, sizeof line, 62.5f);
    EXPECT_STREQ(line, "frames per second: 62.500000");
    const int n = static_cast<int>(std::strlen(line));
    EXPECT_EQ(n, 28);
    EXPECT_EQ(centred_pen_x(hud_text_centre_x, n), 20);
    format_fps_line(line, sizeof line, 25.0f);
    EXPECT_STREQ(line, "frames per second: 25.000000");
}
