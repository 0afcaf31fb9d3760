#include "app/loop.h"

#include "app/platform.h"
#include "app/read_input.h"
#include "app/report.h"
#include "app/video.h"
#include "render/dashboard.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"

#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

constexpr const char* dashboard_path = "Media/dashboard.png";
// Missing, the world is drawn untextured.
constexpr const char* world_texture_path = "Media/worldtexture.png";

}  // namespace

int start_program(Program& p, unsigned seed) {
    load_settings(p.settings, "settings.ini");
    p.game.chance = seeded_chance(seed);

    int failure = setup_video(p.settings, p.screen);
    if (failure != 0) return failure;
    open_pads(p.controls);

    if (!load_dashboard(p.atlas, dashboard_path)) {
        report_failure("cannot load %s", dashboard_path);
        SDL_Quit();
        return exit_dashboard_missing;
    }
    reset_pause_state(p.pause, p.screen);
    p.renderer.world_draw = platform_world_draw;
    p.renderer.world_texture = load_world_texture(world_texture_path, p.settings.mipmapping);
    init_game(p.titles, p.world, p.game, p.models);
    return 0;
}

void run_pass(Program& p) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_PumpEvents();
    read_controls(p.controls, p.screen);
    compose_input(p.input, p.controls, p.pause.pause_fade != 0.0f);

    bool scene_skipped = true;
    if (p.pause.pause_fade == 0.0f) {
        update_game(p.game, p.world, p.input, speed_from_fps(p.frame_clock.fps));
        render_scene(p.renderer, p.world, p.game, p.models, p.screen, p.atlas, p.frame_clock.fps);
        scene_skipped = false;
    }

    pace_frame(p.frame_clock);
    pause_overlay_step(p.pause, p.input, 1.0f);
    if (p.pause.pause_fade != 0.0f) {
        draw_dashboard(p.atlas, p.screen, p.pause.pause_fade, p.titles.title_text,
                       p.titles.version_number, p.frame_clock.date_text,
                       p.frame_clock.clock_text);
        draw_pause_menu(p.pause, p.input, p.atlas, p.screen, p.quit_requested);
    }

    refresh_mouse_focus(p.controls.device);
    p.input.mouse_in_window = pointer_in_window(p.controls);
    if (scene_skipped && p.input.mouse_in_window) {
        draw_cursor(p.atlas, p.screen, p.input.mouse_x, p.input.mouse_y);
    }
    SDL_GL_SwapBuffers();

    if (discard_unread_events()) p.quit_requested = true;
    end_frame(p.frame_clock);
}
