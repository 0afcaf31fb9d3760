// The 2D layer: panels, text, and where the dashboard and menu put their pieces.
#include "app/pause.h"
#include "render/dashboard.h"
#include "render/draw2d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

// Every quad of a layout, gathered batch by batch.
template <typename Layout>
std::vector<Quad2D> gather(Layout layout) {
    static QuadBatch batch;
    std::vector<Quad2D> out;
    for (int first = 0;; first += quad_batch_capacity) {
        const int total = layout(batch, first);
        out.insert(out.end(), batch.quads, batch.quads + batch.count);
        if (total - first <= quad_batch_capacity) return out;
    }
}
std::vector<Quad2D> panel_pieces(int x, int y, int w, int h, int style) {
    return gather([&](QuadBatch& b, int first) { return panel_pieces(b, first, x, y, w, h, style); });
}
std::vector<Quad2D> text_cells(const char* text, int pen_x, int pen_y) {
    return gather([&](QuadBatch& b, int first) { return text_cells(b, first, text, pen_x, pen_y); });
}

}  // namespace

// The pieces cover the panel and its 20-pixel border exactly once, each pixel with its nine-slice piece.
TEST(Draw2D, PanelPiecesTileThePanelOnce) {
    for (const auto& [w, h] : {std::pair{300, 15}, {280, 10}, {45, 47}, {40, 60}, {7, 3}, {0, 0}, {20, 19}, {61, 0}}) {
        std::vector<int> hits(size_t((w + 40) * (h + 40)), 0);
        for (const Quad2D& q : panel_pieces(30, 25, w, h, 2)) {
            const int column = q.x < 30 ? 0 : (q.x >= 30 + w ? 2 : 1), row = q.y < 25 ? 0 : (q.y >= 25 + h ? 2 : 1);
            ASSERT_TRUE(q.w >= 0 && q.h >= 0 && (q.w * q.h == 0 || q.entry == panel_entry(2, column, row)));
            for (int py = int(q.y); py < q.y + q.h; ++py)
                for (int px = int(q.x); px < q.x + q.w; ++px) {
                    ASSERT_TRUE(px >= 10 && px < 50 + w && py >= 5 && py < 45 + h) << w << "x" << h;
                    ++hits[size_t((py - 5) * (w + 40) + px - 10)];
                }
        }
        EXPECT_EQ(std::count(hits.begin(), hits.end(), 1), std::ptrdiff_t(hits.size())) << w << "x" << h;
    }
}

// Cells are 20 wide and advance by 10, also past a character without a glyph; aligned texts end where asked.
TEST(Draw2D, TextAdvancesByTen) {
    const std::vector<Quad2D> cells = text_cells(" a\tb\xe9~\x7f!", 100, 50);
    const int want[][2] = {{95, ' '}, {105, 'a'}, {125, 'b'}, {145, '~'}, {165, '!'}};
    ASSERT_EQ(cells.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(cells[i].x == want[i][0] && cells[i].entry == want[i][1] - 32 && cells[i].y == 50 &&
                    cells[i].w == 20 && cells[i].h == 20) << i;
    for (int n : {0, 1, 11, 28})
        EXPECT_TRUE(2 * centred_pen_x(160, n) + 10 * n == 320 && right_aligned_pen_x(620, n) + 10 * n == 620) << n;
}

// The dashboard and menu where the design puts them, on two windows with the menu in and half out (the bars
// 34 pixels out); what the pointer, the bars, a glyph and a panel piece show of the 1024 x 256 atlas.
TEST(Draw2D, DashboardMenuAndAtlasLayout) {
    for (const auto& [w, h, fade, slide] : {std::tuple{640, 480, 100, 0}, {640, 480, 50, 34}, {1024, 768, 50, 34}}) {
        const Screen screen{float(w), float(h)};
        const DashboardLayout l = dashboard_layout(screen, float(fade), "Friday December 5th 2025", "9:05:07 PM");
        EXPECT_EQ(std::vector<float>({l.top_bar_y, l.bottom_bar_y, float(l.title_x), float(l.title_y),
                                      float(l.version_x), float(l.version_y), float(l.date_x), float(l.date_y),
                                      float(l.clock_x), float(l.clock_y), float(l.footer1_x), float(l.footer1_y),
                                      float(l.footer2_x), float(l.footer2_y)}),
                  std::vector<float>({float(-slide), float(h - 60 + slide), 20, float(18 - slide), 20,
                                      float(38 - slide), float(w - 260), float(18 - slide), float(w - 120),
                                      float(38 - slide), 20, float(h - 58 + slide), 20, float(h - 38 + slide)}))
            << w << " " << fade;
        EXPECT_TRUE(menu_column_x(screen) == w / 2 && menu_first_button_y(screen, 0) == h + h / 2 - 125 &&
                    menu_first_button_y(screen, 100) == h / 2 - 125) << w;
    }
    static Atlas2D atlas;
    build_atlas_tables(atlas);
    const struct { const AtlasQuad& quad; float x, y, w, h; } pieces[] = {
        {atlas.cursor_texcoords, 440, 60, 40, 60}, {atlas.top_bar_texcoords, 0, 120, 640, 68},
        {atlas.bottom_bar_texcoords, 0, 188, 640, 68}, {atlas.glyph_table['~' - 32], 600, 40, 20, 20},
        {atlas.panel_table[panel_entry(2, 1, 2)], 140, 100, 20, 20}};
    for (const auto& p : pieces) {  // corners (x, y + h), (x + w, y + h), (x + w, y), (x, y)
        const float u0 = p.x / 1024, u1 = (p.x + p.w) / 1024, v0 = p.y / 256, v1 = (p.y + p.h) / 256;
        EXPECT_EQ(std::vector<float>(p.quad.uv, p.quad.uv + 8), std::vector<float>({u0, v1, u1, v1, u1, v0, u0, v0}))
            << p.x << " " << p.y;
    }
}
