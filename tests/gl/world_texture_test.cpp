#include "app/video.h"
#include "render/world_texture.h"
#include "window_support.h"

#include <SDL.h>
#include <SDL_image.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int side = 16;

// Distinct, asymmetric colours, so swapped channels or rows cannot pass.
void colour_at(int x, int y, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(x * 16);
    rgb[1] = static_cast<uint8_t>(y * 16);
    rgb[2] = static_cast<uint8_t>(x < 8 ? 200 : 40);
}

// Bytes per pixel and red mask of the image as the loader sees it, so each
// test is known to reach the case it names.
std::pair<int, uint32_t> loaded_format(const std::string& path) {
    SDL_Surface* s = IMG_Load(path.c_str());
    if (s == nullptr) return {0, 0};
    const std::pair<int, uint32_t> format{s->format->BytesPerPixel, s->format->Rmask};
    SDL_FreeSurface(s);
    return format;
}

uint8_t alpha_at(int x, int y) { return static_cast<uint8_t>(100 + x * 8 + y); }

std::string temp_file(const char* name) {
    return "/tmp/quill_texture_" + std::to_string(getpid()) + "_" + name;
}

class WorldTexture : public ::testing::Test {
protected:
    void SetUp() override {
        Screen screen;
        ASSERT_TRUE(open_window(screen, 160, 120));
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        SDL_Quit();
    }
    std::string keep(const std::string& path) {
        files_.push_back(path);
        return path;
    }

    // Level 0 of the bound texture as RGBA, rows in upload order.
    static std::vector<uint8_t> read_level(int level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!pixels.empty()) glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Loads path and checks every texel against colour_at, within tolerance
    // for images that store fewer bits per channel.
    void expect_picture(const std::string& path, int tolerance, bool varying_alpha = false) {
        const uint32_t name = load_world_texture(path.c_str(), false);
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);
        const std::vector<uint8_t> texels = read_level(0);
        ASSERT_EQ(texels.size(), static_cast<size_t>(side * side * 4));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                uint8_t want[3];
                colour_at(x, y, want);
                const uint8_t* got = &texels[(y * side + x) * 4];
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(got[c], want[c], tolerance) << path << " at " << x << "," << y << " channel " << c;
                ASSERT_EQ(got[3], varying_alpha ? alpha_at(x, y) : 255);
            }
        GLuint n = name;
        glDeleteTextures(1, &n);
    }

    std::vector<std::string> files_;
};

// PNGs load with red in the lowest byte: uploaded as RGBA, or RGB when opaque.
TEST_F(WorldTexture, RgbaAndRgbImagesUploadUnswapped) {
    for (bool translucent : {true, false}) {
        std::vector<uint8_t> rgba(side * side * 4);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                colour_at(x, y, &rgba[(y * side + x) * 4]);
                rgba[(y * side + x) * 4 + 3] = translucent ? alpha_at(x, y) : 255;
            }
        const std::string path = keep(temp_file(translucent ? "rgba.png" : "rgb.png"));
        ASSERT_EQ(lodepng_encode32_file(path.c_str(), rgba.data(), side, side), 0u);
        ASSERT_EQ(loaded_format(path), (std::pair<int, uint32_t>{translucent ? 4 : 3, 0xFFu}));
        expect_picture(path, 0, translucent);
    }
}

