// Checks the committed art (tools/make_art.py draws it) against what the
// drawing code relies on: where cells and pieces sit, which texels must stay
// transparent, and that the surfaces can be told apart.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* at(unsigned x, unsigned y) const { return &rgba[4 * (size_t(y) * width + x)]; }
    unsigned alpha(unsigned x, unsigned y) const { return at(x, y)[3]; }
    double luma(unsigned x, unsigned y) const {
        const unsigned char* p = at(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
    bool same(unsigned x0, unsigned y0, unsigned x1, unsigned y1) const {
        const unsigned char* a = at(x0, y0);
        const unsigned char* b = at(x1, y1);
        return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
    }
};

struct Colour {
    double r = 0, g = 0, b = 0;
};

double distance(Colour a, Colour b) {
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b));
}

Colour mean_colour(const Picture& p, unsigned x, unsigned y, unsigned w, unsigned h) {
    Colour c;
    for (unsigned j = y; j < y + h; ++j)
        for (unsigned i = x; i < x + w; ++i) {
            c.r += p.at(i, j)[0];
            c.g += p.at(i, j)[1];
            c.b += p.at(i, j)[2];
        }
    double n = double(w) * h;
    c.r /= n;
    c.g /= n;
    c.b /= n;
    return c;
}

Picture load(const char* name) {
    Picture p;
    std::string path = std::string(QUILL_SOURCE_DIR) + "/Media/" + name;
    unsigned error = lodepng::decode(p.rgba, p.width, p.height, path);
    EXPECT_EQ(error, 0u) << path << ": " << lodepng_error_text(error);
    return p;
}

class DashboardArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() { art = new Picture(load("dashboard.png")); }
    static void TearDownTestSuite() { delete art; }
    void SetUp() override {
        ASSERT_EQ(art->width, 1024u);
        ASSERT_EQ(art->height, 256u);
    }
    static Picture* art;
};
Picture* DashboardArt::art = nullptr;

unsigned glyph_x(int g) { return 20 * (g % 32); }
unsigned glyph_y(int g) { return 20 * (g / 32); }

// Cells are 20 wide but advance by 10, so each overlaps its neighbours by 5
// pixels; ink outside the middle 10 columns would cover the next character.
TEST_F(DashboardArt, GlyphInkStaysWithinItsAdvance) {
    for (int g = 0; g < 95; ++g)
        for (unsigned y = 0; y < 20; ++y)
            for (unsigned x = 0; x < 20; ++x) {
                if (x >= 5 && x < 15) continue;
                ASSERT_EQ(art->alpha(glyph_x(g) + x, glyph_y(g) + y), 0u)
                    << "character '" << char(g + 32) << "' has ink in column " << x;
            }
}

TEST_F(DashboardArt, EveryPrintableCharacterHasItsOwnGlyph) {
    for (unsigned y = 0; y < 20; ++y)
        for (unsigned x = 0; x < 20; ++x) ASSERT_EQ(art->alpha(x, y), 0u) << "the space is not blank";

    for (int g = 1; g < 95; ++g) {
        int bright = 0;
        for (unsigned y = 0; y < 20; ++y)
            for (unsigned x = 0; x < 20; ++x) {
                unsigned px = glyph_x(g) + x, py = glyph_y(g) + y;
                if (art->alpha(px, py) == 255 && art->luma(px, py) > 200) ++bright;
            }
        // Even '`' has a couple of solid light pixels; a missing glyph has none.
        EXPECT_GE(bright, 2) << "character '" << char(g + 32) << "' is missing or faint";
    }

    // A font without some characters would draw them all as the same box.
    for (int a = 1; a < 95; ++a)
        for (int b = a + 1; b < 95; ++b) {
            bool differ = false;
            for (unsigned y = 0; y < 20 && !differ; ++y)
                for (unsigned x = 0; x < 20 && !differ; ++x)
                    differ = !art->same(glyph_x(a) + x, glyph_y(a) + y, glyph_x(b) + x, glyph_y(b) + y);
            EXPECT_TRUE(differ) << "'" << char(a + 32) << "' and '" << char(b + 32) << "' look the same";
        }
}

