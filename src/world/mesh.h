// Meshing: turns the world state into per-chunk quad meshes (settled blocks,
// falling blocks, ground, water) and the collision triangle lists of settled
// blocks and ground. Each builder rebuilds all 100 chunks of its set.
//
// Call order after a change: generation -> all four mesh sets, then the
// collision lists; a ground edit -> terrain meshes, collision lists; a block
// edit or settling step -> block (and falling) meshes, collision lists; a
// water step -> water meshes.
#pragma once

#include "world/world.h"

void build_block_meshes(World& world);    // from block_grid with tile_blocks
void build_falling_meshes(World& world);  // from falling_grid with tile_falling
void build_terrain_meshes(World& world);  // from terrain_height with tile_terrain
void build_water_meshes(World& world);    // from water_height with tile_water

// For chunk 0..99: block_collision from block_meshes, then terrain_collision
// from terrain_meshes. Call after the meshes it reads were rebuilt.
void build_collision_lists(World& world);

// Builds or updates one list from one mesh: two triangles per quad, normals
// pointing into the solid.
void build_collision_list(CollisionList& list, const ChunkMesh& mesh);
