// The repeated world in few draw calls. The renderer keeps each mesh set in
// a buffer as one copy of the world's 10 x 10 chunks (50 x 50 units), in two
// orders; a run is a stretch of chunks that lie together in one order, drawn
// by one call at its copy's place. This plans the runs of a pass: which
// copies of the world the window of slots meets, and which runs cover their
// visible slots. Pure arithmetic, so that it can be checked without GL.
#pragma once

#include "render/frustum.h"

// Chunks lcx, lcz (0..9) of a copy sit at position lcx * 10 + lcz in the
// x-major order and at lcz * 10 + lcx in the z-major one.
inline int run_chunk(bool z_major, int position) {
    return z_major ? position % 10 * 10 + position / 10 : position;
}

// Positions first..last (0..99, first <= last) of one order, in the copy
// whose origin is (50 * copy_x, 0, 50 * copy_z).
struct ChunkRun {
    int copy_x = 0, copy_z = 0;
    int first = 0, last = 0;
    bool z_major = false;
};

// The window of 41 x 41 slots meets at most 5 x 5 copies, and a copy needs
// at most 10 runs.
constexpr int max_chunk_runs = 250;

// The runs of one pass, in drawing order.
struct RunPlan {
    int count = 0;
    ChunkRun runs[max_chunk_runs];
};

// Plans the runs that draw the slots of the window around (pcx, pcz) that a
// pass keeps (solid_slot_visible, or water_slot_visible when water). Every
// kept slot lies in exactly one run; a run may also hold slots the pass
// does not keep (drawing them changes no pixel), but never a slot outside
// the window. Each copy takes the cheapest of one run from its first kept
// slot to its last, a run per row, or (when z_major_allowed) the same in
// the z-major order, counting a call as worth a few slots.
// nearest_first orders the runs by the horizontal distance from the eye
// (eye_x, eye_z) to the middle of the slots they span, ties in the listed
// order: copies by copy_x then copy_z, and a copy's runs as they come.
void plan_chunk_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                     float eye_z, bool nearest_first, bool z_major_allowed, RunPlan& plan);
