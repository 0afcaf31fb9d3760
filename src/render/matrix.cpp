#include "render/matrix.h"

#include <cmath>

Mat4 mat4_identity() {
    Mat4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

Mat4 mat4_from(const float column_major[16]) {
    Mat4 r;
    for (int n = 0; n < 16; ++n) r.m[n] = column_major[n];
    return r;
}

Mat4 mat4_multiply(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a.m[k * 4 + row] * b.m[col * 4 + k];
            r.m[col * 4 + row] = s;
        }
    }
    return r;
}

Mat4 mat4_translate(float x, float y, float z) {
    Mat4 r = mat4_identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

Mat4 mat4_rotate(float degrees, float x, float y, float z) {
    double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    Mat4 r = mat4_identity();
    if (length == 0.0) return r;
    double ux = x / length, uy = y / length, uz = z / length;
    double radians = degrees * (std::acos(-1.0) / 180.0);
    double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    auto set = [&](int row, int col, double v) { r.m[col * 4 + row] = static_cast<float>(v); };
    set(0, 0, ux * ux * t + c);
    set(0, 1, ux * uy * t - uz * s);
    set(0, 2, ux * uz * t + uy * s);
    set(1, 0, uy * ux * t + uz * s);
    set(1, 1, uy * uy * t + c);
    set(1, 2, uy * uz * t - ux * s);
    set(2, 0, uz * ux * t - uy * s);
    set(2, 1, uz * uy * t + ux * s);
    set(2, 2, uz * uz * t + c);
    return r;
}

Mat4 mat4_perspective(double fovy_degrees, double aspect, double z_near, double z_far) {
    double f = 1.0 / std::tan(fovy_degrees * (std::acos(-1.0) / 180.0) / 2.0);
    Mat4 r{};
    r.m[0] = static_cast<float>(f / aspect);
    r.m[5] = static_cast<float>(f);
    r.m[10] = static_cast<float>((z_far + z_near) / (z_near - z_far));
    r.m[11] = -1.0f;
    r.m[14] = static_cast<float>(2.0 * z_far * z_near / (z_near - z_far));
    return r;
}

Vec3 mat4_transform_point(const Mat4& m, const Vec3& p) {
    return {m.m[0] * p.x + m.m[4] * p.y + m.m[8] * p.z + m.m[12],
            m.m[1] * p.x + m.m[5] * p.y + m.m[9] * p.z + m.m[13],
            m.m[2] * p.x + m.m[6] * p.y + m.m[10] * p.z + m.m[14]};
}
