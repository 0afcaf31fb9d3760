#include "render/draw2d.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Atlas pixel rectangle an AtlasQuad stands for, read back from its corners.
struct PixelRect {
    float x, y, w, h;
};
PixelRect atlas_rect(const AtlasQuad& q) {
    return {q.uv[6] * 1024.0f, q.uv[7] * 256.0f, (q.uv[2] - q.uv[0]) * 1024.0f,
            (q.uv[1] - q.uv[5]) * 256.0f};
}

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

TEST(Draw2D, AtlasQuadListsCornersBottomLeftFirstInAtlasUnits) {
    AtlasQuad q;
    atlas_quad(q, 440, 60, 40, 60);
    const float expected[8] = {440 / 1024.0f, 120 / 256.0f, 480 / 1024.0f, 120 / 256.0f,
                               480 / 1024.0f, 60 / 256.0f,  440 / 1024.0f, 60 / 256.0f};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(q.uv[i], expected[i]) << i;

    // Screen quads use the same corner order, so the art shows upright.
    float v[8];
    screen_quad_vertices(v, 10, 20, 30, 40);
    const float corners[8] = {10, 60, 40, 60, 40, 20, 10, 20};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(v[i], corners[i]) << i;
}

TEST(Draw2D, TablesCutFontPanelsPointerAndBarsFromTheAtlas) {
    static Atlas2D atlas;
    build_atlas_tables(atlas);
    auto expect_rect = [](const AtlasQuad& q, float x, float y, float w, float h) {
        const PixelRect r = atlas_rect(q);
        EXPECT_FLOAT_EQ(r.x, x);
        EXPECT_FLOAT_EQ(r.y, y);
        EXPECT_FLOAT_EQ(r.w, w);
        EXPECT_FLOAT_EQ(r.h, h);
    };
    expect_rect(atlas.glyph_table[0], 0, 0, 20, 20);          // space
    expect_rect(atlas.glyph_table['A' - 32], 20, 20, 20, 20);  // code 65: row 1, column 1
    expect_rect(atlas.glyph_table['~' - 32], 600, 40, 20, 20); // last glyph, row 2 column 30
    expect_rect(atlas.panel_table[panel_entry(0, 0, 0)], 0, 60, 20, 20);
    expect_rect(atlas.panel_table[panel_entry(1, 2, 1)], 100, 80, 20, 20);
    expect_rect(atlas.panel_table[panel_entry(2, 1, 2)], 140, 100, 20, 20);
    expect_rect(atlas.cursor_texcoords, 440, 60, 40, 60);
    expect_rect(atlas.top_bar_texcoords, 0, 120, 640, 68);
    expect_rect(atlas.bottom_bar_texcoords, 0, 188, 640, 68);
}

TEST(Draw2D, HudPanelHasFullEdgePiecesAndZeroWidthRemainders) {
    const std::vector<Quad2D> pieces = panel_pieces(20, 20, 280, 10, 0);
    // 4 corners, 15 + 15 along the top and bottom, 1 + 1 down the sides,
    // 14 + 1 in the centre.
    ASSERT_EQ(pieces.size(), 51u);
    EXPECT_EQ(pieces[0].x, 0);   // top-left corner
    EXPECT_EQ(pieces[0].y, 0);
    EXPECT_EQ(pieces[1].y, 30);  // bottom-left
    EXPECT_EQ(pieces[2].x, 300); // top-right
    EXPECT_EQ(pieces[3].x, 300); // bottom-right
    EXPECT_EQ(pieces[3].y, 30);

    // Bottom edge: 14 full pieces, then a zero-wide remainder at x + 280.
    for (int i = 0; i < 14; ++i) {
        const Quad2D& q = pieces[4 + i];
        EXPECT_EQ(q.x, 20 + 20 * i);
        EXPECT_EQ(q.y, 30);
        EXPECT_EQ(q.w, 20);
        EXPECT_EQ(q.entry, panel_entry(0, 1, 2));
    }
    EXPECT_EQ(pieces[18].x, 300);
    EXPECT_EQ(pieces[18].w, 0);
    EXPECT_EQ(pieces[19].y, 0);  // the top edge follows
    EXPECT_EQ(pieces[19].entry, panel_entry(0, 1, 0));

    // Sides: only a 10-high remainder each, right first.
    EXPECT_EQ(pieces[34].x, 300);
    EXPECT_EQ(pieces[34].h, 10);
    EXPECT_EQ(pieces[34].entry, panel_entry(0, 2, 1));
    EXPECT_EQ(pieces[35].x, 0);
    EXPECT_EQ(pieces[35].h, 10);
    EXPECT_EQ(pieces[35].entry, panel_entry(0, 0, 1));

    // Centre: 14 pieces of 20 x 10, then the empty corner remainder.
    for (int i = 0; i < 14; ++i) {
        const Quad2D& q = pieces[36 + i];
        EXPECT_EQ(q.x, 20 + 20 * i);
        EXPECT_EQ(q.y, 20);
        EXPECT_EQ(q.w, 20);
        EXPECT_EQ(q.h, 10);
        EXPECT_EQ(q.entry, panel_entry(0, 1, 1));
    }
    EXPECT_EQ(pieces[50].w, 0);
    EXPECT_EQ(pieces[50].h, 10);
}

