// Small single-precision vector helpers shared by the simulation. Every
// operation rounds each step to float, in the order written, so results are
// the same on every build.
#pragma once

#include "sim/game.h"

#include <cmath>

inline Vec3 vec3(float x, float y, float z) {
    Vec3 v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

inline Vec3 operator+(Vec3 a, Vec3 b) { return vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(Vec3 a, Vec3 b) { return vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vec3 operator*(Vec3 a, float s) { return vec3(a.x * s, a.y * s, a.z * s); }
inline Vec3 operator/(Vec3 a, float s) { return vec3(a.x / s, a.y / s, a.z / s); }

inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 cross(Vec3 a, Vec3 b) {
    return vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

inline float length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// v / |v|; not finite for a zero vector.
inline Vec3 normalize(Vec3 v) { return v / length(v); }

inline bool is_finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Reads corner t of a flat array of xyz triples.
inline Vec3 vec3_at(const float* xyz, int t) { return vec3(xyz[3 * t], xyz[3 * t + 1], xyz[3 * t + 2]); }
