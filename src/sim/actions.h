// The left-button actions at the aim point: raising and lowering the ground,
// placing and removing blocks, the swing rope, shooting a ball and flying.
// Every world edit is followed at once by the rebuilds it calls for, so the
// same frame shows it.
#pragma once

#include "sim/game.h"
#include "sim/input.h"
#include "world/world.h"

// Applies the selected action for this update's left-button state, then
// keeps or drops the rope and sets flying. view is this update's unit view
// direction; call after the camera and aim point are placed.
void apply_action(Game& game, World& world, const Input& input, Vec3 view, float speed);

// Raises (or lowers) the ground in a cone of radius 5 around (x, z) on the
// repeating world by (5 - d) * 0.01 * speed, held within [0, 25]; then the
// terrain meshes and collision lists are rebuilt. A non-finite centre
// changes nothing.
void shape_ground(World& world, float x, float z, bool raise, float speed);

// Brings a coordinate into [0, period) (also -0 and tiny negatives, which
// must not round up to period). NaN for a non-finite coordinate.
float wrap_coordinate(float v, float period);

// The block cell holding point q, x and z reduced modulo 50 and y modulo 25.
// False (and no cell) when q is not finite.
bool block_cell(Vec3 q, int& x, int& y, int& z);
