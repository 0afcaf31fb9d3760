// The one world: block grids, height maps, water animation data, and the
// per-chunk meshes and collision lists derived from them.
//
// The world is 50 x 50 columns that repeat in x and z, 25 levels high. Every
// array keeps its last index fastest: block_grid[x][y][z], maps [x][z]. The
// derived geometry is rebuilt by explicit calls after each change (see
// mesh.h); nothing is rebuilt lazily. A World is large (about 270 KB plus the
// meshes): keep it in static storage or on the heap, never on the stack.
#pragma once

#include <cstdint>
#include <memory>

constexpr int world_size = 50;       // columns along x and along z
constexpr int world_levels = 25;     // block levels, 0 at the bottom
constexpr int chunk_size = 5;        // columns per chunk edge
constexpr int chunks_per_axis = 10;  // chunks along x and along z
constexpr int chunk_count = chunks_per_axis * chunks_per_axis;
constexpr int water_frame_count = 5;

// A textured quad mesh of one chunk, in chunk-local coordinates (x and z in
// 0..5 from the chunk's low corner, y in world units). Vertices 4k..4k+3 form
// quad k, counter-clockwise seen from the visible side. The first build makes
// the arrays for the largest mesh the chunk can have, so no later build
// allocates; memory never written costs no resident pages.
struct ChunkMesh {
    int32_t vertex_count = 0;            // vertices in use
    int32_t capacity = 0;                // vertices the arrays hold
    uint32_t revision = 0;               // counts the builds: a copy made at another is stale
    std::unique_ptr<float[]> vertices;   // capacity * 3
    std::unique_ptr<float[]> texcoords;  // capacity * 2
};

// The most faces a block grid can show in one chunk: every level of every
// column open on all six sides.
constexpr int max_chunk_grid_faces = chunk_size * chunk_size * world_levels * 6;

// The collision triangles of one chunk, chunk-local like its mesh. normals
// are unit vectors pointing into the solid. built is false until the first
// build, which makes the arrays for as many triangles as the mesh's capacity
// allows.
struct CollisionList {
    bool built = false;
    int32_t triangle_count = 0;         // triangles in use
    int32_t capacity = 0;               // triangles the arrays hold
    std::unique_ptr<float[]> corner_a;  // capacity * 3 each
    std::unique_ptr<float[]> corner_b;
    std::unique_ptr<float[]> corner_c;
    std::unique_ptr<float[]> normals;
};

// Four (s, t) corners of one atlas tile; corner i goes to vertex i of every
// quad of its surface.
struct AtlasTile {
    float st[8] = {};
};

// Working storage of settling and block meshing, kept in the world so that
// neither allocates; it holds nothing between calls.
struct WorldScratch {
    // One bit per z (bit z) for each row [x][y]: row index x * 25 + y.
    uint64_t resting_rows[world_size * world_levels];
    uint64_t falling_rows[world_size * world_levels];
    uint16_t row_queue[world_size * world_levels];
    uint8_t row_queued[world_size * world_levels];
    // The grids' rows as settling found them, to tell what it changed.
    uint64_t earlier_resting[world_size * world_levels];
    uint64_t earlier_falling[world_size * world_levels];
    // One bit per level (bit y) for each column [x][z] of the grid being meshed.
    uint32_t columns[world_size][world_size];
};

struct World {
    uint8_t block_grid[world_size][world_levels][world_size] = {};    // settled: 0 or 1
    uint8_t falling_grid[world_size][world_levels][world_size] = {};  // falling: 0 or 1
    float terrain_height[world_size][world_size] = {};       // ground at lattice points, [0, 25]
    float water_height[world_size][world_size] = {};         // current water surface
    float water_frames[water_frame_count][world_size][world_size] = {};  // key frames, [1, 3)
    float water_phase_offset[world_size][world_size] = {};   // per-point phase, [0, 2)
    float smoothing_scratch[world_size][world_size] = {};    // working copy for smoothing

    float water_phase = 0.0f;  // [0, 5): one unit per key frame
    float fall_offset = 0.0f;  // [0, 1): progress of the current fall step

    AtlasTile tile_blocks, tile_falling, tile_terrain, tile_water;

    ChunkMesh block_meshes[chunk_count];    // index cx * 10 + cz
    ChunkMesh open_block_meshes[chunk_count];  // without the faces below the ground
    ChunkMesh falling_meshes[chunk_count];
    ChunkMesh terrain_meshes[chunk_count];
    ChunkMesh water_meshes[chunk_count];
    ChunkMesh open_water_meshes[chunk_count];  // without the quads below the ground
    CollisionList block_collision[chunk_count];
    CollisionList terrain_collision[chunk_count];
    // The chunks whose block (falling block) meshes the last settling step
    // made stale: 1 where a cell changed in the chunk or beside it.
    uint8_t settled_block_chunks[chunk_count] = {};
    uint8_t settled_falling_chunks[chunk_count] = {};

    WorldScratch scratch;
};

// Reduces any integer into 0..n-1, also for negative values.
inline int wrap_index(int i, int n) {
    int r = i % n;
    return r < 0 ? r + n : r;
}

// The chunk that the repeated world shows at chunk coordinates (cx, cz),
// any integers: (cx mod 10) * 10 + (cz mod 10), the index into the
// per-chunk arrays.
inline int wrapped_chunk_index(int cx, int cz) {
    return wrap_index(cx, chunks_per_axis) * chunks_per_axis + wrap_index(cz, chunks_per_axis);
}

// Sets the four atlas tiles of the world surfaces (the middle half of each
// tile in the first column of the 4 x 4 atlas). Pure: the texture itself is
// loaded by the renderer.
void set_atlas_tiles(World& world);
