#include "sim/collision.h"

#include "sim/clip_skip.h"
#include "sim/vecmath.h"

#include <cmath>

namespace {

// Beyond this a coordinate has no sub-unit precision left and its chunk
// number would not fit an int; queries there are refused.
constexpr float coordinate_limit = 1.0e9f;

bool usable(Vec3 v) {
    return is_finite(v) && std::fabs(v.x) < coordinate_limit && std::fabs(v.z) < coordinate_limit;
}

int chunk_of(float coordinate) {
    return static_cast<int>(std::floor(coordinate / static_cast<float>(chunk_size)));
}

// Where a path first goes into a solid: the plane of the face it entered
// (world coordinates) and how far along the path.
struct Entry {
    float along = 2.0f;
    Vec3 normal, corner;
};

// Finds, over one list (chunk-local path from..to), the nearest crossing of
// a face from its open side (n . (x - a) <= 0) to its solid side.
void find_entry_in_list(Vec3 from, Vec3 to, const CollisionList& list, Vec3 offset, Entry& entry) {
    const Vec3 path = to - from;
    for (int t = 0; t < list.triangle_count; ++t) {
        Vec3 a = vec3_at(list.corner_a.get(), t);
        Vec3 n = vec3_at(list.normals.get(), t);
        float d0 = dot(n, from - a), d1 = dot(n, to - a);
        if (!(d0 <= 0.0f && d1 > 0.0f)) continue;
        float along = d0 / (d0 - d1);
        if (!(along < entry.along)) continue;
        Vec3 b = vec3_at(list.corner_b.get(), t);
        Vec3 c = vec3_at(list.corner_c.get(), t);
        if (!point_on_triangle(from + path * along, a, b, c)) continue;
        entry.along = along;
        entry.normal = n;
        entry.corner = a + offset;
    }
}

// The first face the path from..to enters, over every chunk its box
// touches. The box is widened a little: a face on a chunk's far edge
// belongs to the chunk before.
bool find_entry(const World& world, Vec3 from, Vec3 to, Entry& entry) {
    constexpr float margin = 0.01f;
    int cx0 = chunk_of(std::fmin(from.x, to.x) - margin), cx1 = chunk_of(std::fmax(from.x, to.x) + margin);
    int cz0 = chunk_of(std::fmin(from.z, to.z) - margin), cz1 = chunk_of(std::fmax(from.z, to.z) + margin);
    for (int cx = cx0; cx <= cx1; ++cx) {
        for (int cz = cz0; cz <= cz1; ++cz) {
            int k = wrapped_chunk_index(cx, cz);
            Vec3 offset = vec3(static_cast<float>(chunk_size * cx), 0.0f, static_cast<float>(chunk_size * cz));
            find_entry_in_list(from - offset, to - offset, world.block_collision[k], offset, entry);
            find_entry_in_list(from - offset, to - offset, world.terrain_collision[k], offset, entry);
        }
    }
    return entry.along <= 1.0f;
}

// Pushes p to radius from the edge point q. A centre exactly on the edge has
// no direction to be pushed in; it goes out along the free side's normal,
// the way a face pushes a centre lying in its plane.
void push_from_edge(Vec3& p, Vec3 q, Vec3 n, float radius) {
    Vec3 away = p - q;
    float scale = radius / length(away);
    if (std::isfinite(scale)) {
        p = q + away * scale;
    } else {
        p = q - n * radius;
    }
}

// A crossing that point_in_triangle turned down only for want of an angle
// (on an edge or a corner), nearest the start first, in world coordinates.
struct EdgeCrossing {
    bool found = false;
    float distance = 0.0f;  // from the segment's start
    Vec3 point;
    Vec3 normal;  // of the triangle's plane
};

// clip_segment_with_list, also noting the crossings on edges and corners
// that it turns down; offset takes the list's coordinates to the world's.
bool clip_with_list(Vec3 s, Vec3& e, const CollisionList& list, Vec3 offset, EdgeCrossing& edge) {
    bool hit = false;
    const float* corner_a = list.corner_a.get();
    const float* corner_b = list.corner_b.get();
    const float* corner_c = list.corner_c.get();
    ClipSegment seg;
    seg.set(s, e);
    for (int t = 0; t < list.triangle_count; ++t) {
        if (!may_hit(corner_a + 3 * t, corner_b + 3 * t, corner_c + 3 * t, seg)) continue;
        Vec3 a = vec3_at(corner_a, t);
        Vec3 b = vec3_at(corner_b, t);
        Vec3 c = vec3_at(corner_c, t);
        Vec3 m = triangle_plane_normal(a, b, c);
        float plane_d = -dot(m, a);
        if (!segment_crosses_plane(m, plane_d, s, e)) continue;
        Vec3 x = line_plane_intersection(m, plane_d, s, e);
        // Only a NaN sum (an edge or a corner) needs the second look: where
        // the sum is a number, point_on_triangle agrees with it.
        const double sum = triangle_angle_sum(x, a, b, c);
        if (sum >= inside_angle_sum) {
            e = x;
            seg.set(s, e);
            hit = true;
        } else if (std::isnan(sum) && point_on_triangle(x, a, b, c)) {
            float distance = length(x - s);
            if (!edge.found || distance < edge.distance) {
                edge.found = true;
                edge.distance = distance;
                edge.point = x + offset;
                edge.normal = m;
            }
        }
    }
    return hit;
}

}  // namespace

