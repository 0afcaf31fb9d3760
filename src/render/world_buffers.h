// The world's mesh sets in GL buffer objects, kept between frames and sent
// again only where a mesh changed. Vertices are interleaved (x, y, z, s, t),
// each chunk chunk-local (drawn a slot a call) or baked, moved to its place
// in a copy of the world (drawn a run a call), and a chunk's stretch beyond
// its mesh is filled with quads of no area.
#pragma once

#include "render/chunk_runs.h"
#include "world/world.h"

#include <cstdint>

// The copy of one mesh set in a GL buffer: the 100 chunks in x-major order,
// then again in z-major order, each chunk in a stretch of room vertices.
// Plain numbers, empty until the set is first drawn.
struct MeshSetCopy {
    bool fixed_size = false;  // the set's chunks never change size: no spare room
    uint32_t buffer = 0;      // GL buffer name; 0 when none
    uint32_t context = 0;     // the count of GL contexts when it was made
    bool baked = false;       // chunks moved to their place in the copy, or left chunk-local
    int32_t total = 0;        // vertices of one order
    int32_t first_x[chunk_count] = {};  // where each chunk's stretch starts
    int32_t first_z[chunk_count] = {};
    int32_t room[chunk_count] = {};
    // For each order, the revision of each chunk's mesh held, plus 1; 0 when
    // nothing is held.
    uint32_t held_x[chunk_count] = {};
    uint32_t held_z[chunk_count] = {};
};

// What a pass needs of a copy: the orders its plan draws from, and whether
// the chunks are baked into place (a call a run) or left chunk-local (a call
// a slot).
struct Handover {
    bool x_major = false, z_major = false;
    bool baked = false;
};

// The orders plan's runs draw from.
Handover handover_for(const RunPlan& plan, bool baked);

// Brings copy up to date with meshes (the 100 chunks of one set) for the
// handover: sends the chunks whose revision it does not hold in the orders
// asked for, or the whole set when a chunk has outgrown its room, the GL
// context is new or the chunks are to be baked otherwise. Leaves the buffer
// bound. Needs buffer objects (gl_has_buffers).
void sync_mesh_copy(MeshSetCopy& copy, const ChunkMesh* meshes, const Handover& handover);

// Draws the chunks of run from copy (synced in the run's order) as quads at
// the current modelview matrix, which must already hold the run's place: one
// call, or more where the browser's 16-bit quad indices need it, or none
// when the run's chunks are empty. A draw binds the copy's buffer and points
// the enabled vertex and texture coordinate arrays into it.
void draw_chunk_run(const MeshSetCopy& copy, const ChunkMesh* meshes, const ChunkRun& run);

// Unbinds the buffer, so that client arrays draw from memory again.
void end_chunk_runs();
