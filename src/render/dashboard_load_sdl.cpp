#include "render/dashboard.h"

#include <SDL.h>
#include <SDL_image.h>

bool load_dashboard(Atlas2D& atlas, const char* path) {
    SDL_Surface* loaded = IMG_Load(path);
    if (loaded == nullptr) return false;
    SDL_Surface* image = SDL_DisplayFormatAlpha(loaded);
    SDL_FreeSurface(loaded);
    if (image == nullptr) return false;

    const SDL_PixelFormat* f = image->format;
    SDL_Surface* canvas = SDL_CreateRGBSurface(image->flags, atlas_width, atlas_height,
                                               f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask,
                                               f->Amask);
    if (canvas == nullptr) {
        SDL_FreeSurface(image);
        return false;
    }
    SDL_FillRect(canvas, nullptr, 0);  // fully transparent where the image does not reach

    // Without SDL_SRCALPHA the blit copies colour and alpha as they are
    // instead of blending the image onto the transparent canvas.
    SDL_SetAlpha(image, SDL_RLEACCEL, 0);
    SDL_SetAlpha(canvas, SDL_RLEACCEL, 0);
    SDL_BlitSurface(image, nullptr, canvas, nullptr);
    SDL_FreeSurface(image);

    atlas.texture = texture_from_surface(canvas);
    SDL_FreeSurface(canvas);
    build_atlas_tables(atlas);
    return true;
}
