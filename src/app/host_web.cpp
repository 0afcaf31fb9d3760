// The page's twin. The browser's SDL has no desktop to measure, takes any
// size, ignores SDL_FULLSCREEN and hides the pointer only under pointer lock,
// so the page is asked instead. It scales the canvas to fit its window, and
// full screen is the browser's to grant on a click. The page also knows
// where the pointer is and keeps the touch controls.
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

bool host_has_pointer() {
    return EM_ASM_INT({ return Module.canvas.matches(':hover') ? 1 : 0; }) != 0;
}

// The page keeps its touch controls in Module.quillTouch (index.html), one
// record each in the order of TouchControl; copied here as fields floats each.
constexpr int touch_fields = 6;
EM_JS(void, copy_page_touch, (float* out, int count, int fields), {
    const controls = Module.quillTouch || [];
    for (let i = 0; i < count; i++) {
        const c = controls[i] || {};
        const at = (out >> 2) + fields * i;
        const values = [c.down ? 1 : 0, (c.count >>> 0) % 16777216, c.x, c.y, c.startX, c.startY];
        values.forEach((v, k) => { HEAPF32[at + k] = Number(v) || 0; });
    }
});

void host_read_touch(TouchPoint* touch) {
    float values[touch_control_count][touch_fields] = {};
    copy_page_touch(&values[0][0], touch_control_count, touch_fields);
    for (int i = 0; i < touch_control_count; ++i) {
        const float* v = values[i];
        touch[i].press.down = v[0] != 0.0f;
        touch[i].press.count = static_cast<uint32_t>(v[1]);
        touch[i].x = v[2], touch[i].y = v[3], touch[i].start_x = v[4], touch[i].start_y = v[5];
    }
}
