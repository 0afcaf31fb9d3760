// The pinned scenes the GL benchmarks draw: five worlds from fixed seeds,
// each advanced by fixed steps of its water and falling blocks, seen from
// five fixed views, in a 1024 x 768 window on llvmpipe. Two builds drawing
// the same scene draw the same frame, pixel for pixel, when nothing they
// draw with has changed.
#pragma once

#include "app/settings.h"
#include "render/draw2d.h"
#include "render/scene.h"
#include "sim/game.h"
#include "world/world.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int pinned_width = 1024, pinned_height = 768;
constexpr unsigned pinned_seeds[] = {1, 7, 42, 1234, 20261206};
constexpr int pinned_view_count = 5;

// The window, its atlas, the models and a renderer with the world texture.
struct SceneRig {
    Screen screen;
    Atlas2D atlas;
    Models models;
    Renderer renderer;
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
};

// Opens the window and loads what the rig draws with (mipmapped as the game
// starts), or aborts.
void open_rig(SceneRig& rig);

// The world of seed as the game generates it, meshed, then `steps` updates of
// its water and falling blocks at speed 1. A renderer's copies follow one
// world: draw another with a fresh renderer (fresh_renderer).
std::unique_ptr<World> make_pinned_world(unsigned seed, int steps = 37);

// Forgets the rig's copies of an earlier world, keeping the world texture.
void fresh_renderer(SceneRig& rig);

// Poses the avatar and camera for view 0..4 by the game's own update on an
// empty world: the start view, along the diagonal (where the window of slots
// reaches furthest), from above the ceiling, from a negative place looking
// up the wall, and low over the water far out. No balls.
void pose_pinned_view(Game& game, int view);

// The back buffer as RGBA, top row first as PNG files run, opaque.
std::vector<uint8_t> read_frame();
