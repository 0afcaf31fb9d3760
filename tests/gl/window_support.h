// Opening the game's window in the in-process tests, through the real
// set-up code.
#pragma once

#include "app/settings.h"
#include "app/video.h"

// Settings asking for a window of width x height (0: the desktop's) and
// nothing else.
inline Settings windowed(float width, float height) {
    Settings settings;
    settings.screen_width = width;
    settings.screen_height = height;
    settings.aspect_ratio = width / height;
    return settings;
}

// Opens a width x height window; false when the set-up fails.
inline bool open_window(Screen& screen, int width, int height) {
    return setup_video(windowed(static_cast<float>(width), static_cast<float>(height)), screen) == 0;
}
