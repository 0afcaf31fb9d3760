// Water animation: blends the five key frames per lattice point by the global
// phase plus the point's own offset, then re-meshes the water.
#pragma once

#include "world/world.h"

// Advances water_phase by 0.025 * speed, recomputes water_height and
// rebuilds the water meshes. Called once per update, before advance_falling.
void animate_water(World& world, float speed);
