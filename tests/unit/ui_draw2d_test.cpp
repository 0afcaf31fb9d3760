// The 2D layer: panels and text.
#include "render/draw2d.h"

#include <gtest/gtest.h>

#include <algorithm>
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
