// Turning SDL's queued key and button events into the per-pass input
// record, and reading the pad and, in a page, the touch controls beside them.
#pragma once

#include "app/controls.h"
#include "render/screen.h"
#include "sim/input.h"

// Call once per pass, right after SDL_PumpEvents. States of 2 become 1; then
// every queued key press, every key release, every button press and every
// button release is taken out of SDL's queue, in that order by type, so a
// press and release between two passes leaves the key up (the press is not
// seen). Symbols of 500 or more and buttons of 10 or more are ignored. Events
// of other types stay queued. Samples the pointer and copies the window size
// into view_width and view_height.
void read_input(Input& input, const Screen& screen);

// Opens the first pad, if one is plugged in, and sets the layout of the
// platform's pads. Call once after the window is open.
void open_pads(Controls& controls);

// Call once per pass, right after SDL_PumpEvents: read_input into the
// device's record, then the pad (on the desktop, its queued events, taken
// in the order they came; a pad that sends an event counts as plugged in)
// and, in a page, the touch controls.
void read_controls(Controls& controls, const Screen& screen);

// Sets mouse_in_window from whether the window has mouse focus. The main loop
// calls it near the end of each pass, so the update sees the previous pass's
// value.
void refresh_mouse_focus(Input& input);

// Drops what read_input left in the queue (motion, focus, window events).
// Returns true when a close request was among them. Call at the end of each
// pass.
bool discard_unread_events();
