#include "render/chunk_runs.h"

#include <algorithm>

namespace {

constexpr int copy_chunks = 10;  // chunks along a copy's edge

// What a draw call costs, in slots drawn: the browser pays for every call
// and for every vertex, and a slot holds a few hundred vertices.
constexpr int call_cost = 4;
constexpr int no_cover = 1 << 30;

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

bool kept(const SlotCulling& culling, bool water, int cx, int cz) {
    return water ? water_slot_visible(culling, cx, cz) : solid_slot_visible(culling, cx, cz);
}

void add_run(RunPlan& plan, int slot_x, int slot_z, bool z_major, int first, int last) {
    plan.runs[plan.count++] = {slot_x, slot_z, first, last, z_major};
}

// The kept slots of one copy, in copy-local slots: for each line of each
// order (rows run along z at one x, columns along x at one z), the lowest
// and highest kept, hi < lo when none; and the window's range on each axis.
struct CopySpans {
    int lo[2][copy_chunks], hi[2][copy_chunks];  // [z_major][line]
    int range[2][2];                             // [axis: x, z][low, high]
    bool any = false;
};

CopySpans spans_of_copy(const SlotCulling& culling, bool water, int pcx, int pcz, int kx, int kz) {
    CopySpans s;
    const int origin[2] = {kx * copy_chunks, kz * copy_chunks}, player[2] = {pcx, pcz};
    for (int axis = 0; axis < 2; ++axis) {
        s.range[axis][0] = std::max(player[axis] - slot_radius - origin[axis], 0);
        s.range[axis][1] = std::min(player[axis] + slot_radius - origin[axis], copy_chunks - 1);
        std::fill(s.lo[axis], s.lo[axis] + copy_chunks, copy_chunks);
        std::fill(s.hi[axis], s.hi[axis] + copy_chunks, -1);
    }
    for (int lx = s.range[0][0]; lx <= s.range[0][1]; ++lx) {
        for (int lz = s.range[1][0]; lz <= s.range[1][1]; ++lz) {
            if (!kept(culling, water, origin[0] + lx, origin[1] + lz)) continue;
            s.any = true;
            s.lo[0][lx] = std::min(s.lo[0][lx], lz), s.hi[0][lx] = std::max(s.hi[0][lx], lz);
            s.lo[1][lz] = std::min(s.lo[1][lz], lx), s.hi[1][lz] = std::max(s.hi[1][lz], lx);
        }
    }
    return s;
}

// The positions of one order from the first kept slot to the last.
void whole_span(const CopySpans& s, bool z_major, int& first, int& last) {
    const int* lo = s.lo[z_major];
    const int* hi = s.hi[z_major];
    int a = 0, b = copy_chunks - 1;
    while (hi[a] < 0) ++a;
    while (hi[b] < 0) --b;
    first = a * copy_chunks + lo[a], last = b * copy_chunks + hi[b];
}

// Whether every position of first..last lies in the window.
bool in_window(const CopySpans& s, bool z_major, int first, int last) {
    for (int p = first; p <= last; ++p) {
        const int c = run_chunk(z_major, p), lx = c / copy_chunks, lz = c % copy_chunks;
        if (lx < s.range[0][0] || lx > s.range[0][1] || lz < s.range[1][0] || lz > s.range[1][1]) {
            return false;
        }
    }
    return true;
}

// The cheapest cover of a copy's kept slots, in the order of the four ways:
// one run in the x-major order, one in the z-major, a run per row, a run per
// column.
enum Cover { one_x_run, one_z_run, row_runs, column_runs };

int cost_of(const CopySpans& s, Cover cover) {
    const bool z_major = cover == one_z_run || cover == column_runs;
    if (cover == one_x_run || cover == one_z_run) {
        int first, last;
        whole_span(s, z_major, first, last);
        return in_window(s, z_major, first, last) ? call_cost + last - first + 1 : no_cover;
    }
    int cost = 0;
    for (int l = 0; l < copy_chunks; ++l) {
        if (s.hi[z_major][l] >= 0) cost += call_cost + s.hi[z_major][l] - s.lo[z_major][l] + 1;
    }
    return cost;
}

void add_cover(RunPlan& plan, const CopySpans& s, Cover cover, int slot_x, int slot_z) {
    const bool z_major = cover == one_z_run || cover == column_runs;
    if (cover == one_x_run || cover == one_z_run) {
        int first, last;
        whole_span(s, z_major, first, last);
        add_run(plan, slot_x, slot_z, z_major, first, last);
        return;
    }
    for (int l = 0; l < copy_chunks; ++l) {
        const int lo = s.lo[z_major][l], hi = s.hi[z_major][l];
        if (hi >= 0) add_run(plan, slot_x, slot_z, z_major, l * copy_chunks + lo, l * copy_chunks + hi);
    }
}

// The middle of the slots a run spans, as world x and z: a run within one
// line spans its own slots, a longer one the whole width of its lines.
void run_middle(const ChunkRun& run, float& x, float& z) {
    const int a = run_chunk(run.z_major, run.first), b = run_chunk(run.z_major, run.last);
    int lx0 = a / copy_chunks, lx1 = b / copy_chunks, lz0 = a % copy_chunks, lz1 = b % copy_chunks;
    const bool one_line = run.first / copy_chunks == run.last / copy_chunks;
    if (!one_line && !run.z_major) lz0 = 0, lz1 = copy_chunks - 1;
    if (!one_line && run.z_major) lx0 = 0, lx1 = copy_chunks - 1;
    x = (static_cast<float>(run.slot_x * 2 + lx0 + lx1) * 0.5f + 0.5f) * slot_size;
    z = (static_cast<float>(run.slot_z * 2 + lz0 + lz1) * 0.5f + 0.5f) * slot_size;
}

// Sorts the plan's runs by the horizontal distance from the eye to middle's
// point, ties in the listed order, which is that of the runs' copies (or
// slots) by x then z, and then of their first positions. With that
// tie-break std::sort gives the stable order without the buffer
// std::stable_sort would ask the heap for.
template <typename Middle>
void sort_nearest_first(RunPlan& plan, float eye_x, float eye_z, Middle middle) {
    auto distance = [&](const ChunkRun& run) {
        float x, z;
        middle(run, x, z);
        return (x - eye_x) * (x - eye_x) + (z - eye_z) * (z - eye_z);
    };
    std::sort(plan.runs, plan.runs + plan.count, [&](const ChunkRun& a, const ChunkRun& b) {
        const float da = distance(a), db = distance(b);
        if (da != db) return da < db;
        if (a.slot_x != b.slot_x) return a.slot_x < b.slot_x;
        return a.slot_z != b.slot_z ? a.slot_z < b.slot_z : a.first < b.first;
    });
}

}  // namespace

