// The bend of an arm or leg: two unit segments from a root joint to an end
// point, solved in closed form. The angles are exactly those draw_limb hands
// to GL, so the chain can be rebuilt on the CPU.
#pragma once

#include "sim/game.h"

// The transform chain of one limb, applied at the root in this order:
//   rotate yaw_degrees about y (local +z then points horizontally to the end);
//   if flipped, rotate 180 about x;
//   draw the joint ball;
//   rotate upper_tilt_degrees about x, then upper_bend_degrees about x;
//   draw the upper segment (rod down -y, its ball at (0, -1, 0));
//   translate (0, -1, 0);
//   rotate lower_fold_degrees about x, then lower_reach_degrees about x;
//   draw the lower segment.
struct LimbPose {
    float yaw_degrees = 0.0f;
    bool flipped = false;
    float upper_tilt_degrees = 0.0f;
    float upper_bend_degrees = 0.0f;
    float lower_fold_degrees = 0.0f;
    float lower_reach_degrees = 0.0f;
};

// The pose that ends the chain on end whenever |end - root| <= 2, for an end
// below its root, and with flip_when_raised for an end level with or above
// it. An end further than 2 away gets the straight limb pointing at it; an
// end on the root folds the limb back onto it; non-finite points give the
// straight limb hanging down, so nothing undefined reaches GL.
LimbPose limb_pose(const Vec3& root, const Vec3& end, bool flip_when_raised);
