#include "app/pacing.h"

#include <cstdio>

namespace {

const char* const weekday_names[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
const char* const month_names[12] = {"January", "February", "March",     "April",
                                     "May",     "June",     "July",      "August",
                                     "September", "October", "November", "December"};
const char* const day_ordinals[31] = {
    "1st",  "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",  "9th",  "10th", "11th",
    "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st", "22nd",
    "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "30th", "31st"};

const char* name_at(const char* const* names, int count, int index) {
    return (index >= 0 && index < count) ? names[index] : "";
}

}  // namespace

FrameStep step_frame(uint32_t last_frame_ticks, uint32_t now_ticks) {
    FrameStep step;
    step.frame_ms = static_cast<int32_t>(now_ticks - last_frame_ticks);
    step.delay_ms = 0;
    if (step.frame_ms < min_frame_ms) {
        // Unsigned, so even an absurd negative span cannot overflow.
        step.delay_ms = static_cast<uint32_t>(min_frame_ms) - static_cast<uint32_t>(step.frame_ms);
        step.frame_ms = min_frame_ms;
    }
    step.last_frame_ticks = last_frame_ticks + static_cast<uint32_t>(step.frame_ms);
    step.fps = static_cast<float>(1000.0 / step.frame_ms);
    return step;
}

float speed_from_fps(float fps) {
    float speed = 60.0f / fps;
    if (speed < 0.2f) return 0.2f;
    if (speed > 2.0f) return 2.0f;
    return speed;
}

void format_date_text(char* out, size_t size, const std::tm& time) {
    std::snprintf(out, size, "%s%s%s%s%s%s%d", name_at(weekday_names, 7, time.tm_wday), " ",
                  name_at(month_names, 12, time.tm_mon), " ",
                  name_at(day_ordinals, 31, time.tm_mday - 1), " ", time.tm_year + 1900);
}

void format_clock_text(char* out, size_t size, const std::tm& time) {
    int hour = time.tm_hour;
    int dial = hour == 0 ? 12 : (hour > 12 ? hour - 12 : hour);
    std::snprintf(out, size, "%d:%s%d:%s%d%s", dial, time.tm_min < 10 ? "0" : "", time.tm_min,
                  time.tm_sec < 10 ? "0" : "", time.tm_sec, hour < 12 ? " AM" : " PM");
}
