// The 3D view: the repeated world around the player with frustum culling,
// fog and translucent water, the avatar and balls, then the HUD.
#pragma once

#include "render/draw2d.h"
#include "render/frustum.h"
#include "render/models.h"
#include "render/screen.h"
#include "sim/game.h"
#include "world/world.h"

// Linear black fog from 0.1 to 125 units: the repeated world dissolves into
// the black background.
constexpr float fog_start = 0.1f;
constexpr float fog_end = 125.0f;

// Draws one frame of the scene and then the HUD into the cleared back buffer.
// On return fog, blending, texturing and the client arrays are off, the
// colour is white, and the matrices and depth test are as the HUD leaves
// them.
void render_scene(const World& world, const Game& game, const Models& models,
                  const Screen& screen, Atlas2D& atlas, float fps);

// How the world is handed to GL. client_arrays sends every slot's vertices
// from memory at each draw. slots_from_buffers draws the same slots, in the
// same order and with the same matrices, from copies of the meshes kept in
// GL buffer objects and sent again only where a mesh changed.
// chunk_runs draws from baked copies of the world a run of chunks a call
// (chunk_runs.h): far fewer calls, but each vertex reaches the screen
// through other roundings, so texels and edges can fall a step apart. A
// driver without buffer objects gets client_arrays whatever is asked.
enum class WorldDraw { client_arrays, slots_from_buffers, chunk_runs };

// The platform's choice: what costs least where the game runs.
extern const WorldDraw default_world_draw;

// How draw_world_view culls and orders; render_scene uses the defaults.
struct ViewOptions {
    // Slots wholly past the fog's end are not drawn: they could only paint
    // black over black, so the picture is the same either way.
    bool skip_beyond_fog = true;
    // The walk of the solid pass: nearest first lets the depth test turn
    // away hidden fragments before they are textured (see SlotOrder). The
    // water pass, blended, always walks the slots in listed order.
    SlotOrder solid_order = SlotOrder::nearest_first;
    // Within a slot, the ground before the blocks: the ground hides most of
    // the floor's top faces, which then fail the depth test instead of being
    // textured and drawn over. Off draws the blocks first, the older order;
    // the two differ only where a block face and the ground tie in depth.
    bool ground_first = true;
    // When the eye sees the ground from above and from beyond the near
    // plane, the block faces and water quads wholly below the ground are
    // left out: the ground hides them, yet llvmpipe would still rasterise
    // and depth-test them. Off draws them all, as before.
    bool skip_buried = true;
    // Where the world's vertices come from (see WorldDraw).
    WorldDraw world_draw = default_world_draw;
};

// The 3D part of render_scene, without the HUD.
void draw_world_view(const World& world, const Game& game, const Models& models,
                     const Screen& screen, const ViewOptions& options);

// Sets the projection (field of view in degrees, the screen's aspect, near 1,
// far 1000) and the camera's modelview matrix, and turns the depth test on.
// Leaves the modelview matrix current.
void apply_camera(const Game& game, const Screen& screen, float fov_degrees);
