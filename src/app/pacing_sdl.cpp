#include "app/pacing.h"

#include "app/platform.h"

#include <SDL.h>

void pace_frame(FrameClock& clock) {
    FrameStep step = step_frame(clock.last_frame_ticks, SDL_GetTicks());
    if (!platform_waits_after_swap && step.delay_ms > 0) SDL_Delay(step.delay_ms);
    clock.frame_ms = step.frame_ms;
    clock.last_frame_ticks = step.last_frame_ticks;
    clock.fps = step.fps;

    std::time_t now = std::time(nullptr);
    std::tm local;
    // A clock localtime cannot convert keeps the texts of the last pass.
    if (localtime_r(&now, &local) == nullptr) return;
    format_date_text(clock.date_text, sizeof clock.date_text, local);
    format_clock_text(clock.clock_text, sizeof clock.clock_text, local);
}

void end_frame(const FrameClock& clock) {
    if (!platform_waits_after_swap) return;
    // Until the tick the frame is counted to end at; a yield even when that
    // has passed.
    const int32_t left = static_cast<int32_t>(clock.last_frame_ticks - SDL_GetTicks());
    SDL_Delay(left > 0 ? static_cast<Uint32>(left) : 0);
}
