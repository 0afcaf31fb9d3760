// The page's twin. The browser's SDL has no desktop to measure, takes any
// size, ignores SDL_FULLSCREEN and hides the pointer only under pointer lock,
// so the page is asked instead. It scales the canvas to fit its window, and
// full screen is the browser's to grant on a click.
#include "app/host.h"

#include <emscripten.h>

bool host_fill_zero_size(Screen& screen) {
    if (screen.width == 0.0f) screen.width = static_cast<float>(EM_ASM_INT({ return innerWidth; }));
    if (screen.height == 0.0f) screen.height = static_cast<float>(EM_ASM_INT({ return innerHeight; }));
    screen.aspect_ratio = screen.width / screen.height;
    return screen.width > 0.0f && screen.height > 0.0f;
}

bool host_size_allowed(int w, int h) {
    return w > 0 && h > 0;
}

void host_show_window(const Settings& settings) {
    EM_ASM({ if (Module.onWindowShown) Module.onWindowShown($0 != 0, $1 != 0); },
           settings.show_cursor, settings.fullscreen);
}
