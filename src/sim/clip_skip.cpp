#include "sim/clip_skip.h"

#include "sim/vecmath.h"

#include <cmath>

// The bounds below are in units of the float rounding unit u = 2^-24 and
// are worked out for the plain clip's own order of operations, with room to
// spare (each allowance is at least twice the worst case found).
//
// Plain clip, per triangle: m = normalize((c - a) x (b - a)), D = -m.a; the
// ends cross when (m.e + D)(m.s + D) < 0; then X = s + u t with
// u = normalize(e - s), t = -(m.s + D) / (m.u); a hit needs the corner
// angles seen from X to sum to at least 0.99 of a full turn.
//
// Angle bound: a point at distance h from an edge of length l sees it under
// at most 2 atan(l / 2h). At a distance of half the triangle's diameter or
// more every angle is at most pi/2 and the sum at most 3/2 pi, so such an X
// is never inside. Half the sum of the box extents bounds half the diameter.

namespace {

constexpr float ulp = 0x1p-24f;
// An end counts as clearly on one side of a plane when it is farther from
// it than this many u of |end|1 + |a|1; the plain test errs by under 15 u.
constexpr float clear_side = 32.0f * ulp;
// Ends this many u from the plane on opposite sides (K = 2^14 u): the float
// crossing point then errs by under 43 / K of the span plus 7 u of the ends.
constexpr float crossing_margin = 0x1p14f;
constexpr float crossing_clear = crossing_margin * ulp;
constexpr float scale_limit = 1.0e15f;

float min3(float a, float b, float c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }
float max3(float a, float b, float c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
float size1(Vec3 v) { return std::fabs(v.x) + std::fabs(v.y) + std::fabs(v.z); }
Vec3 corner(const float* p) { return vec3(p[0], p[1], p[2]); }

// True when the crossing estimated at fraction `along` of the segment may
// lie within reach of the triangle on every axis but `plane_axis`. The
// estimate and the plain clip's X may differ by `span_error` of the span
// plus 64 u of the coordinates involved.
bool crossing_near(const float* a, const float* b, const float* c, const ClipSegment& seg,
                   float along, float span_error, int plane_axis) {
    float lo[3], hi[3], reach = 0.0f;
    for (int i = 0; i < 3; ++i) {
        lo[i] = min3(a[i], b[i], c[i]);
        hi[i] = max3(a[i], b[i], c[i]);
        reach += hi[i] - lo[i];
    }
    reach *= 0.5f;
    for (int i = 0; i < 3; ++i) {
        if (i == plane_axis) continue;
        const float from = seg.start[i], to = seg.end[i], span = seg.span[i];
        const float x = from + span * along;
        const float error = std::fabs(span) * span_error +
                            64.0f * ulp * (std::fabs(from) + std::fabs(to) + std::fabs(lo[i]) +
                                           std::fabs(hi[i]) + reach) +
                            1e-20f;
        if (x < lo[i] - reach - error || x > hi[i] + reach + error) return false;
    }
    return true;
}

}  // namespace

void ClipSegment::set(Vec3 s, Vec3 e) {
    const Vec3 d = e - s;
    const float ss[3] = {s.x, s.y, s.z}, ee[3] = {e.x, e.y, e.z}, dd[3] = {d.x, d.y, d.z};
    for (int i = 0; i < 3; ++i) {
        start[i] = ss[i];
        end[i] = ee[i];
        span[i] = dd[i];
        inverse_span[i] = 1.0f / dd[i];
    }
    start_size = size1(s);
    end_size = size1(e);
    well_scaled = start_size < scale_limit && end_size < scale_limit;
}

// Straddled flat triangle: the plain clip's X lies on the plane, within
// 21 u of the ends' coordinates from the true crossing at the same fraction
// of the segment, as long as the normal's length and the span across the
// plane stay clear of underflow.
bool may_hit_flat(const float* a, const float* b, const float* c, const ClipSegment& seg, int axis) {
    if (!seg.well_scaled || !(std::fabs(seg.span[axis]) >= 1e-20f)) return true;
    const Vec3 va = corner(a);
    const float v_size = size1(cross(corner(c) - va, corner(b) - va));
    if (!(v_size > 1e-15f && v_size < 1e15f)) return true;
    const float along = (a[axis] - seg.start[axis]) * seg.inverse_span[axis];
    return crossing_near(a, b, c, seg, along, 0.0f, axis);
}

bool may_hit_tilted(const float* a, const float* b, const float* c, const ClipSegment& seg) {
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
    return crossing_near(a, b, c, seg, h_start / (h_start - h_end), 64.0f / crossing_margin, -1);
}
