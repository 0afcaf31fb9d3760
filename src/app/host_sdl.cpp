#include "app/host.h"

#include <SDL.h>

bool host_fill_zero_size(Screen& screen) {
    // A plain probe mode tells us what SDL makes of the zero.
    SDL_Surface* probe = SDL_SetVideoMode(static_cast<int>(screen.width),
                                          static_cast<int>(screen.height), screen.bpp,
                                          SDL_DOUBLEBUF);
    if (probe == nullptr) return false;
    screen.width = static_cast<float>(probe->w);
    screen.height = static_cast<float>(probe->h);
    screen.aspect_ratio = screen.width / screen.height;
    SDL_FreeSurface(probe);
    return true;
}

bool host_size_allowed(int, int) {
    return true;
}

void host_show_window(const Settings& settings) {
    SDL_ShowCursor(settings.show_cursor ? SDL_ENABLE : SDL_DISABLE);
}

bool host_has_pointer() {
    return (SDL_GetAppState() & SDL_APPMOUSEFOCUS) != 0;
}

void host_read_touch(TouchPoint*) {}