TEST(Draw2D, SmallPanelIsCornersAndOneRemainderPerEdgeAndCentre) {
    const std::vector<Quad2D> pieces = panel_pieces(100, 200, 15, 7, 1);
    ASSERT_EQ(pieces.size(), 9u);
    const float expected[9][4] = {
        {80, 180, 20, 20},  {80, 207, 20, 20},  {115, 180, 20, 20}, {115, 207, 20, 20},
        {100, 207, 15, 20}, {100, 180, 15, 20}, {115, 200, 20, 7},  {80, 200, 20, 7},
        {100, 200, 15, 7},
    };
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(pieces[i].x, expected[i][0]) << i;
        EXPECT_EQ(pieces[i].y, expected[i][1]) << i;
        EXPECT_EQ(pieces[i].w, expected[i][2]) << i;
        EXPECT_EQ(pieces[i].h, expected[i][3]) << i;
        EXPECT_GE(pieces[i].entry, 9);
        EXPECT_LT(pieces[i].entry, 18);
    }
}

// Whatever the size, the pieces tile the panel exactly once, and each pixel
// shows the piece of its nine-slice region.
TEST(Draw2D, PanelPiecesTileThePanelWithTheRightPieces) {
    const int sizes[][2] = {{300, 15}, {280, 10}, {45, 47}, {40, 60}, {7, 3}, {0, 0}, {20, 19}};
    for (const auto& size : sizes) {
        const int x = 30, y = 25, w = size[0], h = size[1];
        const int pw = w + 40, ph = h + 40;
        std::vector<int> hits(static_cast<size_t>(pw * ph), 0);
        for (const Quad2D& q : panel_pieces(x, y, w, h, 2)) {
            EXPECT_GE(q.w, 0);
            EXPECT_GE(q.h, 0);
            if (q.w == 0 || q.h == 0) continue;  // empty remainders cover nothing
            const int column = q.x < x ? 0 : (q.x >= x + w ? 2 : 1);
            const int row = q.y < y ? 0 : (q.y >= y + h ? 2 : 1);
            EXPECT_EQ(q.entry, panel_entry(2, column, row)) << w << "x" << h;
            for (int py = static_cast<int>(q.y); py < q.y + q.h; ++py) {
                for (int px = static_cast<int>(q.x); px < q.x + q.w; ++px) {
                    ASSERT_GE(px, x - 20);
                    ASSERT_LT(px, x + w + 20);
                    ASSERT_GE(py, y - 20);
                    ASSERT_LT(py, y + h + 20);
                    ++hits[static_cast<size_t>((py - (y - 20)) * pw + px - (x - 20))];
                }
            }
        }
        for (size_t i = 0; i < hits.size(); ++i) {
            ASSERT_EQ(hits[i], 1) << w << "x" << h << " pixel " << i;
        }
    }
}

TEST(Draw2D, TextCellsAdvanceTenPixelsAndOverlapByFive) {
    const std::vector<Quad2D> cells = text_cells("Hi!", 100, 50);
    ASSERT_EQ(cells.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cells[i].x, 95 + 10 * i);
        EXPECT_EQ(cells[i].y, 50);
        EXPECT_EQ(cells[i].w, 20);
        EXPECT_EQ(cells[i].h, 20);
    }
    EXPECT_EQ(cells[0].entry, 'H' - 32);
    EXPECT_EQ(cells[2].entry, '!' - 32);

    EXPECT_TRUE(text_cells("", 0, 0).empty());

    // A character without a glyph is skipped but keeps its advance.
    const std::vector<Quad2D> odd = text_cells("a\tb\xe9", 0, 0);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[1].x, 15);
    EXPECT_EQ(odd[1].entry, 'b' - 32);

    EXPECT_EQ(centred_pen_x(160, 28), 20);
    EXPECT_EQ(right_aligned_pen_x(620, 30), 320);
}
