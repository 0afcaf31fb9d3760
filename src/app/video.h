// Opening the game's one window as an OpenGL window and setting the GL state
// that holds for the whole run.
#pragma once

#include "app/settings.h"
#include "render/screen.h"
#include "render/web_address.h"

// Exit codes of a failed start.
constexpr int exit_sdl_failed = 1;    // SDL's video cannot start (no display)
constexpr int exit_video_failed = 3;  // the OpenGL window cannot be opened

// Opens the window from the settings (a zero width or height takes the
// desktop's) and fills screen with the size, depth and aspect obtained. Sets
// the fixed GL state: viewport, projection, clear values, depth test, culling,
// blend and alpha functions, and where the GL takes them the shading model
// and, with antialiasing, the multisample and smoothing state. A mode refused
// with multisampling is tried once more without it. Returns 0 on success;
// otherwise prints one line with SDL's reason on stderr, shuts SDL down and
// returns the exit code to end with.
int setup_video(const Settings& settings, Screen& screen);
