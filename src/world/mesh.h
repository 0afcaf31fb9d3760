// Meshing: turns the world state into per-chunk quad meshes (settled blocks,
// falling blocks, ground, water) and the collision triangle lists of settled
// blocks and ground. Each builder rebuilds all 100 chunks of its set, or
// those flagged in chunks (100 flags, non-zero to rebuild) when given.
//
// Call order after a change: generation -> all four mesh sets, then the
// collision lists; a ground edit -> terrain, water and open block meshes,
// collision lists; a block edit or settling step -> block (and falling)
// meshes, collision lists; a water step -> water meshes. The open block and
// water meshes leave out what lies wholly below the ground, so a ground edit
// rebuilds them too.
#pragma once

#include "world/world.h"

// From block_grid with tile_blocks: block_meshes, and open_block_meshes
// without the faces whose four corners all lie below the ground there.
void build_block_meshes(World& world, const uint8_t* chunks = nullptr);
void build_open_block_meshes(World& world);  // open_block_meshes alone
// From falling_grid with tile_falling.
void build_falling_meshes(World& world, const uint8_t* chunks = nullptr);
void build_terrain_meshes(World& world);  // from terrain_height with tile_terrain
// From water_height with tile_water: water_meshes, and open_water_meshes
// without the quads whose four corners all lie below the ground's.
void build_water_meshes(World& world);

// Whether the ground lies more than clearance below y over the square of
// half-width clearance around (x, z) (any coordinates; the world repeats).
// An eye there sees the ground from above, and no nearer than clearance.
bool ground_clear_of(const World& world, float x, float y, float z, float clearance);

// Everything a newly generated world needs, in that order: the four mesh
// sets, then the collision lists.
void build_world_meshes(World& world);

// For chunk 0..99 (or those flagged): block_collision from block_meshes,
// then terrain_collision from terrain_meshes. Call after the meshes it reads
// were rebuilt.
void build_collision_lists(World& world, const uint8_t* chunks = nullptr);

// Flags in chunks the chunks whose block faces the cell column (x, z), in
// 0..49, shows or hides: its own, and the one beside it across an edge of
// its chunk that it touches.
void mark_column_chunks(uint8_t* chunks, int x, int z);

// Builds or updates one list from one mesh: quad k gives triangles 2k =
// (V0, V1, V2) and 2k+1 = (V3, V0, V2), normals pointing into the solid.
void build_collision_list(CollisionList& list, const ChunkMesh& mesh);

// The unit normal of triangle (a, b, c) seen wound counter-clockwise from
// outside, turned to point inwards: -(u x w) / |u x w| with u = b - a and
// w = c - b, all in single precision. Each argument is three floats.
void triangle_normal(const float* a, const float* b, const float* c, float* normal);
