// The running program: every record the game owns, its start-up in the
// fixed order, and one pass of the main loop. main only calls these; a
// benchmark can run the same passes.
#pragma once

#include "app/controls.h"
#include "app/init_game.h"
#include "app/pacing.h"
#include "app/pause.h"
#include "app/settings.h"
#include "render/draw2d.h"
#include "render/models.h"
#include "render/scene.h"
#include "render/screen.h"
#include "sim/game.h"
#include "sim/input.h"
#include "world/world.h"

// Large (the world alone is several hundred KB): keep it in static storage
// or on the heap.
struct Program {
    Settings settings;
    Screen screen;
    Controls controls;  // the keyboard and mouse, the pad and the touch controls, each as read
    Input input;        // what they add up to in this pass: all the game reads
    FrameClock frame_clock;
    PauseState pause;
    Atlas2D atlas;
    Models models;
    Titles titles;
    Game game;
    World world;
    Renderer renderer;  // what the drawing keeps in GL between frames
    bool quit_requested = false;  // set by Exit or a close request; the loop ends
};

constexpr int exit_dashboard_missing = 4;  // Media/dashboard.png cannot be loaded

// Reads settings.ini, seeds the random generator with seed, opens the
// window and the first pad, loads the 2D atlas, resets the pause state and starts a new game.
// Returns 0, or the exit code to end with (SDL is shut down then).
int start_program(Program& program, unsigned seed);

// One pass of the main loop: input, the game update and scene while the
// game runs, pacing, the pause overlay with dashboard and menu, the pointer
// sprite while frozen, the swap, then the event queue drained.
void run_pass(Program& program);
