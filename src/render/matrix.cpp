#include "render/matrix.h"

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
