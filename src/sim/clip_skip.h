// Which triangles clip_segment may leave out. The plain clip computes every
// triangle's plane, its crossing with the segment and a corner angle sum;
// most triangles of a chunk are nowhere near the segment. may_hit proves
// cheaply, with rounding bounds, that the plain clip would find no hit on a
// triangle, so skipping the ones it rejects gives bit-identical results.
//
// Plain clip, per triangle: m = normalize((c - a) x (b - a)), D = -m.a; the
// ends cross when (m.e + D)(m.s + D) < 0; then X = s + u t with
// u = normalize(e - s), t = -(m.s + D) / (m.u); a hit needs the corner
// angles seen from X to sum to at least 0.99 of a full turn.
//
// Angle bound: a point at distance h from an edge of length l sees it under
// at most 2 atan(l / 2h). At half the triangle's diameter or more every
// angle is at most pi/2 and the sum at most 3/2 pi, so such an X is never
// inside. Half the sum of the triangle's box extents bounds half its
// diameter.
//
// Rounding bounds are in units of u = 2^-24, worked out for the plain
// clip's order of operations; each allowance is at least twice the worst
// case.
#pragma once

#include "sim/game.h"
#include "sim/vecmath.h"

#include <cmath>

namespace clip_skip {

constexpr float ulp = 0x1p-24f;
// An end counts as clearly on one side of a plane when it is farther from
// it than this many u of |end|1 + |a|1; the plain test errs by under 15 u.
constexpr float clear_side = 32.0f * ulp;
// Ends this many u from the plane on opposite sides (K = 2^14 u): the float
// crossing point then errs by under 43 / K of the span plus 7 u of the ends.
constexpr float crossing_margin = 0x1p14f;
constexpr float crossing_clear = crossing_margin * ulp;
constexpr float crossing_span_error = 64.0f / crossing_margin;
constexpr float coordinate_error = 64.0f * ulp;
constexpr float scale_limit = 1.0e15f;

inline float min3(float a, float b, float c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }
inline float max3(float a, float b, float c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
inline float size1(Vec3 v) { return std::fabs(v.x) + std::fabs(v.y) + std::fabs(v.z); }
inline Vec3 corner(const float* p) { return vec3(p[0], p[1], p[2]); }

}  // namespace clip_skip

// The current segment of a clip, in the list's chunk-local coordinates,
// with what may_hit needs about it. Refresh with set() whenever end moves.
struct ClipSegment {
    float start[3], end[3];
    float span[3];            // end - start
    float inverse_span[3];    // 1 / span (infinite where span is 0)
    float end_error[3];       // 64 u of |start| + |end| per axis, plus a floor
    float start_size = 0.0f;  // |start|1
    float end_size = 0.0f;    // |end|1
    bool well_scaled = false; // coordinates small enough for the bounds

