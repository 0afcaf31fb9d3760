// The pause screen's frame: the 2D atlas (loaded here), the sliding top and
// bottom bars with title, version, date and clock, and the pointer sprite.
#pragma once

#include "render/draw2d.h"

// Loads the atlas image into atlas.texture and builds every table. Returns
// false when the image cannot be loaded.
bool load_dashboard(Atlas2D& atlas, const char* path);

// Draws both bars, slid out by pause_fade (0 gone, 100 fully in).
void draw_dashboard(const Atlas2D& atlas, const Screen& screen, float pause_fade,
                    const char* title_text, float version_number,
                    const char* date_text, const char* clock_text);

// Draws the pointer sprite with its hot spot at (x, y).
void draw_cursor(const Atlas2D& atlas, const Screen& screen, int x, int y);
