#include "app/pause.h"

#include <cmath>
#include <cstring>

size_t frozen_frame_bytes(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 4u;
}

PauseStep advance_pause(PauseState& pause, bool escape_pressed, float rate) {
    PauseStep step;
    if (escape_pressed) {
        if (!pause.pause_open) {
            pause.pause_open = true;
            // Reopening while the menu slides out keeps the image it has.
            step.capture = pause.pause_fade == 0.0f;
        } else {
            pause.pause_open = false;
        }
    }
    step.redraw = pause.pause_fade != 0.0f;

    if (pause.pause_open) pause.pause_fade += 5.0f * rate;
    else pause.pause_fade -= 5.0f * rate;
    if (pause.pause_fade > 100.0f) pause.pause_fade = 100.0f;
    else if (pause.pause_fade < 0.0f) pause.pause_fade = 0.0f;
    else if (std::isnan(pause.pause_fade)) pause.pause_fade = 0.0f;
    return step;
}

int menu_column_x(const Screen& screen) { return static_cast<int>(screen.width * 0.5f); }

int menu_first_button_y(const Screen& screen, float pause_fade) {
    const float top = screen.height * 0.5f - 125.0f;
    const int far = static_cast<int>(screen.height + top);
    const int near = static_cast<int>(top);
    const float p = pause_fade * 0.01f;
    return static_cast<int>((1.0f - p) * static_cast<float>(far) + p * static_cast<float>(near));
}

ButtonRect button_rect(int x, int y, int width, int height, bool centred) {
    ButtonRect r{x, y, width, height};
    if (centred) {
        r.left = x - width / 2;
        r.top = y - height / 2;
    }
    return r;
}

bool button_hovered(const ButtonRect& r, int mouse_x, int mouse_y) {
    return mouse_x > r.left - 14 && mouse_y > r.top - 14 && mouse_x < r.left + r.width + 13 &&
           mouse_y < r.top + r.height + 13;
}

void button_label_pen(const ButtonRect& r, const char* label, int& pen_x, int& pen_y) {
    const int length = static_cast<int>(std::strlen(label));
    pen_x = r.left + r.width / 2 - static_cast<int>(static_cast<float>(length * 10) * 0.5f);
    pen_y = r.top + r.height / 2 - 10;
}