unsigned piece_x(int style, int c) { return 60 * style + 20 * c; }
unsigned piece_y(int r) { return 60 + 20 * r; }

// Edges and centre are stretched to any length: an edge piece must not change
// along its length, and the centre must be one colour.
TEST_F(DashboardArt, PanelPiecesStretchWithoutSeams) {
    for (int s = 0; s < 3; ++s) {
        for (int r : {0, 2})
            for (unsigned y = 0; y < 20; ++y)
                for (unsigned x = 1; x < 20; ++x)
                    ASSERT_TRUE(art->same(piece_x(s, 1) + x, piece_y(r) + y, piece_x(s, 1), piece_y(r) + y))
                        << "style " << s << " horizontal edge row " << r << " varies along x at " << x;
        for (int c : {0, 2})
            for (unsigned x = 0; x < 20; ++x)
                for (unsigned y = 1; y < 20; ++y)
                    ASSERT_TRUE(art->same(piece_x(s, c) + x, piece_y(1) + y, piece_x(s, c) + x, piece_y(1)))
                        << "style " << s << " vertical edge column " << c << " varies along y at " << y;
        for (unsigned y = 0; y < 20; ++y)
            for (unsigned x = 0; x < 20; ++x)
                ASSERT_TRUE(art->same(piece_x(s, 1) + x, piece_y(1) + y, piece_x(s, 1), piece_y(1)))
                    << "style " << s << " centre is not uniform";
    }
}

// Walks from the panel's outer edge inwards and reports whether a solid light
// border pixel comes within the first ten pixels.
bool light_border_on(const Picture& p, unsigned x, unsigned y, int dx, int dy) {
    for (int k = 0; k < 10; ++k) {
        unsigned px = x + k * dx, py = y + k * dy;
        if (p.alpha(px, py) == 255 && p.luma(px, py) > 120) return true;
    }
    return false;
}

TEST_F(DashboardArt, PanelsHaveAClearBorderAndADarkInside) {
    for (int s = 0; s < 3; ++s) {
        unsigned x0 = piece_x(s, 0), y0 = piece_y(0);
        EXPECT_TRUE(light_border_on(*art, x0 + 30, y0, 0, 1)) << "style " << s << " top";
        EXPECT_TRUE(light_border_on(*art, x0 + 30, y0 + 59, 0, -1)) << "style " << s << " bottom";
        EXPECT_TRUE(light_border_on(*art, x0, y0 + 30, 1, 0)) << "style " << s << " left";
        EXPECT_TRUE(light_border_on(*art, x0 + 59, y0 + 30, -1, 0)) << "style " << s << " right";
        EXPECT_TRUE(light_border_on(*art, x0, y0, 1, 1)) << "style " << s << " top-left corner";
        EXPECT_TRUE(light_border_on(*art, x0 + 59, y0 + 59, -1, -1)) << "style " << s << " bottom-right corner";

        // White text sits on the centre piece.
        unsigned cx = piece_x(s, 1), cy = piece_y(1);
        EXPECT_GT(art->alpha(cx, cy), 128u) << "style " << s;
        EXPECT_LT(art->luma(cx, cy), 90.0) << "style " << s;
    }
}

// The brightest solid pixel on a line across the left border.
Colour side_border_colour(const Picture& p, int style) {
    unsigned y = piece_y(1) + 10, best = 0;
    for (unsigned x = piece_x(style, 0); x < piece_x(style, 0) + 20; ++x)
        if (p.alpha(x, y) == 255 && p.luma(x, y) > p.luma(best, y)) best = x;
    return mean_colour(p, best, y, 1, 1);
}

TEST_F(DashboardArt, PanelStylesArePlainlyDifferent) {
    Colour border[3], fill[3];
    for (int s = 0; s < 3; ++s) {
        border[s] = side_border_colour(*art, s);
        fill[s] = mean_colour(*art, piece_x(s, 1), piece_y(1), 20, 20);
    }
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            EXPECT_GT(distance(border[a], border[b]), 60.0) << "styles " << a << " and " << b;
            EXPECT_GT(distance(fill[a], fill[b]), 25.0) << "styles " << a << " and " << b;
        }
    // The hovered button must stand out from its neighbours at a glance.
    EXPECT_GT(distance(border[0], border[1]), 120.0);
    EXPECT_GT(distance(fill[0], fill[1]), 40.0);
}