void plan_slot_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                    float eye_z, RunPlan& plan) {
    plan.count = 0;
    for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
        for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
            const int c = slot_mesh_index(cx, cz);
            if (kept(culling, water, cx, cz)) add_run(plan, cx, cz, false, c, c);
        }
    }
    if (water) return;
    sort_nearest_first(plan, eye_x, eye_z, [](const ChunkRun& run, float& x, float& z) {
        x = (static_cast<float>(run.slot_x) + 0.5f) * slot_size;
        z = (static_cast<float>(run.slot_z) + 0.5f) * slot_size;
    });
}

void plan_chunk_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                     float eye_z, RunPlan& plan) {
    plan.count = 0;
    for (int kx = floor_div(pcx - slot_radius, copy_chunks);
         kx <= floor_div(pcx + slot_radius, copy_chunks); ++kx) {
        for (int kz = floor_div(pcz - slot_radius, copy_chunks);
             kz <= floor_div(pcz + slot_radius, copy_chunks); ++kz) {
            const CopySpans spans = spans_of_copy(culling, water, pcx, pcz, kx, kz);
            if (!spans.any) continue;
            Cover best = one_x_run;
            for (Cover cover : {one_z_run, row_runs, column_runs}) {
                const bool z_major = cover == one_z_run || cover == column_runs;
                if (!(water && z_major) && cost_of(spans, cover) < cost_of(spans, best)) best = cover;
            }
            add_cover(plan, spans, best, kx * copy_chunks, kz * copy_chunks);
        }
    }
    if (!water) sort_nearest_first(plan, eye_x, eye_z, run_middle);
}