Vec3 triangle_plane_normal(Vec3 a, Vec3 b, Vec3 c) { return normalize(cross(c - a, b - a)); }

bool segment_crosses_plane(Vec3 m, float plane_d, Vec3 s, Vec3 e) {
    return (dot(m, e) + plane_d) * (dot(m, s) + plane_d) < 0.0f;
}

Vec3 line_plane_intersection(Vec3 m, float plane_d, Vec3 s, Vec3 e) {
    Vec3 u = normalize(e - s);
    float den = dot(m, u);
    if (den == 0.0f) return s;
    float t = -(dot(m, s) + plane_d) / den;
    return s + u * t;
}

double angle_between(Vec3 u, Vec3 v) {
    float cosine = dot(u, v) / (length(u) * length(v));
    return std::acos(static_cast<double>(cosine));
}

double triangle_angle_sum(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    double sum = angle_between(a - p, b - p);
    sum += angle_between(b - p, c - p);
    sum += angle_between(c - p, a - p);
    return sum;
}

bool point_in_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    return triangle_angle_sum(p, a, b, c) >= inside_angle_sum;  // false for NaN
}

bool point_on_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    const Vec3 to[3] = {a - p, b - p, c - p};
    for (Vec3 v : to) {
        if (length(v) == 0.0f) return true;
    }
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        Vec3 u = to[i], v = to[(i + 1) % 3];
        float cosine = dot(u, v) / (length(u) * length(v));
        // Comparisons rather than fmin/fmax, so a NaN stays NaN.
        if (cosine < -1.0f) cosine = -1.0f;
        if (cosine > 1.0f) cosine = 1.0f;
        sum += std::acos(static_cast<double>(cosine));
    }
    return sum >= inside_angle_sum;
}

Vec3 closest_point_on_segment(Vec3 a, Vec3 b, Vec3 p) {
    Vec3 u = normalize(b - a);
    if (!is_finite(u)) return a;
    float t = dot(u, p - a);
    if (t <= 0.0f) return a;
    if (length(b - a) <= t) return b;
    return a + u * t;
}

bool collide_sphere_with_list(Vec3& p, float radius, const CollisionList& list,
                              bool face_pass, bool edge_pass) {
    bool contact = false;
    for (int t = 0; t < list.triangle_count; ++t) {
        Vec3 a = vec3_at(list.corner_a.get(), t);
        Vec3 n = vec3_at(list.normals.get(), t);
        float d = dot(n, p - a);
        if (!(d <= 0.0f && -d < radius)) continue;

        Vec3 b = vec3_at(list.corner_b.get(), t);
        Vec3 c = vec3_at(list.corner_c.get(), t);
        Vec3 foot = p - n * d;
        if (point_in_triangle(foot, a, b, c)) {
            if (face_pass) {
                p = p - n * (radius + d);
                contact = true;
            }
            continue;
        }
        if (!edge_pass) continue;
        const Vec3 edges[3][2] = {{a, b}, {b, c}, {c, a}};
        for (const auto& edge : edges) {
            Vec3 q = closest_point_on_segment(edge[0], edge[1], p);
            if (length(p - q) < radius) {
                push_from_edge(p, q, n, radius);
                contact = true;
            }
        }
    }
    return contact;
}

