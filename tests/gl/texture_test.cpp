// Both art loaders: every image form SDL_image hands over reaches GL with the
// colours it holds, and broken files are refused without a crash.
#include "gl_support.h"
#include "render/dashboard.h"
#include "render/world_texture.h"

using Textures = GlTest;

// Every channel varies with x and y, so swapped channels, rows or columns
// show; grey or with varying alpha when asked.
static std::vector<uint8_t> picture(int w, int h, bool grey = false, bool translucent = false) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int r = (x * 16 + y) & 255, g = y * 16 + 3 * x, b = 2 * x < w ? 200 - y : 40 + y;
            const int a = translucent ? 100 + x * 8 + y : 255;
            rgba.insert(rgba.end(), {uint8_t(r), uint8_t(grey ? r : g), uint8_t(grey ? r : b), uint8_t(a)});
        }
    return rgba;
}

TEST_F(Textures, EveryFormatUploadsUnswapped) {
    const std::vector<uint8_t> plain = picture(16, 16), clear = picture(16, 16, false, true);
    const std::vector<uint8_t> grey = picture(16, 16, true), odd = picture(5, 3), wide = picture(16383, 4);
    // The name's extension tells SDL_image how to read the file.
    struct Format { const char* name; std::string file; const std::vector<uint8_t>& want; };
    const Format formats[] = {
        {"rgba.png", png(clear, 16, 16), clear}, {"rgb.png", png(plain, 16, 16, LCT_RGB), plain},
        {"palette.png", png(plain, 16, 16, LCT_PALETTE), plain},
        {"rgb16.png", png(plain, 16, 16, LCT_RGB, 16), plain}, {"grey.png", png(grey, 16, 16, LCT_GREY), grey},
        {"odd_pitch.png", png(odd, 5, 3, LCT_RGB), odd}, {"widest.png", png(wide, 16383, 4, LCT_RGB), wide}};
    for (const auto& f : formats) {
        const std::string path = temp_file(f.name, f.file);
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, load_world_texture(path.c_str(), false));
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        ASSERT_EQ(size_t(w) * size_t(h) * 4, f.want.size()) << f.name;
        std::vector<uint8_t> got(f.want.size());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, got.data());
        EXPECT_TRUE(got == f.want) << f.name;
        std::remove(path.c_str());
    }
}

TEST_F(Textures, BrokenPngsAreRefusedByBothLoaders) {
    const std::string good = png(picture(16, 16), 16, 16);
    std::string flipped = good, huge = good;
    flipped[good.find("IDAT") + 6] ^= 0x55;  // the checksum no longer matches
    huge.replace(16, 8, std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8));  // 100000 x 100000
    lodepng_chunk_generate_crc(reinterpret_cast<unsigned char*>(&huge[8]));
    const std::string broken[] = {"", good.substr(0, good.size() / 2), flipped, huge, png(picture(16384, 1), 16384, 1)};
    for (const std::string& bytes : broken) {
        const std::string path = temp_file("broken.png", bytes);
        Atlas2D atlas;
        EXPECT_EQ(load_world_texture(path.c_str(), true), 0u) << &bytes - broken;
        EXPECT_FALSE(load_dashboard(atlas, path.c_str())) << &bytes - broken;
        std::remove(path.c_str());
    }
}
