// The world's mesh sets in GL buffer objects, kept between frames in the
// world's MeshSetCopy records and sent again only where a mesh changed.
// Vertices are interleaved (x, y, z, s, t), each chunk chunk-local (drawn a
// slot a call) or baked, moved to its place in a copy of the world (drawn a
// run a call), and a chunk's stretch beyond its mesh is filled with quads of
// no area.
#pragma once

#include "render/chunk_runs.h"
#include "world/world.h"

// Brings copy up to date with meshes (the 100 chunks of one set) in the
// orders asked for: sends the chunks whose revision it does not hold, or the
// whole set when a chunk has outgrown its room (or the GL context is new).
// Sets whose chunks keep their size (fixed_size) get no spare room; a
// change of baked sends the whole set. Leaves the buffer bound. False,
// doing nothing, when GL has no buffer objects.
bool sync_mesh_copy(MeshSetCopy& copy, const ChunkMesh* meshes, bool x_major, bool z_major,
                    bool fixed_size, bool baked);

// Whether any of the 100 meshes has a vertex.
bool any_vertex(const ChunkMesh* meshes);

// Draws the chunks of run from copy (synced in the run's order) as quads at
// the current modelview matrix, which must already hold the copy's place:
// one call, or more where the browser's 16-bit quad indices need it. Binds
// the copy's buffer and points the enabled vertex and texture coordinate
// arrays into it.
void draw_chunk_run(const MeshSetCopy& copy, const ChunkMesh* meshes, const ChunkRun& run);

// Draws chunk c of a copy synced chunk-local in the x-major order at the
// current modelview matrix. Binds as draw_chunk_run does.
void draw_chunk(const MeshSetCopy& copy, const ChunkMesh* meshes, int c);

// Unbinds the buffer, so that client arrays draw from memory again.
void end_chunk_runs();
