// The simulation step: water and falling blocks, intent and action selection,
// the player's move and collision, the avatar's body, mouse look, camera and
// aim point, the left-button action, then the balls.
#pragma once

#include "sim/game.h"
#include "sim/input.h"
#include "world/world.h"

// One update. speed is 60 / measured frames per second, within [0.2, 2.0];
// every per-frame rate is scaled by it.
void update_game(Game& game, World& world, const Input& input, float speed);
