// What the game's window asks of what holds it, the desktop or, in the
// browser, the page: the size a zero setting stands for, how the window is
// shown, whether the pointer is over it, and the page's touch controls.
#pragma once

#include "app/controls.h"
#include "app/settings.h"
#include "render/screen.h"

// Fills screen's width and height when either is zero: the desktop's size,
// or the browser window's in a page (only the zero one there). Sets the
// aspect ratio to match. Returns false when the size cannot be found;
// SDL_GetError says why. Call after SDL_Init, before opening the window.
bool host_fill_zero_size(Screen& screen);

// Whether a window of w x h may be asked for. The desktop's SDL judges the
// size itself; the browser's would take any, even a canvas it cannot make,
// so a page refuses a width or height below 1, as the desktop's SDL does.
bool host_size_allowed(int w, int h);

// Shows or hides the system pointer over the window as showcursor asks. A
// page also learns that full screen is wanted (fullscreen), which it asks
// the browser for at the player's first click. Call once the window is open.
void host_show_window(const Settings& settings);

// Whether the pointer is over the window. The browser's SDL reports mouse
// focus only under pointer lock, so a page asks whether the pointer is over
// the canvas.
bool host_has_pointer();

// Copies the touch controls the page lays over the game into touch, indexed
// by TouchControl. The desktop has none and leaves touch as it is.
void host_read_touch(TouchPoint* touch);
