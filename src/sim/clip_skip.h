// Which triangles clip_segment may leave out. The plain clip computes every
// triangle's plane, its crossing with the segment and a corner angle sum;
// most triangles of a chunk are nowhere near the segment. may_hit proves
// cheaply, with rounding bounds, that the plain clip would find no hit on a
// triangle, so skipping the ones it rejects gives bit-identical results.
#pragma once

#include "sim/game.h"

// The current segment of a clip, in the list's chunk-local coordinates,
// with what may_hit needs about it. Refresh with set() whenever end moves.
struct ClipSegment {
    float start[3], end[3];
    float span[3];              // end - start
    float inverse_span[3];      // 1 / span (infinite where span is 0)
    float start_size = 0.0f;    // |start|1
    float end_size = 0.0f;      // |end|1
    bool well_scaled = false;   // coordinates small enough for the bounds

    void set(Vec3 s, Vec3 e);
};

// may_hit for a triangle lying in the plane `axis` = const whose plane the
// segment straddles, and for any other triangle.
bool may_hit_flat(const float* a, const float* b, const float* c, const ClipSegment& seg, int axis);
bool may_hit_tilted(const float* a, const float* b, const float* c, const ClipSegment& seg);

// A triangle in a plane x, y or z = const (every block face) has a computed
// normal that is exactly +-1 on that axis and +-0 off it, so its plane test
// holds only when the ends lie strictly on either side of that plane.
inline bool straddles(const ClipSegment& seg, int axis, float plane) {
    const float p = seg.start[axis], q = seg.end[axis];
    return (p < plane && plane < q) || (q < plane && plane < p);
}

// False only when the plain clip certainly finds no hit on triangle a, b, c
// (three floats each).
inline bool may_hit(const float* a, const float* b, const float* c, const ClipSegment& seg) {
    if (a[1] == b[1] && a[1] == c[1]) return straddles(seg, 1, a[1]) && may_hit_flat(a, b, c, seg, 1);
    if (a[0] == b[0] && a[0] == c[0]) return straddles(seg, 0, a[0]) && may_hit_flat(a, b, c, seg, 0);
    if (a[2] == b[2] && a[2] == c[2]) return straddles(seg, 2, a[2]) && may_hit_flat(a, b, c, seg, 2);
    return may_hit_tilted(a, b, c, seg);
}
