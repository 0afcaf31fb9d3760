// The committed art (tools/make_art.py draws it) against what the drawing
// code relies on.
#include <gtest/gtest.h>
#include <lodepng.h>

namespace {

struct Picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
    explicit Picture(const char* path) { EXPECT_EQ(lodepng::decode(rgba, width, height, path), 0u) << path; }
    unsigned alpha(unsigned x, unsigned y) const { return rgba[4 * (y * width + x) + 3]; }
    std::vector<unsigned char> texel(unsigned x, unsigned y) const { return {&rgba[4 * (y * width + x)], &rgba[4 * (y * width + x + 1)]}; }
};

}  // namespace

TEST(Art, GlyphInkAndPointerTip) {
    const Picture art(QUILL_SOURCE_DIR "/Media/dashboard.png");
    ASSERT_TRUE(art.width == 1024 && art.height == 256);
    // Glyph cells are 20 wide but advance by 10: ink outside the middle ten
    // columns would cover the neighbouring characters.
    for (unsigned g = 0; g < 95; ++g)
        for (unsigned y = 0; y < 20; ++y)
            for (unsigned x : {0, 1, 2, 3, 4, 15, 16, 17, 18, 19})
                ASSERT_EQ(art.alpha(g % 32 * 20 + x, g / 32 * 20 + y), 0u) << "'" << char(g + 32) << "' column " << x;
    // The pointer is drawn 12 left of and 10 above the pointer's position:
    // its tip is there, and nothing reaches above or left of it.
    EXPECT_EQ(art.alpha(440 + 12, 60 + 10), 255u);
    for (unsigned y = 0; y < 60; ++y)
        for (unsigned x = 0; x < 40; ++x) ASSERT_TRUE((x >= 12 && y >= 10) || art.alpha(440 + x, 60 + y) == 0) << x << "," << y;
}

// Each surface's patch repeats across faces, and linear filtering reads one
// texel past each side of it: that texel must continue the pattern.
TEST(Art, WorldTilesRepeatWithoutSeams) {
    const Picture art(QUILL_SOURCE_DIR "/Media/worldtexture.png");
    ASSERT_TRUE(art.width == art.height && art.width >= 64 && (art.width & (art.width - 1)) == 0);
    const unsigned tile = art.width / 4, patch = tile / 2, x = tile / 4;
    for (unsigned y = x; y < art.height; y += tile)
        for (unsigned k = 0; k < patch; ++k)
            EXPECT_TRUE(art.alpha(x + k, y + k) == 255 && art.texel(x + patch, y + k) == art.texel(x, y + k) &&
                        art.texel(x - 1, y + k) == art.texel(x + patch - 1, y + k) &&
                        art.texel(x + k, y + patch) == art.texel(x + k, y) &&
                        art.texel(x + k, y - 1) == art.texel(x + k, y + patch - 1)) << "tile row " << y / tile << ", " << k;
}
