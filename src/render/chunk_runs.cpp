#include "render/chunk_runs.h"

#include <algorithm>

namespace {

constexpr int copy_chunks = 10;  // chunks along a copy's edge

// What a draw call costs, in slots drawn: the browser pays for every call
// and for every vertex, and a slot holds a few hundred vertices.
constexpr int call_cost = 4;

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The kept slots of one copy: for each row (local x), the lowest and
// highest local z kept, hi < lo when none; likewise for each column.
struct CopySpans {
    int row_lo[copy_chunks], row_hi[copy_chunks];
    int col_lo[copy_chunks], col_hi[copy_chunks];
    bool any;
};

// Whether every position of the run lies in the window (slot range lo..hi on
// both axes, as copy-local ranges).
bool run_in_window(bool z_major, int first, int last, const int (&x_range)[2],
                   const int (&z_range)[2]) {
    for (int p = first; p <= last; ++p) {
        const int c = run_chunk(z_major, p), lx = c / copy_chunks, lz = c % copy_chunks;
        if (lx < x_range[0] || lx > x_range[1] || lz < z_range[0] || lz > z_range[1]) return false;
    }
    return true;
}

}  // namespace

void plan_chunk_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                     float eye_z, bool nearest_first, bool z_major_allowed, RunPlan& plan) {
    const int kx0 = floor_div(pcx - slot_radius, copy_chunks);
    const int kz0 = floor_div(pcz - slot_radius, copy_chunks);
    const int kx1 = floor_div(pcx + slot_radius, copy_chunks);
    const int kz1 = floor_div(pcz + slot_radius, copy_chunks);
    plan.count = 0;
    for (int kx = kx0; kx <= kx1; ++kx) {
        for (int kz = kz0; kz <= kz1; ++kz) {
            // The window within this copy, in local slots.
            const int x_range[2] = {std::max(pcx - slot_radius - kx * copy_chunks, 0),
                                    std::min(pcx + slot_radius - kx * copy_chunks, copy_chunks - 1)};
            const int z_range[2] = {std::max(pcz - slot_radius - kz * copy_chunks, 0),
                                    std::min(pcz + slot_radius - kz * copy_chunks, copy_chunks - 1)};
            CopySpans s;
            std::fill(s.row_lo, s.row_lo + copy_chunks, copy_chunks);
            std::fill(s.col_lo, s.col_lo + copy_chunks, copy_chunks);
            std::fill(s.row_hi, s.row_hi + copy_chunks, -1);
            std::fill(s.col_hi, s.col_hi + copy_chunks, -1);
            s.any = false;
            int x0 = copy_chunks, x1 = -1, z0 = copy_chunks, z1 = -1;
            for (int lx = x_range[0]; lx <= x_range[1]; ++lx) {
                for (int lz = z_range[0]; lz <= z_range[1]; ++lz) {
                    const int cx = kx * copy_chunks + lx, cz = kz * copy_chunks + lz;
                    if (!(water ? water_slot_visible(culling, cx, cz)
                                : solid_slot_visible(culling, cx, cz))) {
                        continue;
                    }
                    s.any = true;
                    s.row_lo[lx] = std::min(s.row_lo[lx], lz), s.row_hi[lx] = std::max(s.row_hi[lx], lz);
                    s.col_lo[lz] = std::min(s.col_lo[lz], lx), s.col_hi[lz] = std::max(s.col_hi[lz], lx);
                    x0 = std::min(x0, lx), x1 = std::max(x1, lx);
                    z0 = std::min(z0, lz), z1 = std::max(z1, lz);
                }
            }
            if (!s.any) continue;
            auto add = [&](bool z_major, int first, int last) {
                ChunkRun& run = plan.runs[plan.count++];
                run.copy_x = kx, run.copy_z = kz;
                run.first = first, run.last = last;
                run.z_major = z_major;
            };
            // From the first kept slot to the last, in either order.
            const int x_first = x0 * copy_chunks + s.row_lo[x0], x_last = x1 * copy_chunks + s.row_hi[x1];
            const int z_first = z0 * copy_chunks + s.col_lo[z0], z_last = z1 * copy_chunks + s.col_hi[z1];
            // The cheapest cover: a call costs as much as call_cost slots more.
            int rows = 0, row_slots = 0, cols = 0, col_slots = 0;
            for (int l = 0; l < copy_chunks; ++l) {
                if (s.row_hi[l] >= 0) ++rows, row_slots += s.row_hi[l] - s.row_lo[l] + 1;
                if (s.col_hi[l] >= 0) ++cols, col_slots += s.col_hi[l] - s.col_lo[l] + 1;
            }
            const int none = 1 << 30;
            const int costs[4] = {
                run_in_window(false, x_first, x_last, x_range, z_range) ? call_cost + x_last - x_first + 1 : none,
                z_major_allowed && run_in_window(true, z_first, z_last, x_range, z_range)
                    ? call_cost + z_last - z_first + 1 : none,
                rows * call_cost + row_slots,
                z_major_allowed ? cols * call_cost + col_slots : none};
            const int best = static_cast<int>(std::min_element(costs, costs + 4) - costs);
            if (best == 0) add(false, x_first, x_last);
            if (best == 1) add(true, z_first, z_last);
            for (int l = 0; l < copy_chunks && best >= 2; ++l) {
                const bool z_major = best == 3;
                const int lo = z_major ? s.col_lo[l] : s.row_lo[l], hi = z_major ? s.col_hi[l] : s.row_hi[l];
                if (hi >= 0) add(z_major, l * copy_chunks + lo, l * copy_chunks + hi);
            }
        }
    }
    if (!nearest_first) return;
    // The middle of the slots a run spans, against the eye.
    auto distance = [&](const ChunkRun& run) {
        const int a = run_chunk(run.z_major, run.first), b = run_chunk(run.z_major, run.last);
        int lx0 = a / copy_chunks, lx1 = b / copy_chunks, lz0 = a % copy_chunks, lz1 = b % copy_chunks;
        const bool one_line = run.first / copy_chunks == run.last / copy_chunks;
        if (!one_line && !run.z_major) lz0 = 0, lz1 = copy_chunks - 1;
        if (!one_line && run.z_major) lx0 = 0, lx1 = copy_chunks - 1;
        const float x = (static_cast<float>(run.copy_x * copy_chunks * 2 + lx0 + lx1) * 0.5f + 0.5f) * slot_size;
        const float z = (static_cast<float>(run.copy_z * copy_chunks * 2 + lz0 + lz1) * 0.5f + 0.5f) * slot_size;
        return (x - eye_x) * (x - eye_x) + (z - eye_z) * (z - eye_z);
    };
    // Ties keep the listed order: std::sort with the index as the
    // tie-break, which std::stable_sort would ask the heap for.
    float keys[max_chunk_runs];
    int order[max_chunk_runs];
    for (int n = 0; n < plan.count; ++n) keys[n] = distance(plan.runs[n]), order[n] = n;
    std::sort(order, order + plan.count, [&](int a, int b) { return keys[a] != keys[b] ? keys[a] < keys[b] : a < b; });
    ChunkRun sorted[max_chunk_runs];
    for (int n = 0; n < plan.count; ++n) sorted[n] = plan.runs[order[n]];
    std::copy(sorted, sorted + plan.count, plan.runs);
}
