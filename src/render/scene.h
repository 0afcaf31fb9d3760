// The 3D view: the repeated world around the player with frustum culling,
// fog and translucent water, the avatar and balls, then the HUD; and the
// renderer's own record of what it keeps in GL between frames.
#pragma once

#include "render/chunk_runs.h"
#include "render/draw2d.h"
#include "render/entities.h"
#include "render/models.h"
#include "render/screen.h"
#include "render/world_buffers.h"
#include "sim/game.h"
#include "world/world.h"

#include <cstdint>

// Linear black fog from 0.1 to 125 units: the repeated world dissolves into
// the black background.
constexpr float fog_start = 0.1f;
constexpr float fog_end = 125.0f;

// How the world is handed to GL. client_arrays sends every slot's vertices
// from memory at each draw. slots_from_buffers draws the same slots, in the
// same order and with the same matrices, from copies of the meshes kept in
// GL buffer objects and sent again only where a mesh changed. chunk_runs
// draws from baked copies of the world a run of chunks a call (chunk_runs.h):
// far fewer calls, but each vertex reaches the screen through other
// roundings, so texels and edges can fall a step apart. A driver without
// buffer objects gets client_arrays whatever is asked. Each platform takes
// what costs least where it runs (app/platform.h).
enum class WorldDraw { client_arrays, slots_from_buffers, chunk_runs };

// What the renderer keeps between frames: its GL copies of the world's mesh
// sets and of the models, the world texture, and a frame's plans. The
// program owns one beside the world and the game, which the drawing reads
// and never changes. Plain numbers; empty until the first frame. Its copies
// follow the meshes of one world by their revisions: another world needs a
// renderer of its own.
struct Renderer {
    WorldDraw world_draw = WorldDraw::slots_from_buffers;
    uint32_t world_texture = 0;  // GL texture name of the atlas; 0 draws the world untextured
    // The ground's and the water's chunks keep their vertex counts as they
    // change; the blocks' do not. The open sets leave out what lies wholly
    // under the ground.
    MeshSetCopy terrain_copy{true}, water_copy{true}, open_water_copy{true};
    MeshSetCopy block_copy, open_block_copy, falling_copy;
    ModelsCopy models_copy;
    // A frame's worth, kept so that drawing allocates nothing.
    RunPlan solid_plan, water_plan;
};

// Draws one frame of the scene and then the HUD into the cleared back buffer.
// On return fog, blending, texturing and the client arrays are off, the
// colour is white, and the matrices and depth test are as the HUD leaves
// them.
void render_scene(Renderer& renderer, const World& world, const Game& game, const Models& models,
                  const Screen& screen, Atlas2D& atlas, float fps);

// The 3D part of render_scene, without the HUD.
void draw_world_view(Renderer& renderer, const World& world, const Game& game,
                     const Models& models, const Screen& screen);

// Sets the projection (field of view in degrees, the screen's aspect, near 1,
// far 1000) and the camera's modelview matrix, and turns the depth test on.
// Leaves the modelview matrix current.
void apply_camera(const Game& game, const Screen& screen, float fov_degrees);
