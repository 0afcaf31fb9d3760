#include "sim/collision.h"

bool collide_sphere(const World&, Vec3&, float) { return false; }
bool clip_segment(const World&, Vec3, Vec3&) { return false; }
