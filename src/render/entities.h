// Drawing the balls, the player's avatar, the aim marker and the rope with
// the three models.
#pragma once

#include "render/models.h"
#include "sim/game.h"

// Draws every entity. Expects the modelview matrix to hold the camera, 2D
// texturing and the vertex and texture-coordinate arrays on, the world
// texture bound, colour white and blending off. Leaves the modelview matrix
// as it found it, and no buffer object bound. Draws from the models' copy in
// GL (see ModelsCopy) where GL has buffer objects.
void draw_entities(const Game& game, const Models& models);

// One arm or leg from root to end: the joint ball at root and two unit
// segments bent between them (see limb_pose).
void draw_limb(const Models& models, const Vec3& root, const Vec3& end, bool flip_when_raised);
