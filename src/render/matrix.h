// 4 x 4 matrices laid out as GL keeps them (column-major: row r, column c at
// m[c * 4 + r]), and the degrees GL's rotations take. The view's culling
// multiplies GL's own matrices on the CPU.
#pragma once

#include "sim/game.h"

struct Mat4 {
    float m[16];
};

// Radians to the degrees handed to GL: radians times 57.2957795, in single
// precision.
inline float to_degrees(float radians) { return radians * 57.2957795f; }

Mat4 mat4_from(const float column_major[16]);

// a * b: b acts first on a point. Each element sums its four products in
// order, in single precision.
Mat4 mat4_multiply(const Mat4& a, const Mat4& b);

