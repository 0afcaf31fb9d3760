// The world texture atlas: loading the image into one GL texture, with or
// without mipmaps, and the pure decisions about how its pixels are handed
// to GL. The atlas tiles themselves are set by set_atlas_tiles (world.h).
#pragma once

#include <cstdint>

// GL's enumerants for the pixel layouts an image can be uploaded in, kept
// here so that the decision below needs no GL header.
constexpr uint32_t texture_layout_rgb = 0x1907;   // GL_RGB
constexpr uint32_t texture_layout_rgba = 0x1908;  // GL_RGBA
constexpr uint32_t texture_layout_bgr = 0x80E0;   // GL_BGR
constexpr uint32_t texture_layout_bgra = 0x80E1;  // GL_BGRA

struct TextureLayout {
    uint32_t layout = 0;  // one of texture_layout_*; 0: convert the pixels first
    int components = 0;   // internal format: the bytes per pixel, 3 or 4
};

// How a loaded surface's pixels go to GL: 4 bytes per pixel as RGBA when red
// is in the lowest byte (mask 0xFF) and BGRA when it is in the third (mask
// 0xFF0000); 3 bytes likewise as RGB or BGR. Anything else (palette and
// 16-bit images, unusual channel orders) must be converted to 32 bits first.
TextureLayout choose_texture_layout(int bytes_per_pixel, uint32_t red_mask);

// The GL_UNPACK_ALIGNMENT (8, 4, 2 or 1, the largest that fits) under which
// rows of width pixels lie pitch bytes apart, or 0 when none does.
int unpack_alignment_for(int width, int bytes_per_pixel, int pitch);

// Loads the image at path into a new GL texture, repeating in s and t, with
// a full mipmap chain when mipmapping is on. Returns the texture name, or 0
// when the image cannot be read or used. Needs a current GL context.
uint32_t load_world_texture(const char* path, bool mipmapping);
