#include "app/pacing.h"

#include <SDL.h>

void pace_frame(FrameClock& clock) {
    SDL_Delay(16);
    clock.fps = 62.5f;
}
