// Reading SDL's queued key and button events into the input record.
#pragma once

#include "render/screen.h"
#include "sim/input.h"

// Takes the key and button events out of SDL's queue (presses before
// releases) and samples the pointer. Call once per pass after SDL_PumpEvents.
void read_input(Input& input, const Screen& screen);

// Refreshes mouse_in_window from SDL's application state.
void refresh_mouse_focus(Input& input);
