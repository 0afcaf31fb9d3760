// The three static models (small sphere, limb, big sphere) and the drawing of
// the avatar, the balls, the aim marker and the rope with them.
#pragma once

// One model: independent triangles, counter-clockwise seen from outside.
struct Model {
    int vertex_count = 0;
    float* positions = nullptr;  // vertex_count * 3
    float* texcoords = nullptr;  // vertex_count * 2
};

struct Models {
    Model sphere_model;      // radius 0.5 as built, 0.25 after scaling
    Model limb_model;        // rod and ball, length 2 as built, 1 after scaling
    Model big_sphere_model;  // radius 0.5 as built, 1 after scaling
};

// The models as built, before scaling. Each call returns separate copies.
Models build_models();

// Scales the models to their drawn size and sets their texture coordinates.
// Runs once at start-up; a second run would scale again.
void scale_models(Models& models);
