// The 2D layer: textured quads in screen pixels (origin top left, y down)
// from the 1024 x 256 dashboard atlas, a fixed-width atlas font and
// nine-slice panels. The layout of panels and text is computed by pure
// functions; the GL side only issues the quads.
#pragma once

#include "render/screen.h"

#include <cstdint>

// Texture coordinates of one atlas rectangle, corner by corner:
// (x, y+h), (x+w, y+h), (x+w, y), (x, y), in atlas units (u = px/1024,
// v = py/256).
struct AtlasQuad {
    float uv[8] = {};
};

// The 2D atlas texture and its tables, built once by load_dashboard.
struct Atlas2D {
    uint32_t texture = 0;         // GL texture name
    AtlasQuad glyph_table[95];    // codes 32..126
    AtlasQuad panel_table[27];    // style * 9 + column * 3 + row
    AtlasQuad cursor_texcoords;
    AtlasQuad top_bar_texcoords;
    AtlasQuad bottom_bar_texcoords;
};

// Fills the texture coordinates of the atlas pixel rectangle (x, y, w, h).
void atlas_quad(AtlasQuad& out, float x, float y, float w, float h);
