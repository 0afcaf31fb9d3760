#include "render/draw2d.h"

namespace {

constexpr float atlas_u = 0.0009765625f;  // 1 / 1024
constexpr float atlas_v = 0.00390625f;    // 1 / 256

// Walks a whole layout and keeps the quads from index first on, as many as
// the batch holds; index ends as the layout's number of quads.
struct BatchWriter {
    QuadBatch& batch;
    int first = 0;
    int index = 0;

    void push(int x, int y, int w, int h, int entry) {
        const int slot = index++ - first;
        if (slot < 0 || slot >= quad_batch_capacity) return;
        batch.quads[slot] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                             static_cast<float>(h), entry};
        batch.count = slot + 1;
    }
};

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

int panel_pieces(QuadBatch& batch, int first, int x, int y, int w, int h, int style) {
    const int size = panel_piece_size;
    const int n = w / size, m = h / size;
    const int rw = w - size * n, rh = h - size * m;
    batch.count = 0;
    BatchWriter out{batch, first};

    out.push(x - size, y - size, size, size, panel_entry(style, 0, 0));
    out.push(x - size, y + h, size, size, panel_entry(style, 0, 2));
    out.push(x + w, y - size, size, size, panel_entry(style, 2, 0));
    out.push(x + w, y + h, size, size, panel_entry(style, 2, 2));

    // Horizontal edges: bottom first, then top.
    const int edge_y[2] = {y + h, y - size};
    const int edge_row[2] = {2, 0};
    for (int e = 0; e < 2; ++e) {
        const int entry = panel_entry(style, 1, edge_row[e]);
        for (int i = 0; i < n; ++i) out.push(x + size * i, edge_y[e], size, size, entry);
        out.push(x + size * n, edge_y[e], rw, size, entry);
    }

    // Vertical edges: right first, then left.
    const int edge_x[2] = {x + w, x - size};
    const int edge_column[2] = {2, 0};
    for (int e = 0; e < 2; ++e) {
        const int entry = panel_entry(style, edge_column[e], 1);
        for (int j = 0; j < m; ++j) out.push(edge_x[e], y + size * j, size, size, entry);
        out.push(edge_x[e], y + size * m, size, rh, entry);
    }

    const int centre = panel_entry(style, 1, 1);
    for (int j = 0; j < m; ++j) {
        for (int i = 0; i < n; ++i) out.push(x + size * i, y + size * j, size, size, centre);
    }
    for (int j = 0; j < m; ++j) out.push(x + size * n, y + size * j, rw, size, centre);
    for (int i = 0; i < n; ++i) out.push(x + size * i, y + size * m, size, rh, centre);
    out.push(x + size * n, y + size * m, rw, rh, centre);
    return out.index;
}

int text_cells(QuadBatch& batch, int first, const char* text, int pen_x, int pen_y) {
    batch.count = 0;
    BatchWriter out{batch, first};
    for (int i = 0; text[i] != '\0'; ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        if (code < 32 || code > 126) continue;
        out.push(pen_x - 5 + text_advance * i, pen_y, glyph_cell_size, glyph_cell_size, code - 32);
    }
    return out.index;
}
