// The atlas where there is no SDL_image (the browser, Windows): decoded by
// LodePNG, byte for byte. The browser's SDL keeps images in canvases, which
// have no blit once GL is in use and round colours of translucent pixels.
#include "render/dashboard.h"

#include <GL/gl.h>
#include <SDL.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

bool load_dashboard(Atlas2D& atlas, const char* path) {
    unsigned char* image = nullptr;
    unsigned width = 0, height = 0;
    const unsigned error = lodepng_decode32_file(&image, &width, &height, path);
    if (error != 0) {
        SDL_SetError("%s", lodepng_error_text(error));
        return false;
    }
    std::vector<uint8_t> canvas(static_cast<size_t>(atlas_width) * atlas_height * 4, 0);
    const size_t row_bytes = std::min<size_t>(width, atlas_width) * 4;
    for (unsigned r = 0; r < std::min<unsigned>(height, atlas_height); ++r) {
        std::memcpy(&canvas[static_cast<size_t>(r) * atlas_width * 4],
                    image + static_cast<size_t>(r) * width * 4, row_bytes);
    }
    std::free(image);

    atlas.texture = new_atlas_texture();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, atlas_width, atlas_height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, canvas.data());
    build_atlas_tables(atlas);
    return true;
}
