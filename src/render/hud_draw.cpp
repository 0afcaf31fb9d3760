#include "render/hud.h"

#include <cstdio>
#include <cstring>

void draw_hud(Atlas2D& atlas, const Screen& screen, float fps, int action_type) {
    // Room for any finite float printed with %f.
    char line[96];
    format_fps_line(line, sizeof line, fps);
    draw_panel(atlas, screen, 20, 20, 280, 10, 0);
    draw_text(atlas, screen, line,
              centred_pen_x(hud_text_centre_x, static_cast<int>(std::strlen(line))), 15);

    std::snprintf(line, sizeof line, "%s", action_label(action_type));
    draw_panel(atlas, screen, 20, 50, 280, 10, 0);
    draw_text(atlas, screen, line,
              centred_pen_x(hud_text_centre_x, static_cast<int>(std::strlen(line))), 45);
}
