// 4 x 4 matrices laid out as GL keeps them (column-major: row r, column c at
// m[c * 4 + r]), with the same construction rules as the GL and GLU calls the
// renderer makes. Lets the view's culling and the avatar's transform chains
// be computed and checked on the CPU.
#pragma once

#include "sim/game.h"

struct Mat4 {
    float m[16];
};

// Radians to the degrees handed to GL: radians times 57.2957795, in single
// precision.
inline float to_degrees(float radians) { return radians * 57.2957795f; }

Mat4 mat4_identity();
Mat4 mat4_from(const float column_major[16]);

// a * b: b acts first on a point. Each element sums its four products in
// order, in single precision.
Mat4 mat4_multiply(const Mat4& a, const Mat4& b);

// As glTranslatef and glRotatef (axis normalised, angle in degrees).
Mat4 mat4_translate(float x, float y, float z);
Mat4 mat4_rotate(float degrees, float x, float y, float z);

// As gluPerspective: vertical field of view in degrees.
Mat4 mat4_perspective(double fovy_degrees, double aspect, double z_near, double z_far);

// The point (p, 1) carried by m, without the perspective divide.
Vec3 mat4_transform_point(const Mat4& m, const Vec3& p);
