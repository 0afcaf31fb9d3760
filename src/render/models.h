// The three static models everything in the 3D view that is not world
// geometry is made of: a small sphere, a limb (rod with a ball at its end)
// and a big sphere. Built in code at start-up, scaled once, then only drawn.
#pragma once

#include <vector>

// One model: independent triangles, each counter-clockwise seen from outside.
struct Model {
    int vertex_count = 0;
    std::vector<float> positions;  // vertex_count * 3
    std::vector<float> texcoords;  // vertex_count * 2
};

struct Models {
    Model sphere_model;      // 216 vertices; radius 0.5 as built, 0.25 after scaling
    Model limb_model;        // 264 vertices; rod of length 2 as built, 1 after scaling
    Model big_sphere_model;  // 216 vertices; radius 0.5 as built, 1 after scaling
};

// The sphere: an octahedron of radius 0.5 whose faces are each cut into nine
// triangles, the edges divided at 30 and 60 degrees of arc and one inner point
// per face (38 distinct points, all on the sphere).
constexpr int sphere_vertex_count = 216;
// The limb: the sphere centred at (0, -2, 0), then an open eight-sided tube
// of radius 0.25 from y = 0 down to y = -2.
constexpr int limb_vertex_count = 264;

// The models as built, before scaling, with zero texture coordinates. Each
// call returns separate copies.
Models build_models();

// Scales the small sphere and the limb by 0.5 and the big sphere by 2 and
// gives every triangle of all three the texture coordinates (0.8125, 0.9375),
// (0.9375, 0.9375), (0.8125, 0.8125): one flat patch of the world texture.
// Runs once at start-up; a second run would scale again.
void scale_models(Models& models);
