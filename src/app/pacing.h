// Frame pacing, the frame rate and the simulation's time scale, and the date
// and clock texts the dashboard shows.
#pragma once

#include <cstdint>
#include <ctime>

constexpr int32_t min_frame_ms = 16;  // caps the loop at 62.5 passes a second

struct FrameClock {
    uint32_t last_frame_ticks = 0;  // where the previous frame is counted to end
    int32_t frame_ms = 0;           // length counted for the frame just ended
    float fps = 0.0f;               // 1000 / frame_ms; 0 before the first pass
    char date_text[256] = {};       // "Friday December 5th 2025"
    char clock_text[256] = {};      // "9:05:07 PM"
};

// One frame's arithmetic, from the tick count at which the previous frame
// ended (as counted) and the tick count now.
struct FrameStep {
    uint32_t delay_ms;          // how long to sleep before the frame may end
    int32_t frame_ms;           // at least 16: the requested sleep is counted
    float fps;                  // 1000 / frame_ms
    uint32_t last_frame_ticks;  // where this frame is counted to end
};

// Measures the frame as a signed difference of the two tick counts and holds
// it to 16 ms. Oversleeping is charged to the next frame, so the long-run
// count of ticks stays exact.
FrameStep step_frame(uint32_t last_frame_ticks, uint32_t now_ticks);

// The simulation's time scale: 60 / fps held within [0.2, 2.0]. fps 0 (the
// first pass, before any measurement) gives 2.0.
float speed_from_fps(float fps);

// "Weekday Month Ordinal Year", e.g. "Friday December 5th 2025", into out.
// Fields out of the calendar's range give an empty word.
void format_date_text(char* out, size_t size, const std::tm& time);

// The time on a 12-hour dial, e.g. "12:30:00 AM" or "9:05:07 PM", into out.
void format_clock_text(char* out, size_t size, const std::tm& time);

// Holds the pass to at least 16 ms by sleeping (unless the platform waits
// after the swap, platform.h), measures fps and rebuilds both texts from the
// local time. Call once per pass.
void pace_frame(FrameClock& clock);

// Call last in each pass. Where the platform waits after the swap (the
// page), sleeps until the tick the frame is counted to end at, and yields
// even when that has passed; elsewhere does nothing.
void end_frame(const FrameClock& clock);
