// The plans of a pass: which chunks each draw call takes, and where. The
// renderer keeps each mesh set in a GL buffer as one copy of the world's
// 10 x 10 chunks, in two orders; a run is a stretch of chunks that lie
// together in one order, drawn by one call. A pass hands the world over in
// one of two ways: a call a slot (each chunk chunk-local, at its slot) or a
// call a run (the chunks baked into their place in a copy of the world, at
// the copy's place). Pure arithmetic, so that it can be checked without GL.
#pragma once

#include "render/frustum.h"

// Chunks lcx, lcz (0..9) of a copy sit at position lcx * 10 + lcz in the
// x-major order and at lcz * 10 + lcx in the z-major one.
inline int run_chunk(bool z_major, int position) {
    return z_major ? position % 10 * 10 + position / 10 : position;
}

// Positions first..last (0..99, first <= last) of one order, drawn with the
// copy's low corner at slot (slot_x, slot_z): the slot itself for a call a
// slot, a multiple of 10 slots for a call a run.
struct ChunkRun {
    int slot_x = 0, slot_z = 0;
    int first = 0, last = 0;
    bool z_major = false;
};

// The runs of one pass, in drawing order; a call a slot takes at most every
// slot of the window.
struct RunPlan {
    int count = 0;
    ChunkRun runs[slot_window_count];
};

// Plans a call a slot: each slot of the window around (pcx, pcz) that the
// pass keeps (solid_slot_visible, or water_slot_visible when water) as a run
// of its one chunk. The solid pass goes nearest first, by the horizontal
// distance from the eye (eye_x, eye_z) to the slot's centre, so that nearer
// surfaces fill the depth buffer first and hidden ones fail the depth test
// before they are textured. The water pass, blended, keeps the listed order:
// cx ascending, then cz. Ties keep the listed order too.
void plan_slot_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                    float eye_z, RunPlan& plan);

// Plans a call a run: the copies of the world that the window of slots meets,
// and runs that cover their kept slots. Every kept slot lies in exactly one
// run; a run may also hold slots the pass does not keep (drawing them changes
// no pixel), but never a slot outside the window. Each copy takes the
// cheapest of one run from its first kept slot to its last, a run per row,
// or (for the solid pass) the same in the z-major order, counting a call as
// worth a few slots. The solid pass then goes nearest first, by the middle of
// the slots a run spans; the water pass keeps the listed order: copies by x
// then z, a copy's runs as they come. Sent every pass, the water is planned
// in the x-major order alone: a few more calls, half the bytes.
void plan_chunk_runs(const SlotCulling& culling, bool water, int pcx, int pcz, float eye_x,
                     float eye_z, RunPlan& plan);
