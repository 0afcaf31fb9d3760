// The pause screen's frame: the 2D atlas (loaded here), the sliding top and
// bottom bars with title, version, date, clock and footer lines, and the
// pointer sprite that stands in for the mouse pointer while the game is
// frozen. Layout is pure (dashboard.cpp); dashboard_gl.cpp issues it.
#pragma once

#include "render/draw2d.h"
#include "render/web_address.h"

#include <cstddef>

struct SDL_Surface;

constexpr int atlas_width = 1024;
constexpr int atlas_height = 256;
constexpr int bar_art_height = 68;  // pixels of each bar in the atlas

constexpr const char* footer_text_1 = "";
constexpr const char* footer_text_2 = game_web_address;

// How many pixels the bars are pushed out of the window: 68 at fade 0
// (wholly outside), 0 at fade 100 (fully in).
int bar_slide(float pause_fade);

// "v" and the version with six decimals, trailing zeros trimmed but one
// digit kept after the point: 0.1 -> "v0.1", 2.0 -> "v2.0".
void format_version_text(char* out, size_t size, float version_number);

// Where everything of the dashboard goes for one pause_fade.
struct DashboardLayout {
    float top_bar_y = 0, bottom_bar_y = 0;  // both bars span the window's width, 60 high
    int title_x = 0, title_y = 0;
    int version_x = 0, version_y = 0;
    int date_x = 0, date_y = 0;    // right-aligned at the window's width - 20
    int clock_x = 0, clock_y = 0;
    int footer1_x = 0, footer1_y = 0;
    int footer2_x = 0, footer2_y = 0;
};
DashboardLayout dashboard_layout(const Screen& screen, float pause_fade, const char* date_text,
                                 const char* clock_text);

// GL side (dashboard_gl.cpp; the loading in dashboard_load_sdl.cpp, or
// dashboard_load_lodepng.cpp in the browser and on Windows).

// Loads the atlas image at path into a 1024 x 256 texture (a smaller image
// leaves the rest transparent, a larger one is cut) and builds every table.
// Returns false, with SDL's error set, when the image cannot be loaded.
bool load_dashboard(Atlas2D& atlas, const char* path);

// A new linear-filtered, repeating GL texture, left bound for its pixels.
uint32_t new_atlas_texture();

// A new atlas texture holding the surface's pixels (3 or 4 bytes per pixel;
// rows as SDL pads them).
uint32_t texture_from_surface(SDL_Surface* surface);

// Draws both bars with their texts, slid out by pause_fade.
void draw_dashboard(Atlas2D& atlas, const Screen& screen, float pause_fade,
                    const char* title_text, float version_number,
                    const char* date_text, const char* clock_text);

// Draws the pointer sprite with its hot spot at (x, y).
void draw_cursor(const Atlas2D& atlas, const Screen& screen, int x, int y);
