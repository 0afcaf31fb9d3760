#include "render/world_texture.h"

#include <gtest/gtest.h>

TEST(TextureLayout, ChannelOrderFollowsTheRedMask) {
    const TextureLayout rgba = choose_texture_layout(4, 0x000000FFu);
    EXPECT_EQ(rgba.layout, texture_layout_rgba);
    EXPECT_EQ(rgba.components, 4);
    const TextureLayout bgra = choose_texture_layout(4, 0x00FF0000u);
    EXPECT_EQ(bgra.layout, texture_layout_bgra);
    EXPECT_EQ(bgra.components, 4);
    const TextureLayout rgb = choose_texture_layout(3, 0x000000FFu);
    EXPECT_EQ(rgb.layout, texture_layout_rgb);
    EXPECT_EQ(rgb.components, 3);
    const TextureLayout bgr = choose_texture_layout(3, 0x00FF0000u);
    EXPECT_EQ(bgr.layout, texture_layout_bgr);
    EXPECT_EQ(bgr.components, 3);
}

// Palette, 16-bit and oddly ordered pixels are not uploaded as they stand.
TEST(TextureLayout, OtherPixelsAskForConversion) {
    EXPECT_EQ(choose_texture_layout(1, 0).layout, 0u);
    EXPECT_EQ(choose_texture_layout(2, 0x7C00u).layout, 0u);
    EXPECT_EQ(choose_texture_layout(2, 0xF800u).layout, 0u);
    EXPECT_EQ(choose_texture_layout(4, 0xFF000000u).layout, 0u);
    EXPECT_EQ(choose_texture_layout(4, 0x0000FF00u).layout, 0u);
}

TEST(TextureLayout, AlignmentMatchesThePitch) {
    EXPECT_EQ(unpack_alignment_for(64, 4, 256), 8);
    EXPECT_EQ(unpack_alignment_for(5, 3, 16), 8);   // 15 bytes padded to 16
    EXPECT_EQ(unpack_alignment_for(5, 3, 15), 1);
    EXPECT_EQ(unpack_alignment_for(3, 3, 10), 2);
    EXPECT_EQ(unpack_alignment_for(7, 4, 28), 4);
    EXPECT_EQ(unpack_alignment_for(5, 3, 24), 0);   // wider than any alignment explains
}
