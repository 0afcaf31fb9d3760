// Both art loaders against hostile files, in-process: every broken file is
// refused (world texture 0, dashboard false) without a crash or a sanitizer
// report, and every unusual but valid one (palette, 16 bits per channel,
// grey, odd and extreme sizes) arrives in GL with the colours it holds.
#include "app/video.h"
#include "render/dashboard.h"
#include "render/world_texture.h"
#include "support/hostile_files.h"
#include "window_support.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class HostileArt : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quill_hostile_art_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        Screen screen;
        ASSERT_TRUE(open_window(screen, 160, 120));
    }
    void TearDown() override {
        SDL_Quit();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path dir_;
};

std::string shipped(const char* name) {
    std::ifstream in(std::string(QUILL_SOURCE_DIR) + "/Media/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Level 0 of texture name as RGBA, rows in upload order (the image's top
// row first), with its size.
RgbaPicture texture_pixels(uint32_t name) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    RgbaPicture picture{unsigned(w), unsigned(h), std::vector<uint8_t>(size_t(w) * h * 4)};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!picture.rgba.empty()) {
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
    }
    return picture;
}

// Compares the texels of the top-left want.width x want.height corner of a
// texture with a picture; stops at the first difference.
::testing::AssertionResult same_pixels(const RgbaPicture& got, const RgbaPicture& want) {
    if (got.width < want.width || got.height < want.height) {
        return ::testing::AssertionFailure() << "texture " << got.width << " x " << got.height
                                             << " smaller than the image";
    }
    for (unsigned y = 0; y < want.height; ++y) {
        for (unsigned x = 0; x < want.width; ++x) {
            const uint8_t* g = &got.rgba[(size_t(y) * got.width + x) * 4];
            const uint8_t* w = &want.rgba[(size_t(y) * want.width + x) * 4];
            for (int c = 0; c < 4; ++c) {
                if (g[c] != w[c]) {
                    return ::testing::AssertionFailure()
                           << "texel " << x << "," << y << " channel " << c << " is " << int(g[c])
                           << ", the image has " << int(w[c]);
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Valid files in the forms SDL_image hands over as something other than
// 8-bit RGB or RGBA, with what each must look like.
struct UnusualImage {
    const char* name;
    std::string bytes;
};

std::vector<UnusualImage> unusual_images() {
    const RgbaPicture picture = test_picture(48, 40);
    const RgbaPicture few = few_colour_picture(48, 40);
    RgbaPicture grey = picture;
    for (size_t i = 0; i < grey.rgba.size(); i += 4) grey.rgba[i + 1] = grey.rgba[i + 2] = grey.rgba[i];
    RgbaPicture translucent_grey = grey;
    for (size_t i = 3; i < translucent_grey.rgba.size(); i += 4) translucent_grey.rgba[i] = uint8_t(10 + i % 240);
    RgbaPicture translucent = picture;
    for (size_t i = 3; i < translucent.rgba.size(); i += 4) translucent.rgba[i] = uint8_t(10 + (i / 4) % 240);
    return {
        {"palette", encode_png(few, LCT_PALETTE, 8)},
        {"palette of 4 bits", encode_png(few_colour_picture(16, 8), LCT_PALETTE, 4)},
        {"16 bits per channel, RGB", encode_png(picture, LCT_RGB, 16)},
        {"16 bits per channel, RGBA", encode_png(translucent, LCT_RGBA, 16)},
        {"grey", encode_png(grey, LCT_GREY, 8)},
        {"grey with alpha", encode_png(translucent_grey, LCT_GREY_ALPHA, 8)},
    };
}

}  // namespace

TEST_F(HostileArt, BrokenFilesLeaveTheWorldUntextured) {
    const std::string valid = shipped("worldtexture.png");
    ASSERT_FALSE(valid.empty());
    for (const HostileFile& file : unusable_pngs(valid)) {
        const std::string path = write("worldtexture.png", file.bytes);
        for (bool mipmapping : {false, true}) {
            EXPECT_EQ(load_world_texture(path.c_str(), mipmapping), 0u)
                << file.name << (mipmapping ? ", mipmapped" : "");
        }
    }
    // A directory where the file should be, and no file at all.
    fs::create_directory(dir_ / "directory.png");
    EXPECT_EQ(load_world_texture((dir_ / "directory.png").c_str(), false), 0u);
    EXPECT_EQ(load_world_texture((dir_ / "missing.png").c_str(), false), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HostileArt, BrokenFilesAreRefusedAsDashboard) {
    const std::string valid = shipped("dashboard.png");
    ASSERT_FALSE(valid.empty());
    for (const HostileFile& file : unusable_pngs(valid)) {
        const std::string path = write("dashboard.png", file.bytes);
        Atlas2D atlas;
        EXPECT_FALSE(load_dashboard(atlas, path.c_str())) << file.name;
        EXPECT_EQ(atlas.texture, 0u) << file.name;
    }
    fs::create_directory(dir_ / "directory.png");
    Atlas2D atlas;
    EXPECT_FALSE(load_dashboard(atlas, (dir_ / "directory.png").c_str()));
}

// The refusals above are the file's fault, not the checks': the untouched
// file loads in both.
TEST_F(HostileArt, TheUntouchedFilesLoad) {
    const std::string world = write("worldtexture.png", shipped("worldtexture.png"));
    const std::string dashboard = write("dashboard.png", shipped("dashboard.png"));
    EXPECT_NE(load_world_texture(world.c_str(), false), 0u);
    Atlas2D atlas;
    EXPECT_TRUE(load_dashboard(atlas, dashboard.c_str()));
}

TEST_F(HostileArt, UnusualImagesReachTheWorldTextureUnchanged) {
    for (const UnusualImage& image : unusual_images()) {
        ASSERT_FALSE(image.bytes.empty()) << image.name;
        RgbaPicture want;
        ASSERT_TRUE(decode_png(image.bytes, want)) << image.name;
        const std::string path = write("worldtexture.png", image.bytes);
        const uint32_t name = load_world_texture(path.c_str(), false);
        ASSERT_NE(name, 0u) << image.name;
        const RgbaPicture got = texture_pixels(name);
        EXPECT_EQ(got.width, want.width) << image.name;
        EXPECT_EQ(got.height, want.height) << image.name;
        EXPECT_TRUE(same_pixels(got, want)) << image.name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HostileArt, UnusualImagesReachTheDashboardAtlasUnchanged) {
    for (const UnusualImage& image : unusual_images()) {
        RgbaPicture want;
        ASSERT_TRUE(decode_png(image.bytes, want)) << image.name;
        const std::string path = write("dashboard.png", image.bytes);
        Atlas2D atlas;
        ASSERT_TRUE(load_dashboard(atlas, path.c_str())) << image.name;
        const RgbaPicture got = texture_pixels(atlas.texture);
        EXPECT_EQ(got.width, 1024u) << image.name;
        EXPECT_EQ(got.height, 256u) << image.name;
        EXPECT_TRUE(same_pixels(got, want)) << image.name;
        // Beyond the image the atlas is transparent.
        EXPECT_EQ(got.rgba[(size_t(100) * 1024 + 600) * 4 + 3], 0) << image.name;
    }
}

// Any size loads as it is, the atlas tiles being fractions of the image:
// smaller and larger than the shipped 512 x 512, sizes that are not powers
// of two, and the widest image SDL accepts (16383; llvmpipe takes 16384),
// with and without mipmaps.
TEST_F(HostileArt, WorldTextureOfAnySizeLoadsAsItIs) {
    struct Size {
        unsigned w, h;
    };
    for (Size size : {Size{8, 8}, Size{60, 36}, Size{1000, 3}, Size{2048, 2048}, Size{16383, 4}}) {
        const RgbaPicture picture = test_picture(size.w, size.h);
        const std::string path = write("worldtexture.png", encode_png(picture, LCT_RGB, 8));
        for (bool mipmapping : {false, true}) {
            const uint32_t name = load_world_texture(path.c_str(), mipmapping);
            ASSERT_NE(name, 0u) << size.w << " x " << size.h;
            if (!mipmapping) {
                // Mipmaps may be rescaled by GLU; the plain upload must not be.
                const RgbaPicture got = texture_pixels(name);
                EXPECT_EQ(got.width, size.w);
                EXPECT_EQ(got.height, size.h);
                EXPECT_TRUE(same_pixels(got, picture)) << size.w << " x " << size.h;
            }
            GLuint n = name;
            glDeleteTextures(1, &n);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << size.w << " x " << size.h;
        }
    }
}