    void set(Vec3 s, Vec3 e) {
        const Vec3 d = e - s;
        const float ss[3] = {s.x, s.y, s.z}, ee[3] = {e.x, e.y, e.z}, dd[3] = {d.x, d.y, d.z};
        for (int i = 0; i < 3; ++i) {
            start[i] = ss[i];
            end[i] = ee[i];
            span[i] = dd[i];
            inverse_span[i] = 1.0f / dd[i];
            end_error[i] = clip_skip::coordinate_error * (std::fabs(ss[i]) + std::fabs(ee[i])) + 1e-20f;
        }
        start_size = clip_skip::size1(s);
        end_size = clip_skip::size1(e);
        well_scaled = start_size < clip_skip::scale_limit && end_size < clip_skip::scale_limit;
    }
};

// True when the crossing estimated at fraction `along` of the segment may
// lie within `reach` of the box lo..hi on axis i. The estimate and the plain
// clip's X may differ by `span_error` of the span plus 64 u of the
// coordinates involved.
inline bool crossing_near_axis(const ClipSegment& seg, int i, float along, float span_error, float lo,
                               float hi, float reach) {
    const float x = seg.start[i] + seg.span[i] * along;
    const float error = std::fabs(seg.span[i]) * span_error + seg.end_error[i] +
                        clip_skip::coordinate_error * (std::fabs(lo) + std::fabs(hi) + reach);
    return !(x < lo - reach - error || x > hi + reach + error);
}

// A triangle in the plane `axis` = const whose plane the segment strictly
// straddles. Its computed normal is exactly +-1 on that axis (given a
// normal length clear of underflow), so the plain clip's X lies within 21 u
// of the ends' coordinates from the true crossing at the same fraction of
// the segment.
inline bool may_hit_flat(const float* a, const float* b, const float* c, const ClipSegment& seg, int axis) {
    using namespace clip_skip;
    if (!seg.well_scaled || !(std::fabs(seg.span[axis]) >= 1e-20f)) return true;
    const int i = axis == 0 ? 1 : 0, j = axis == 2 ? 1 : 2;
    const float lo_i = min3(a[i], b[i], c[i]), hi_i = max3(a[i], b[i], c[i]);
    const float lo_j = min3(a[j], b[j], c[j]), hi_j = max3(a[j], b[j], c[j]);
    const float reach = 0.5f * ((hi_i - lo_i) + (hi_j - lo_j));
    const float along = (a[axis] - seg.start[axis]) * seg.inverse_span[axis];
    if (crossing_near_axis(seg, i, along, 0.0f, lo_i, hi_i, reach) &&
        crossing_near_axis(seg, j, along, 0.0f, lo_j, hi_j, reach)) {
        return true;
    }
    // Far from the triangle, provided the normal was exactly +-1 on the axis.
    const float pi = c[i] - a[i], pj = c[j] - a[j], qi = b[i] - a[i], qj = b[j] - a[j];
    const float normal_size = std::fabs(pi * qj - pj * qi);
    return !(normal_size > 1e-15f && normal_size < 1e15f);
}

// Any other triangle: the ends' sides are found from the unnormalised normal
// v. The plain test errs by under 15 u of |end|1 + |a|1 (times |v|), so ends
// clearly on one side cannot cross; ends clearly on opposite sides give an
// X close to the true crossing.
inline bool may_hit_tilted(const float* a, const float* b, const float* c, const ClipSegment& seg) {
    using namespace clip_skip;
    if (!seg.well_scaled) return true;
    const Vec3 va = corner(a);
    const Vec3 v = cross(corner(c) - va, corner(b) - va);
    const float v_size = size1(v);
    if (!(v_size > 1e-15f && v_size < 1e15f)) return true;

    const Vec3 s = vec3(seg.start[0], seg.start[1], seg.start[2]);
    const Vec3 e = vec3(seg.end[0], seg.end[1], seg.end[2]);
    const float h_start = dot(v, s - va);
    const float h_end = dot(v, e - va);
    const float size_a = size1(va);
    const float reach_start = (seg.start_size + size_a) * v_size;
    const float reach_end = (seg.end_size + size_a) * v_size;
    if ((h_start > 0.0f && h_end > 0.0f) || (h_start < 0.0f && h_end < 0.0f)) {
        return !(std::fabs(h_start) > clear_side * reach_start && std::fabs(h_end) > clear_side * reach_end);
    }
    const bool clear = std::fabs(h_start) > crossing_clear * reach_start &&
                       std::fabs(h_end) > crossing_clear * reach_end;
    if (!clear) return true;

    float lo[3], hi[3], reach = 0.0f;
    for (int k = 0; k < 3; ++k) {
        lo[k] = min3(a[k], b[k], c[k]);
        hi[k] = max3(a[k], b[k], c[k]);
        reach += hi[k] - lo[k];
    }
    reach *= 0.5f;
    const float along = h_start / (h_start - h_end);
    for (int k = 0; k < 3; ++k) {
        if (!crossing_near_axis(seg, k, along, crossing_span_error, lo[k], hi[k], reach)) return false;
    }
    return true;
}

inline bool straddles(const ClipSegment& seg, int axis, float plane) {
    const float p = seg.start[axis], q = seg.end[axis];
    return (p < plane && plane < q) || (q < plane && plane < p);
}

// False only when the plain clip certainly finds no hit on triangle a, b, c
// (three floats each).
inline bool may_hit(const float* a, const float* b, const float* c, const ClipSegment& seg) {
    // A triangle in a plane x, y or z = const (every block face) has a
    // computed normal that is +-0 off that axis, so its plane test holds only
    // when the ends lie strictly on either side of that plane.
    if (a[1] == b[1] && a[1] == c[1]) return straddles(seg, 1, a[1]) && may_hit_flat(a, b, c, seg, 1);
    if (a[0] == b[0] && a[0] == c[0]) return straddles(seg, 0, a[0]) && may_hit_flat(a, b, c, seg, 0);
    if (a[2] == b[2] && a[2] == c[2]) return straddles(seg, 2, a[2]) && may_hit_flat(a, b, c, seg, 2);
    return may_hit_tilted(a, b, c, seg);
}
