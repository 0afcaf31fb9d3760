#include "app/pause.h"

void reset_pause_state(PauseState& pause, const Screen&) {
    pause.pause_open = false;
    pause.pause_fade = 0.0f;
}
void pause_overlay_step(PauseState&, const Input&, float) {}
void draw_pause_menu(PauseState&, const Input&, const Atlas2D&, const Screen&, bool&) {}
