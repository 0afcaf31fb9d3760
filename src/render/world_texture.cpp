#include "render/world_texture.h"

TextureLayout choose_texture_layout(int bytes_per_pixel, uint32_t red_mask) {
    const bool red_first = red_mask == 0xFFu;
    const bool red_third = red_mask == 0xFF0000u;
    if (!red_first && !red_third) return {};
    if (bytes_per_pixel == 4) return {red_first ? texture_layout_rgba : texture_layout_bgra, 4};
    if (bytes_per_pixel == 3) return {red_first ? texture_layout_rgb : texture_layout_bgr, 3};
    return {};
}

int unpack_alignment_for(int width, int bytes_per_pixel, int pitch) {
    const int packed = width * bytes_per_pixel;
    for (int alignment = 8; alignment >= 1; alignment /= 2) {
        const int padded = (packed + alignment - 1) / alignment * alignment;
        if (padded == pitch) return alignment;
    }
    return 0;
}
