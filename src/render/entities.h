// Drawing the balls, the player's avatar, the aim marker and the rope with
// the three models.
#pragma once

#include "render/models.h"
#include "sim/game.h"

#include <cstdint>

// The renderer's copy of the three models in one GL buffer, made at its
// first draw in a GL context: interleaved (x, y, z, s, t), the sphere, the
// limb, then the big sphere.
struct ModelsCopy {
    uint32_t buffer = 0;   // GL buffer name; 0 when none
    uint32_t context = 0;  // the count of GL contexts when it was made
};

// Draws every entity. Expects the modelview matrix to hold the camera, 2D
// texturing and the vertex and texture-coordinate arrays on, the world
// texture bound, colour white and blending off. Leaves the modelview matrix
// as it found it, and no buffer object bound. Draws from copy where GL has
// buffer objects, making it first if it is not of this context.
void draw_entities(ModelsCopy& copy, const Game& game, const Models& models);

// One arm or leg from root to end: the joint ball at root and two unit
// segments bent between them (see limb_pose).
void draw_limb(ModelsCopy& copy, const Models& models, const Vec3& root, const Vec3& end,
               bool flip_when_raised);
