#include "render/draw2d.h"

#include <cstddef>

namespace {

constexpr float atlas_u = 0.0009765625f;  // 1 / 1024
constexpr float atlas_v = 0.00390625f;    // 1 / 256

void push(std::vector<Quad2D>& out, int x, int y, int w, int h, int entry) {
    out.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                   static_cast<float>(h), entry});
}

}  // namespace

void atlas_quad(AtlasQuad& out, float x, float y, float w, float h) {
    screen_quad_vertices(out.uv, x, y, w, h);
    for (int i = 0; i < 8; i += 2) {
        out.uv[i] *= atlas_u;
        out.uv[i + 1] *= atlas_v;
    }
}

void build_atlas_tables(Atlas2D& atlas) {
    atlas_quad(atlas.cursor_texcoords, 440, 60, 40, 60);
    for (int g = 0; g < glyph_count; ++g) {
        atlas_quad(atlas.glyph_table[g], static_cast<float>(20 * (g % 32)),
                   static_cast<float>(20 * (g / 32)), 20, 20);
    }
    for (int s = 0; s < panel_style_count; ++s) {
        for (int c = 0; c < 3; ++c) {
            for (int r = 0; r < 3; ++r) {
                atlas_quad(atlas.panel_table[panel_entry(s, c, r)],
                           static_cast<float>(60 * s + 20 * c), static_cast<float>(60 + 20 * r),
                           20, 20);
            }
        }
    }
    atlas_quad(atlas.top_bar_texcoords, 0, 120, 640, 68);
    atlas_quad(atlas.bottom_bar_texcoords, 0, 188, 640, 68);
}

void screen_quad_vertices(float out[8], float x, float y, float w, float h) {
    const float corners[8] = {x, y + h, x + w, y + h, x + w, y, x, y};
    for (int i = 0; i < 8; ++i) out[i] = corners[i];
}

std::vector<Quad2D> panel_pieces(int x, int y, int w, int h, int style) {
    const int size = panel_piece_size;
    const int n = w / size, m = h / size;
    const int rw = w - size * n, rh = h - size * m;
    std::vector<Quad2D> out;
    out.reserve(static_cast<size_t>(4 + 2 * (n + 1) + 2 * (m + 1) + (n + 1) * (m + 1)));

    push(out, x - size, y - size, size, size, panel_entry(style, 0, 0));
    push(out, x - size, y + h, size, size, panel_entry(style, 0, 2));
    push(out, x + w, y - size, size, size, panel_entry(style, 2, 0));
    push(out, x + w, y + h, size, size, panel_entry(style, 2, 2));

    // Horizontal edges: bottom first, then top.
    const int edge_y[2] = {y + h, y - size};
    const int edge_row[2] = {2, 0};
    for (int e = 0; e < 2; ++e) {
        const int entry = panel_entry(style, 1, edge_row[e]);
        for (int i = 0; i < n; ++i) push(out, x + size * i, edge_y[e], size, size, entry);
        push(out, x + size * n, edge_y[e], rw, size, entry);
    }

    // Vertical edges: right first, then left.
    const int edge_x[2] = {x + w, x - size};
    const int edge_column[2] = {2, 0};
    for (int e = 0; e < 2; ++e) {
        const int entry = panel_entry(style, edge_column[e], 1);
        for (int j = 0; j < m; ++j) push(out, edge_x[e], y + size * j, size, size, entry);
        push(out, edge_x[e], y + size * m, size, rh, entry);
    }

    const int centre = panel_entry(style, 1, 1);
    for (int j = 0; j < m; ++j) {
        for (int i = 0; i < n; ++i) push(out, x + size * i, y + size * j, size, size, centre);
    }
    for (int j = 0; j < m; ++j) push(out, x + size * n, y + size * j, rw, size, centre);
    for (int i = 0; i < n; ++i) push(out, x + size * i, y + size * m, size, rh, centre);
    push(out, x + size * n, y + size * m, rw, rh, centre);
    return out;
}

std::vector<Quad2D> text_cells(const char* text, int pen_x, int pen_y) {
    std::vector<Quad2D> out;
    for (int i = 0; text[i] != '\0'; ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        if (code < 32 || code > 126) continue;
        push(out, pen_x - 5 + text_advance * i, pen_y, glyph_cell_size, glyph_cell_size, code - 32);
    }
    return out;
}