bool clip_segment_with_list(Vec3 s, Vec3& e, const CollisionList& list) {
    EdgeCrossing unused;
    return clip_with_list(s, e, list, vec3(0.0f, 0.0f, 0.0f), unused);
}

bool collide_sphere(const World& world, Vec3& p, float radius) {
    if (!usable(p)) return false;
    int cx0 = chunk_of(p.x - radius), cx1 = chunk_of(p.x + radius);
    int cz0 = chunk_of(p.z - radius), cz1 = chunk_of(p.z + radius);
    bool contact = false;
    for (int cx = cx0; cx <= cx1; ++cx) {
        for (int cz = cz0; cz <= cz1; ++cz) {
            int k = wrapped_chunk_index(cx, cz);
            float ox = static_cast<float>(chunk_size * cx), oz = static_cast<float>(chunk_size * cz);
            p.x -= ox;
            p.z -= oz;
            contact |= collide_sphere_with_list(p, radius, world.block_collision[k], true, false);
            contact |= collide_sphere_with_list(p, radius, world.terrain_collision[k], true, false);
            contact |= collide_sphere_with_list(p, radius, world.block_collision[k], false, true);
            contact |= collide_sphere_with_list(p, radius, world.terrain_collision[k], false, true);
            p.x += ox;
            p.z += oz;
        }
    }
    return contact;
}

bool clip_segment(const World& world, Vec3 s, Vec3& e) {
    if (!usable(s) || !usable(e)) return false;
    int cx0 = chunk_of(std::fmin(s.x, e.x)), cx1 = chunk_of(std::fmax(s.x, e.x));
    int cz0 = chunk_of(std::fmin(s.z, e.z)), cz1 = chunk_of(std::fmax(s.z, e.z));
    bool hit = false;
    EdgeCrossing edge;
    for (int cx = cx0; cx <= cx1; ++cx) {
        for (int cz = cz0; cz <= cz1; ++cz) {
            int k = wrapped_chunk_index(cx, cz);
            Vec3 offset = vec3(static_cast<float>(chunk_size * cx), 0.0f,
                               static_cast<float>(chunk_size * cz));
            s = s - offset;
            e = e - offset;
            hit |= clip_with_list(s, e, world.block_collision[k], offset, edge);
            hit |= clip_with_list(s, e, world.terrain_collision[k], offset, edge);
            s = s + offset;
            e = e + offset;
        }
    }
    // An edge or corner crossing counts only where the segment went on
    // clearly through that triangle's plane: where a neighbour sharing the
    // edge got its angles, its crossing stopped the segment within rounding
    // of the plane, and it stands.
    if (edge.found && edge.distance < length(e - s) && std::fabs(dot(edge.normal, e - edge.point)) > edge_slack) {
        e = edge.point;
        hit = true;
    }
    return hit;
}

bool collide_moving_sphere(const World& world, Vec3 from, Vec3& p, float radius) {
    bool contact = collide_sphere(world, p, radius);
    if (!usable(from) || !usable(p)) return contact;
    // Each round clears one face; a body wedged between surfaces closer
    // than its width may need a few, and one that cannot be kept out stays.
    constexpr int max_rounds = 4;
    for (int round = 0; round < max_rounds; ++round) {
        Entry entry;
        if (!find_entry(world, from, p, entry)) return contact;
        float depth = dot(entry.normal, p - entry.corner);
        p = p - entry.normal * (radius + depth);
        collide_sphere(world, p, radius);
        contact = true;
    }
    Entry entry;
    if (find_entry(world, from, p, entry)) p = from;
    return true;
}
