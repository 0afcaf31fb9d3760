// Frame pacing, the time scale and the dashboard's date and clock texts.
#include "app/pacing.h"

#include <gtest/gtest.h>

TEST(Pacing, FramesLastAtLeastSixteenTicks) {
    const struct { uint32_t last, now, delay; int32_t frame; float fps; } rows[] = {
        {1000, 1005, 11, 16, 62.5f}, {1000, 1016, 0, 16, 62.5f}, {1000, 1040, 0, 40, 25.0f}, {0, 2500, 0, 2500, 0.4f},
        {0xFFFFFFF0u, 0x10u, 0, 32, 31.25f}, {100, 90, 26, 16, 62.5f}};  // the counter wraps; a clock behind
    for (const auto& r : rows) {
        const FrameStep step = step_frame(r.last, r.now);
        EXPECT_TRUE(step.delay_ms == r.delay && step.frame_ms == r.frame && step.fps == r.fps) << r.now;
        EXPECT_EQ(step.last_frame_ticks, r.last + uint32_t(r.frame)) << r.now;
    }
    // What the sleep oversleeps goes to the next frame, so the frames counted
    // add up to the ticks that passed (tens: ticks of work; units: overslept).
    uint32_t last = 0, now = 0, counted = 0;
    for (const uint32_t work_and_oversleep : {52u, 34u, 200u, 1u, 160u, 93u}) {
        const FrameStep step = step_frame(last, now += work_and_oversleep / 10);
        now += step.delay_ms > 0 ? step.delay_ms + work_and_oversleep % 10 : 0;
        counted += uint32_t(step.frame_ms), last = step.last_frame_ticks;
    }
    EXPECT_TRUE(counted == last && now - last <= 4) << counted << " " << last << " " << now;
    const float speeds[][2] = {{0, 2}, {20, 2}, {30, 2}, {60, 1}, {62.5f, 0.96f}, {200, 0.3f}, {300, 0.2f}, {1e3f, 0.2f}};
    for (const auto& s : speeds) EXPECT_EQ(speed_from_fps(s[0]), s[1]) << s[0];
}

TEST(Pacing, DateAndClockTexts) {
    const struct { int month, day, weekday, hour, minute; const char* text; } rows[] = {
        {12, 5, 5, 0, 0, "Friday December 5th 2024 12:00:09 AM"}, {1, 31, 0, 0, 30, "Sunday January 31st 2024 12:30:09 AM"},
        {3, 2, 1, 11, 59, "Monday March 2nd 2024 11:59:09 AM"}, {3, 11, 2, 13, 5, "Tuesday March 11th 2024 1:05:09 PM"},
        {9, 23, 6, 12, 0, "Saturday September 23rd 2024 12:00:09 PM"},
        {13, 32, 7, 23, 10, "   2024 11:10:09 PM"}};  // fields off the calendar give empty words
    for (const auto& r : rows) {
        std::tm t{};
        t.tm_mon = r.month - 1, t.tm_mday = r.day, t.tm_wday = r.weekday, t.tm_hour = r.hour, t.tm_min = r.minute;
        t.tm_year = 124, t.tm_sec = 9;
        char date[64], clock[32];
        format_date_text(date, sizeof date, t), format_clock_text(clock, sizeof clock, t);
        EXPECT_EQ(std::string(date) + " " + clock, r.text);
    }
}
