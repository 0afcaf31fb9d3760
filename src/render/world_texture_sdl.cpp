#include "render/world_texture.h"

#include <SDL.h>
#include <SDL_image.h>
#include <GL/gl.h>
#include <GL/glu.h>

static_assert(texture_layout_rgb == GL_RGB && texture_layout_rgba == GL_RGBA &&
                  texture_layout_bgr == GL_BGR && texture_layout_bgra == GL_BGRA,
              "texture layouts must be GL's enumerants");

namespace {

// A copy of image as 32-bit pixels with red in the lowest byte, or null.
SDL_Surface* convert_to_rgba(SDL_Surface* image) {
    SDL_Surface* model = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0x000000FFu, 0x0000FF00u,
                                              0x00FF0000u, 0xFF000000u);
    if (model == nullptr) return nullptr;
    SDL_Surface* converted = SDL_ConvertSurface(image, model->format, SDL_SWSURFACE);
    SDL_FreeSurface(model);
    return converted;
}

bool usable(const SDL_Surface* image, TextureLayout& layout, int& alignment) {
    const SDL_PixelFormat* f = image->format;
    layout = choose_texture_layout(f->BytesPerPixel, f->Rmask);
    alignment = unpack_alignment_for(image->w, f->BytesPerPixel, image->pitch);
    return layout.layout != 0 && alignment != 0;
}

}  // namespace

uint32_t load_world_texture(const char* path, bool mipmapping) {
    SDL_Surface* image = IMG_Load(path);
    if (image == nullptr) return 0;
    TextureLayout layout;
    int alignment = 0;
    if (!usable(image, layout, alignment)) {
        // Palette and 16-bit images would be misread as they stand.
        SDL_Surface* converted = convert_to_rgba(image);
        SDL_FreeSurface(image);
        image = converted;
        if (image == nullptr || !usable(image, layout, alignment)) {
            if (image != nullptr) SDL_FreeSurface(image);
            return 0;
        }
    }
    if (SDL_MUSTLOCK(image) && SDL_LockSurface(image) != 0) {
        SDL_FreeSurface(image);
        return 0;
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    GLint saved_alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    if (mipmapping) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gluBuild2DMipmaps(GL_TEXTURE_2D, layout.components, image->w, image->h, layout.layout,
                          GL_UNSIGNED_BYTE, image->pixels);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, layout.components, image->w, image->h, 0, layout.layout,
                     GL_UNSIGNED_BYTE, image->pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved_alignment);

    if (SDL_MUSTLOCK(image)) SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
    return name;
}
