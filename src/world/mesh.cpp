#include "world/mesh.h"

void build_block_meshes(World&) {}
void build_falling_meshes(World&) {}
void build_terrain_meshes(World&) {}
void build_water_meshes(World&) {}
void build_collision_lists(World&) {}
void build_collision_list(CollisionList&, const ChunkMesh&) {}
