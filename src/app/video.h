// Opening the game's one window as an OpenGL window and setting the GL state
// that holds for the whole run.
#pragma once

#include "app/settings.h"
#include "render/screen.h"

// Exit codes of a failed start.
constexpr int exit_sdl_failed = 1;
constexpr int exit_video_failed = 3;

// Opens the window from the settings and fills screen with what was
// obtained. Returns 0 on success, or the exit code to end the program with
// after printing the reason on stderr.
int setup_video(const Settings& settings, Screen& screen);
