// Frame pacing arithmetic, the time scale and the dashboard's date and clock
// texts, all from given tick counts and broken-down times.
#include "app/pacing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::tm calendar(int year, int month, int day, int weekday, int hour = 0, int minute = 0,
                 int second = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_wday = weekday;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string date_of(const std::tm& t) {
    char text[256];
    format_date_text(text, sizeof text, t);
    return text;
}

std::string clock_of(int hour, int minute, int second) {
    char text[256];
    format_clock_text(text, sizeof text, calendar(2025, 1, 1, 3, hour, minute, second));
    return text;
}

}  // namespace

TEST(Pacing, ShortFrameSleepsOutTheRestAndCountsSixteen) {
    FrameStep step = step_frame(1000, 1005);
    EXPECT_EQ(step.delay_ms, 11u);
    EXPECT_EQ(step.frame_ms, 16);
    EXPECT_EQ(step.fps, 62.5f);
    EXPECT_EQ(step.last_frame_ticks, 1016u);
}

TEST(Pacing, FramesOfSixteenOrMoreDoNotSleep) {
    FrameStep exact = step_frame(1000, 1016);
    EXPECT_EQ(exact.delay_ms, 0u);
    EXPECT_EQ(exact.fps, 62.5f);
    FrameStep slow = step_frame(1000, 1040);
    EXPECT_EQ(slow.delay_ms, 0u);
    EXPECT_EQ(slow.frame_ms, 40);
    EXPECT_EQ(slow.fps, 25.0f);
    EXPECT_EQ(slow.last_frame_ticks, 1040u);
}

TEST(Pacing, FirstFrameCountsFromTickZero) {
    FrameStep first = step_frame(0, 2500);
    EXPECT_EQ(first.frame_ms, 2500);
    EXPECT_EQ(first.fps, 0.4f);
}

// What SDL_Delay oversleeps goes to the next frame, so the frames counted
// add up to the ticks that passed.
TEST(Pacing, OversleepIsChargedToTheNextFrame) {
    uint32_t last = 0, now = 0;
    const uint32_t work[] = {5, 3, 20, 0, 16, 9};
    const uint32_t oversleep[] = {2, 4, 0, 1, 0, 3};
    int64_t counted = 0;
    for (int i = 0; i < 6; ++i) {
        now += work[i];
        FrameStep step = step_frame(last, now);
        EXPECT_GE(step.frame_ms, 16);
        now += step.delay_ms > 0 ? step.delay_ms + oversleep[i] : 0;
        counted += step.frame_ms;
        last = step.last_frame_ticks;
    }
    EXPECT_EQ(counted, static_cast<int64_t>(last));
    EXPECT_LE(now - last, 4u);
}

TEST(Pacing, TickCounterWrapAroundIsMeasuredAsSigned) {
    FrameStep wrap = step_frame(0xFFFFFFF0u, 0x10u);
    EXPECT_EQ(wrap.frame_ms, 32);
    EXPECT_EQ(wrap.delay_ms, 0u);
    EXPECT_EQ(wrap.last_frame_ticks, 0x10u);
    // A clock behind the counted end sleeps the difference as well.
    FrameStep behind = step_frame(100, 90);
    EXPECT_EQ(behind.delay_ms, 26u);
    EXPECT_EQ(behind.frame_ms, 16);
}

TEST(Pacing, SpeedIsSixtyOverFpsWithinItsClamp) {
    EXPECT_EQ(speed_from_fps(0.0f), 2.0f);
    EXPECT_EQ(speed_from_fps(62.5f), 60.0f / 62.5f);
    EXPECT_NEAR(speed_from_fps(62.5f), 0.96f, 1e-6f);
    EXPECT_EQ(speed_from_fps(60.0f), 1.0f);
    EXPECT_EQ(speed_from_fps(30.0f), 2.0f);
    EXPECT_EQ(speed_from_fps(20.0f), 2.0f);
    EXPECT_EQ(speed_from_fps(0.4f), 2.0f);
    EXPECT_EQ(speed_from_fps(300.0f), 0.2f);
    EXPECT_EQ(speed_from_fps(1000.0f), 0.2f);
}

TEST(Clock, DateTextUsesNamesAndOrdinals) {
    EXPECT_EQ(date_of(calendar(2025, 12, 5, 5)), "Friday December 5th 2025");
    EXPECT_EQ(date_of(calendar(1999, 1, 31, 0)), "Sunday January 31st 1999");
    EXPECT_EQ(date_of(calendar(2025, 9, 20, 6)), "Saturday September 20th 2025");
    const struct {
        int day;
        const char* ordinal;
    } cases[] = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},   {11, "11th"},
                 {12, "12th"}, {13, "13th"}, {21, "21st"}, {22, "22nd"}, {23, "23rd"},
                 {24, "24th"}, {30, "30th"}, {31, "31st"}};
    for (const auto& c : cases) {
        EXPECT_EQ(date_of(calendar(2024, 3, c.day, 1)),
                  std::string("Monday March ") + c.ordinal + " 2024");
    }
}

TEST(Clock, DateFieldsOutsideTheCalendarGiveEmptyWords) {
    EXPECT_EQ(date_of(calendar(2024, 13, 32, 7)), "   2024");
}

TEST(Clock, ClockTextIsOnATwelveHourDial) {
    EXPECT_EQ(clock_of(0, 0, 0), "12:00:00 AM");
    EXPECT_EQ(clock_of(0, 30, 0), "12:30:00 AM");
    EXPECT_EQ(clock_of(11, 59, 59), "11:59:59 AM");
    EXPECT_EQ(clock_of(12, 0, 0), "12:00:00 PM");
    EXPECT_EQ(clock_of(13, 0, 9), "1:00:09 PM");
    EXPECT_EQ(clock_of(21, 5, 7), "9:05:07 PM");
    EXPECT_EQ(clock_of(23, 59, 59), "11:59:59 PM");
}
