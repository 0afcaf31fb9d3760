#include "render/frustum.h"

#include "render/matrix.h"
#include "world/world.h"

#include <algorithm>
#include <cmath>

namespace {

float plane_value(const float plane[4], float x, float y, float z) {
    return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}

// True when some corner of the box lies strictly on the plane's inner side.
bool box_reaches(const float plane[4], float x0, float y0, float z0, float x1, float y1,
                 float z1) {
    return plane_value(plane, x0, y0, z0) > 0.0f || plane_value(plane, x1, y0, z0) > 0.0f ||
           plane_value(plane, x0, y1, z0) > 0.0f || plane_value(plane, x1, y1, z0) > 0.0f ||
           plane_value(plane, x0, y0, z1) > 0.0f || plane_value(plane, x1, y0, z1) > 0.0f ||
           plane_value(plane, x0, y1, z1) > 0.0f || plane_value(plane, x1, y1, z1) > 0.0f;
}

// The slot's whole column, with room for falling blocks drawn up to a unit
// below their cells.
bool slot_within_fog(const SlotCulling& culling, int cx, int cz) {
    if (!culling.skip_beyond_fog) return true;
    float x0 = static_cast<float>(cx) * slot_size, z0 = static_cast<float>(cz) * slot_size;
    return box_reaches(culling.beyond_fog, x0, -1.0f, z0, x0 + slot_size,
                       static_cast<float>(world_levels) + 1.0f, z0 + slot_size);
}

}  // namespace

Frustum frustum_from_matrices(const float projection[16], const float modelview[16]) {
    Mat4 clip = mat4_multiply(mat4_from(projection), mat4_from(modelview));
    auto row = [&](int r, int col) { return clip.m[col * 4 + r]; };
    // Each plane is r3 + sign * r(axis).
    static const int axis[6] = {0, 0, 1, 1, 2, 2};
    static const float sign[6] = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    Frustum frustum;
    for (int plane = 0; plane < 6; ++plane) {
        for (int col = 0; col < 4; ++col) {
            frustum.planes[plane][col] = row(3, col) + sign[plane] * row(axis[plane], col);
        }
    }
    return frustum;
}

bool cube_in_frustum(const Frustum& frustum, float x, float y, float z, float half_size) {
    float x0 = x - half_size, x1 = x + half_size;
    float y0 = y - half_size, y1 = y + half_size;
    float z0 = z - half_size, z1 = z + half_size;
    for (const auto& plane : frustum.planes) {
        if (!box_reaches(plane, x0, y0, z0, x1, y1, z1)) return false;
    }
    return true;
}

int slot_of(float coordinate) {
    const float limit = 1.0e9f;
    float slot = std::floor(coordinate / slot_size);
    if (!(slot > -limit)) slot = std::isnan(slot) ? 0.0f : -limit;
    if (slot > limit) slot = limit;
    return static_cast<int>(slot);
}

int slot_mesh_index(int cx, int cz) { return wrapped_chunk_index(cx, cz); }

void enable_fog_skip(SlotCulling& culling, const float modelview[16], float fog_end) {
    // Eye depth is the modelview's third row; the eye looks down -z, so a
    // point is within reach when z_eye > -(fog_end + margin).
    float* p = culling.beyond_fog;
    p[0] = modelview[2];
    p[1] = modelview[6];
    p[2] = modelview[10];
    float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    culling.skip_beyond_fog = length != 0.0f;
    if (!culling.skip_beyond_fog) return;
    p[0] /= length;
    p[1] /= length;
    p[2] /= length;
    p[3] = modelview[14] / length + fog_end + fog_skip_margin;
}

SlotCulling make_slot_culling(const float projection[16], const float modelview[16],
                              bool skip_beyond_fog, float fog_end) {
    SlotCulling culling;
    culling.frustum = frustum_from_matrices(projection, modelview);
    if (skip_beyond_fog) enable_fog_skip(culling, modelview, fog_end);
    return culling;
}

bool solid_slot_visible(const SlotCulling& culling, int cx, int cz) {
    float x = (static_cast<float>(cx) + 0.5f) * slot_size;
    float z = (static_cast<float>(cz) + 0.5f) * slot_size;
    bool in_view = false;
    for (int k = 0; k < 5 && !in_view; ++k) {
        float y = (static_cast<float>(k) + 0.5f) * slot_size;
        in_view = cube_in_frustum(culling.frustum, x, y, z, slot_size * 0.5f);
    }
    return in_view && slot_within_fog(culling, cx, cz);
}

bool water_slot_visible(const SlotCulling& culling, int cx, int cz) {
    float x = (static_cast<float>(cx) + 0.5f) * slot_size;
    float z = (static_cast<float>(cz) + 0.5f) * slot_size;
    return cube_in_frustum(culling.frustum, x, 2.5f, z, 2.5f) && slot_within_fog(culling, cx, cz);
}
