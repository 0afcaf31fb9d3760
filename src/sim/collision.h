// Collision queries over the repeating world's collision lists: push a sphere
// out of every surface it overlaps, and clip a segment at the first surface
// it crosses. Whatever the lists hold is solid; nothing else is.
#pragma once

#include "sim/game.h"
#include "world/world.h"

// Moves the sphere centre p out of the block and ground surfaces it overlaps.
// Returns true when any face or edge pushed it.
bool collide_sphere(const World& world, Vec3& p, float radius);

// Shortens the segment start..end to end at its first crossing with a
// surface. Returns true when it crossed one; end is then the crossing.
bool clip_segment(const World& world, Vec3 start, Vec3& end);
