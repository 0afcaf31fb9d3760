// Quillmoor's entry point: start-up in its fixed order, then the main loop.
// Every piece of state is one of the records below; main only wires them.
#include "app/init_game.h"
#include "app/pacing.h"
#include "app/pause.h"
#include "app/read_input.h"
#include "app/settings.h"
#include "app/video.h"
#include "render/dashboard.h"
#include "render/scene.h"
#include "sim/update.h"

#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

constexpr int exit_dashboard_missing = 4;
constexpr const char* dashboard_path = "Media/dashboard.png";

Settings settings;
Screen screen;
Input input;
FrameClock frame_clock;
PauseState pause;
Atlas2D atlas;
Models models;
Titles titles;
Game game;
World world;
bool quit_requested = false;

void run_pass() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_PumpEvents();
    read_input(input, screen);

    bool scene_skipped = true;
    if (pause.pause_fade == 0.0f) {
        update_game(game, world, input, speed_from_fps(frame_clock.fps));
        render_scene(world, game, models, screen, atlas, frame_clock.fps);
        scene_skipped = false;
    }

    pace_frame(frame_clock);
    pause_overlay_step(pause, input, 1.0f);
    if (pause.pause_fade != 0.0f) {
        draw_dashboard(atlas, screen, pause.pause_fade, titles.title_text,
                       titles.version_number, frame_clock.date_text, frame_clock.clock_text);
        draw_pause_menu(pause, input, atlas, screen, quit_requested);
    }

    refresh_mouse_focus(input);
    if (scene_skipped && input.mouse_in_window) draw_cursor(atlas, screen, input.mouse_x, input.mouse_y);
    SDL_GL_SwapBuffers();

    // Whatever read_input left (motion, focus, window events) is dropped here;
    // only a close request matters.
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (event.type == SDL_QUIT) quit_requested = true;
    }
}

}  // namespace

int main(int, char**) {
    load_settings(settings, "settings.ini");
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    int failure = setup_video(settings, screen);
    if (failure != 0) return failure;

    if (!load_dashboard(atlas, dashboard_path)) {
        std::fprintf(stderr, "quillmoor: cannot load %s: %s\n", dashboard_path, SDL_GetError());
        SDL_Quit();
        return exit_dashboard_missing;
    }
    reset_pause_state(pause, screen);
    init_game(titles, world, game, models, settings);

    while (!quit_requested) run_pass();

    SDL_Quit();
    return 0;
}