// A 32-bit TGA loads with blue in the lowest byte: uploaded as BGRA; a
// 24-bit BMP likewise as BGR.
TEST_F(WorldTexture, BgraAndBgrImagesUploadUnswapped) {
    std::vector<uint8_t> tga(18 + side * side * 4, 0);
    tga[2] = 2;  // uncompressed true colour
    tga[12] = side;
    tga[14] = side;
    tga[16] = 32;
    tga[17] = 0x28;  // 8 alpha bits, rows top to bottom
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t c[3];
            colour_at(x, y, c);
            uint8_t* p = &tga[18 + (y * side + x) * 4];
            p[0] = c[2];
            p[1] = c[1];
            p[2] = c[0];
            p[3] = 255;
        }
    const std::string tga_path = keep(temp_file("bgra.tga"));
    FILE* f = std::fopen(tga_path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(tga.data(), 1, tga.size(), f);
    std::fclose(f);
    ASSERT_EQ(loaded_format(tga_path), (std::pair<int, uint32_t>{4, 0xFF0000u}));
    expect_picture(tga_path, 0);

    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, side, side, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t c[3];
            colour_at(x, y, c);
            uint8_t* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 3;
            p[0] = c[2];
            p[1] = c[1];
            p[2] = c[0];
        }
    const std::string bmp_path = keep(temp_file("bgr.bmp"));
    ASSERT_EQ(SDL_SaveBMP(s, bmp_path.c_str()), 0);
    SDL_FreeSurface(s);
    ASSERT_EQ(loaded_format(bmp_path), (std::pair<int, uint32_t>{3, 0xFF0000u}));
    expect_picture(bmp_path, 0);
}

// A palette image is converted to 32 bits before the upload.
TEST_F(WorldTexture, PaletteImageIsConverted) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, side, side, 8, 0, 0, 0, 0);
    ASSERT_NE(s, nullptr);
    SDL_Color palette[256];
    for (int i = 0; i < 256; ++i) {
        colour_at(i % side, i / side, &palette[i].r);
        palette[i].unused = 0;
    }
    // SDL_Color is r, g, b, unused; colour_at filled r, g, b in place.
    ASSERT_EQ(SDL_SetColors(s, palette, 0, 256), 1);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) static_cast<uint8_t*>(s->pixels)[y * s->pitch + x] = static_cast<uint8_t>(y * side + x);
    const std::string path = keep(temp_file("palette.bmp"));
    ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
    SDL_FreeSurface(s);
    ASSERT_EQ(loaded_format(path).first, 1);
    expect_picture(path, 0);
}

// A 16-bit image (5 bits per channel) is converted, not misread.
TEST_F(WorldTexture, SixteenBitImageIsConverted) {
    std::vector<uint8_t> tga(18 + side * side * 2, 0);
    tga[2] = 2;
    tga[12] = side;
    tga[14] = side;
    tga[16] = 16;
    tga[17] = 0x21;  // one alpha bit, rows top to bottom
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t c[3];
            colour_at(x, y, c);
            const uint16_t v = static_cast<uint16_t>(0x8000 | (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3));
            tga[18 + (y * side + x) * 2] = static_cast<uint8_t>(v & 0xFF);
            tga[18 + (y * side + x) * 2 + 1] = static_cast<uint8_t>(v >> 8);
        }
    const std::string path = keep(temp_file("rgb555.tga"));
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(tga.data(), 1, tga.size(), f);
    std::fclose(f);
    ASSERT_EQ(loaded_format(path).first, 2);
    expect_picture(path, 8);
}

TEST_F(WorldTexture, MissingImageLeavesTheWorldUntextured) {
    auto world = std::make_unique<World>();
    init_atlas_tiles(*world, "/nonexistent/worldtexture.png", true);
    EXPECT_EQ(world->world_texture, 0u);
    EXPECT_EQ(world->tile_blocks.st[0], 0.0625f);  // the tiles are set all the same
    EXPECT_EQ(world->tile_blocks.st[1], 0.9375f);
}

// The game's own atlas: one level without mipmaps, a whole chain with them.
TEST_F(WorldTexture, MipmappingBuildsTheChain) {
    const uint32_t plain = load_world_texture("Media/worldtexture.png", false);
    ASSERT_NE(plain, 0u);
    glBindTexture(GL_TEXTURE_2D, plain);
    GLint filter = 0, wrap = 0, width = 0, level1 = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_GT(width, 0);
    EXPECT_EQ(level1, 0);

    auto world = std::make_unique<World>();
    init_atlas_tiles(*world, "Media/worldtexture.png", true);
    ASSERT_NE(world->world_texture, 0u);
    EXPECT_NE(world->world_texture, plain);
    glBindTexture(GL_TEXTURE_2D, world->world_texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    int levels = 0;
    for (GLint w = 1; levels < 20; ++levels) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
        if (w == 0) break;
    }
    EXPECT_GT(levels, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
