// The 2D layer: textured quads in screen pixels (origin top left, y down)
// from the 1024 x 256 dashboard atlas, a fixed-width atlas font and
// nine-slice panels. The layout of panels and text is computed by pure
// functions writing quads into a fixed batch; the GL side only issues them,
// so the layout can be checked without a window, and drawing allocates
// nothing.
#pragma once

#include "render/screen.h"

#include <cstdint>

// Texture coordinates of one atlas rectangle, corner by corner:
// (x, y+h), (x+w, y+h), (x+w, y), (x, y), in atlas units (u = px/1024,
// v = py/256).
struct AtlasQuad {
    float uv[8] = {};
};

constexpr int glyph_count = 95;         // character codes 32..126
constexpr int panel_style_count = 3;    // 0 plain, 1 highlighted, 2 unused
constexpr int panel_piece_size = 20;    // pixels, in the atlas and on screen
constexpr int text_advance = 10;        // pixels per character
constexpr int glyph_cell_size = 20;     // each cell overlaps its neighbours by 5

// One screen quad (x, y, w, h) showing an atlas table entry: an index into
// glyph_table for text cells, into panel_table for panel pieces.
struct Quad2D {
    float x = 0, y = 0, w = 0, h = 0;
    int entry = 0;
};

// Quads one layout call writes at most. Every panel and text the game draws
// fits (a menu button is 54 pieces, the HUD's frame-rate line 28 cells);
// anything larger is laid out and drawn one batch at a time.
constexpr int quad_batch_capacity = 64;

// A stretch of a layout: quads[0 .. count - 1].
struct QuadBatch {
    Quad2D quads[quad_batch_capacity];
    int count = 0;
};

// The 2D atlas texture and its tables, built once by load_dashboard.
struct Atlas2D {
    uint32_t texture = 0;                 // GL texture name, 0 before loading
    AtlasQuad glyph_table[glyph_count];   // entry code - 32
    AtlasQuad panel_table[panel_style_count * 9];  // style * 9 + column * 3 + row
    AtlasQuad cursor_texcoords;
    AtlasQuad top_bar_texcoords;
    AtlasQuad bottom_bar_texcoords;
    // Working storage of draw_text and draw_panel, kept here so that drawing
    // allocates nothing; it holds nothing between calls.
    QuadBatch batch;
};

// Fills the texture coordinates of the atlas pixel rectangle (x, y, w, h).
void atlas_quad(AtlasQuad& out, float x, float y, float w, float h);

// Builds glyph_table, panel_table, the pointer and both bar entries. Leaves
// the texture name alone.
void build_atlas_tables(Atlas2D& atlas);

// Index into panel_table of the piece in column c (0 left .. 2 right) and
// row r (0 top .. 2 bottom) of a style.
inline int panel_entry(int style, int column, int row) { return style * 9 + column * 3 + row; }

// Vertex positions of a screen quad in the atlas corner order:
// (x, y+h), (x+w, y+h), (x+w, y), (x, y).
void screen_quad_vertices(float out[8], float x, float y, float w, float h);

// The pieces of a panel whose inner rectangle is (x, y, w, h), in drawing
// order: corners, bottom, top, right and left edges, centre. Every edge and
// the centre end with their remainder pieces, issued even when zero wide.
// Writes the pieces first .. first + quad_batch_capacity - 1 of that order
// into batch (fewer at the end) and returns the panel's number of pieces.
int panel_pieces(QuadBatch& batch, int first, int x, int y, int w, int h, int style);

// The glyph cells of a text with its pen at (pen_x, pen_y), top of the
// cells. Characters outside 32..126 get no cell but keep their advance.
// Writes the cells first .. first + quad_batch_capacity - 1 into batch and
// returns the text's number of cells.
int text_cells(QuadBatch& batch, int first, const char* text, int pen_x, int pen_y);

// Pen x that centres a text of n characters on cx, and that right-aligns it
// so its last advance ends at rx.
inline int centred_pen_x(int cx, int n) { return cx - 5 * n; }
inline int right_aligned_pen_x(int rx, int n) { return rx - text_advance * n; }

// GL side (draw2d_gl.cpp); a current GL context is required.

// Depth test off, identity modelview, projection = gluOrtho2D over the
// window in pixels with y down. Leaves the projection matrix current.
void set_ortho_2d(const Screen& screen);
// set_ortho_2d, then texturing, blending, alpha test and the vertex and
// texture-coordinate arrays on, the atlas bound.
void begin_2d_drawing(const Atlas2D& atlas, const Screen& screen);
// Arrays, texturing, blending and alpha test off again.
void end_2d_drawing();
// One quad between begin_2d_drawing and end_2d_drawing.
void draw_textured_quad(float x, float y, float w, float h, const AtlasQuad& quad);
// Text in the atlas font; brackets itself with begin and end. Lays out in
// atlas.batch.
void draw_text(Atlas2D& atlas, const Screen& screen, const char* text, int pen_x, int pen_y);
// Panel around the inner rectangle (x, y, w, h) with its 20-pixel border
// outside it; brackets itself with begin and end. Lays out in atlas.batch.
void draw_panel(Atlas2D& atlas, const Screen& screen, int x, int y, int w, int h, int style);
