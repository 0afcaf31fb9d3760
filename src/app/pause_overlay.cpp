#include "app/pause.h"

#include "app/screenshot.h"

namespace {

// The working directory, where screenshots go.
constexpr const char* screenshot_directory = ".";

}  // namespace

void reset_pause_state(PauseState& pause, const Screen& screen) {
    pause.pause_fade = 0.0f;
    pause.pause_open = false;
    pause.frame_width = static_cast<int>(screen.width);
    pause.frame_height = static_cast<int>(screen.height);
    const size_t bytes = frozen_frame_bytes(pause.frame_width, pause.frame_height);
    pause.frozen_frame = std::make_unique<uint8_t[]>(bytes > 0 ? bytes : 1);
}

void pause_overlay_step(PauseState& pause, const Input& input, float rate) {
    const PauseStep step =
        advance_pause(pause, input.key_state[key_escape] == input_pressed, rate);
    if (pause.frozen_frame == nullptr) return;

    if (step.capture) capture_still_image(pause);
    if (step.redraw) redraw_still_image(pause);
}

bool menu_button(Atlas2D& atlas, const Screen& screen, const Input& input, int x, int y,
                 int width, int height, bool centred, bool hover, const char* label) {
    const ButtonRect rect = button_rect(x, y, width, height, centred);
    const bool hovered = hover && button_hovered(rect, input.mouse_x, input.mouse_y);
    const bool clicked = hovered && input.mouse_button_state[button_left] == input_pressed;
    draw_panel(atlas, screen, rect.left, rect.top, rect.width, rect.height, hovered ? 1 : 0);
    int pen_x = 0, pen_y = 0;
    button_label_pen(rect, label, pen_x, pen_y);
    draw_text(atlas, screen, label, pen_x, pen_y);
    return clicked;
}

void draw_pause_menu(PauseState& pause, const Input& input, Atlas2D& atlas,
                     const Screen& screen, bool& quit_requested) {
    const int cx = menu_column_x(screen);
    const int y0 = menu_first_button_y(screen, pause.pause_fade);
    const int w = menu_button_width, h = menu_button_height;
    if (menu_button(atlas, screen, input, cx, y0, w, h, true, true, "Resume game")) {
        pause.pause_open = false;
    }
    if (menu_button(atlas, screen, input, cx, y0 + menu_button_spacing, w, h, true, true,
                    "Exit")) {
        quit_requested = true;
    }
    if (menu_button(atlas, screen, input, cx, y0 + 2 * menu_button_spacing, w, h, true, true,
                    "Save screenshot")) {
        save_screenshot(pause.frozen_frame.get(), pause.frame_width, pause.frame_height,
                        screenshot_directory);
    }
}
