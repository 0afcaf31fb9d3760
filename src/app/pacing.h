// Frame pacing and the date and clock texts of the dashboard.
#pragma once

#include <cstdint>

struct FrameClock {
    uint32_t last_frame_ticks = 0;  // where the previous frame is counted to end
    int32_t frame_ms = 0;           // length counted for the frame just ended
    float fps = 0.0f;               // 1000 / frame_ms; 0 before the first pass
    char date_text[256] = {};
    char clock_text[256] = {};
};

// Holds the pass to at least 16 ms, measures fps and rebuilds the texts.
void pace_frame(FrameClock& clock);
