// clip_segment done the plain way: every triangle of every list the
// segment's box touches goes through the plane, crossing and angle-sum tests
// in full, with nothing skipped. Slow, but obviously the rule; the tests hold
// the fast clip to it bit for bit and the benchmarks time it as the baseline.
#pragma once

#include "sim/collision.h"
#include "sim/vecmath.h"
#include "world/world.h"

#include <cmath>

inline bool plain_clip_with_list(Vec3 s, Vec3& e, const CollisionList& list) {
    bool hit = false;
    for (int t = 0; t < list.triangle_count; ++t) {
        const Vec3 a = vec3_at(list.corner_a.get(), t), b = vec3_at(list.corner_b.get(), t);
        const Vec3 c = vec3_at(list.corner_c.get(), t), m = triangle_plane_normal(a, b, c);
        const float plane_d = -dot(m, a);
        if (!segment_crosses_plane(m, plane_d, s, e)) continue;
        const Vec3 x = line_plane_intersection(m, plane_d, s, e);
        if (point_in_triangle(x, a, b, c)) {
            e = x;
            hit = true;
        }
    }
    return hit;
}

inline bool plain_clip(const World& world, Vec3 s, Vec3& e) {
    const int cx0 = static_cast<int>(std::floor(std::fmin(s.x, e.x) / 5.0f));
    const int cx1 = static_cast<int>(std::floor(std::fmax(s.x, e.x) / 5.0f));
    const int cz0 = static_cast<int>(std::floor(std::fmin(s.z, e.z) / 5.0f));
    const int cz1 = static_cast<int>(std::floor(std::fmax(s.z, e.z) / 5.0f));
    bool hit = false;
    for (int cx = cx0; cx <= cx1; ++cx) {
        for (int cz = cz0; cz <= cz1; ++cz) {
            const int k = wrapped_chunk_index(cx, cz);
            const Vec3 offset = vec3(5.0f * static_cast<float>(cx), 0.0f, 5.0f * static_cast<float>(cz));
            s = s - offset;
            e = e - offset;
            hit |= plain_clip_with_list(s, e, world.block_collision[k]);
            hit |= plain_clip_with_list(s, e, world.terrain_collision[k]);
            s = s + offset;
            e = e + offset;
        }
    }
    return hit;
}