// The sprite is drawn 12 pixels left of and 10 above the pointer position, so
// the arrow's tip must be exactly there and nothing may reach above or left.
TEST_F(DashboardArt, PointerTipIsItsHotSpot) {
    const unsigned x0 = 440, y0 = 60;
    EXPECT_EQ(art->alpha(x0 + 12, y0 + 10), 255u);
    int solid = 0;
    for (unsigned y = 0; y < 60; ++y)
        for (unsigned x = 0; x < 40; ++x) {
            if (x < 12 || y < 10) {
                ASSERT_EQ(art->alpha(x0 + x, y0 + y), 0u) << x << "," << y;
            }
            if (art->alpha(x0 + x, y0 + y) == 255) ++solid;
        }
    EXPECT_GT(solid, 150);
    // The arrow reaches at least 15 pixels down from its tip.
    EXPECT_GT(art->alpha(x0 + 13, y0 + 25), 200u);
}

// Bars carry white text (title and date above, footer below) over the frozen
// frame: they must be solid and dark under the text.
TEST_F(DashboardArt, BarsAreSolidAndDarkUnderTheText) {
    for (unsigned y = 120; y < 256; ++y)
        for (unsigned x = 0; x < 640; ++x) ASSERT_GE(art->alpha(x, y), 200u) << x << "," << y;
    // 68 art rows squeeze into 60 screen rows; the text covers screen rows
    // 18..58 of the top bar and 2..42 of the bottom bar.
    double top = 0, bottom = 0;
    for (unsigned x = 0; x < 640; ++x) {
        for (unsigned y = 120 + 20; y < 120 + 64; ++y) top += art->luma(x, y);
        for (unsigned y = 188 + 4; y < 188 + 48; ++y) bottom += art->luma(x, y);
    }
    EXPECT_LT(top / (640.0 * 44), 80.0);
    EXPECT_LT(bottom / (640.0 * 44), 80.0);
}

TEST(WorldArt, SurfacesAreDistinctAndTileSeamlessly) {
    Picture art = load("worldtexture.png");
    ASSERT_EQ(art.width, art.height);
    ASSERT_GE(art.width, 64u);
    ASSERT_EQ(art.width & (art.width - 1), 0u) << "not a power of two";

    const unsigned tile = art.width / 4, patch = tile / 2, inset = tile / 4;
    const char* names[4] = {"water", "ground", "falling block", "block"};
    Colour mean[4];
    for (int row = 0; row < 4; ++row) {
        unsigned x0 = inset, y0 = row * tile + inset;
        mean[row] = mean_colour(art, x0, y0, patch, patch);
        for (unsigned k = 0; k < patch; ++k) {
            ASSERT_EQ(art.alpha(x0 + k, y0 + k), 255u) << names[row];
            // Linear filtering reads one texel past each side of the patch;
            // it must continue the pattern or every face shows a seam.
            EXPECT_TRUE(art.same(x0 + patch, y0 + k, x0, y0 + k)) << names[row] << " right seam";
            EXPECT_TRUE(art.same(x0 - 1, y0 + k, x0 + patch - 1, y0 + k)) << names[row] << " left seam";
            EXPECT_TRUE(art.same(x0 + k, y0 + patch, x0 + k, y0)) << names[row] << " bottom seam";
            EXPECT_TRUE(art.same(x0 + k, y0 - 1, x0 + k, y0 + patch - 1)) << names[row] << " top seam";
        }
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_GT(distance(mean[a], mean[b]), 40.0) << names[a] << " and " << names[b];

    // Avatar and balls: one flat colour, unlike every world surface.
    const unsigned mx = 3 * tile + inset, my = 3 * tile + inset;
    for (unsigned y = my; y < my + patch; ++y)
        for (unsigned x = mx; x < mx + patch; ++x) ASSERT_TRUE(art.same(x, y, mx, my)) << "model material not flat";
    Colour model = mean_colour(art, mx, my, 1, 1);
    for (int row = 0; row < 4; ++row) EXPECT_GT(distance(model, mean[row]), 60.0) << names[row];
}

}  // namespace
