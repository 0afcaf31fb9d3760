// The 3D view: the repeated world around the player with frustum culling,
// fog and translucent water, the avatar and balls, then the HUD.
#pragma once

#include "render/draw2d.h"
#include "render/models.h"
#include "render/screen.h"
#include "sim/game.h"
#include "world/world.h"

// Draws one frame of the scene and the HUD into the cleared back buffer.
void render_scene(const World& world, const Game& game, const Models& models,
                  const Screen& screen, const Atlas2D& atlas, float fps);
