#include "world/mesh.h"

#include <cmath>
#include <cstring>

namespace {

enum Face { face_px, face_mx, face_py, face_my, face_pz, face_mz, face_count };

// Corner offsets from the cell's low corner (lx, y, lz), four vertices per
// face, counter-clockwise seen from outside the block.
constexpr float face_corners[face_count][12] = {
    {1, 0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1},  // +x
    {0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 0, 0},  // -x
    {0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 0},  // +y
    {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1},  // -y
    {1, 0, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1},  // +z
    {0, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0},  // -z
};

// Replaces the arrays only when the count changes, so an unchanged chunk keeps
// its arrays (and the renderer's pointers stay valid).
void resize_mesh(ChunkMesh& mesh, int vertex_count) {
    if (mesh.vertex_count == vertex_count) return;
    mesh.vertex_count = vertex_count;
    mesh.vertices.reset(vertex_count > 0 ? new float[vertex_count * 3] : nullptr);
    mesh.texcoords.reset(vertex_count > 0 ? new float[vertex_count * 2] : nullptr);
}

// One bit per level for every column: bit y of columns[x][z] is set when
// the grid holds a block at (x, y, z).
void gather_columns(const uint8_t (&grid)[world_size][world_levels][world_size],
                    uint32_t (&columns)[world_size][world_size]) {
    std::memset(columns, 0, sizeof columns);
    for (int x = 0; x < world_size; ++x) {
        uint32_t* column = columns[x];
        for (int y = 0; y < world_levels; ++y) {
            const uint8_t* row = grid[x][y];
            for (int z = 0; z < world_size; ++z) {
                column[z] |= static_cast<uint32_t>(row[z] != 0) << y;
            }
        }
    }
}

// The open faces of one column, one level mask per face.
struct ColumnFaces {
    uint32_t open[face_count];
    uint32_t any;
};

int column_faces(const uint32_t (&columns)[world_size][world_size], int x, int z,
                 ColumnFaces& faces) {
    const uint32_t c = columns[x][z];
    const int xp = x == world_size - 1 ? 0 : x + 1;
    const int xm = x == 0 ? world_size - 1 : x - 1;
    const int zp = z == world_size - 1 ? 0 : z + 1;
    const int zm = z == 0 ? world_size - 1 : z - 1;
    faces.open[face_px] = c & ~columns[xp][z];
    faces.open[face_mx] = c & ~columns[xm][z];
    faces.open[face_py] = c & ~(c >> 1);           // above level 24 is open
    faces.open[face_my] = c & ~(c << 1) & ~1u;     // below level 0 is closed
    faces.open[face_pz] = c & ~columns[x][zp];
    faces.open[face_mz] = c & ~columns[x][zm];
    faces.any = 0;
    int count = 0;
    for (int f = 0; f < face_count; ++f) {
        faces.any |= faces.open[f];
        count += __builtin_popcount(faces.open[f]);
    }
    return count;
}

void build_grid_meshes(const uint8_t (&grid)[world_size][world_levels][world_size],
                       const AtlasTile& tile, ChunkMesh (&meshes)[chunk_count],
                       uint32_t (&columns)[world_size][world_size]) {
    gather_columns(grid, columns);
    ColumnFaces faces[chunk_size * chunk_size];
    for (int cx = 0; cx < chunks_per_axis; ++cx) {
        for (int cz = 0; cz < chunks_per_axis; ++cz) {
            int face_total = 0;
            for (int lx = 0; lx < chunk_size; ++lx) {
                for (int lz = 0; lz < chunk_size; ++lz) {
                    face_total += column_faces(columns, cx * chunk_size + lx, cz * chunk_size + lz,
                                               faces[lx * chunk_size + lz]);
                }
            }
            ChunkMesh& mesh = meshes[cx * chunks_per_axis + cz];
            resize_mesh(mesh, face_total * 4);
            float* v = mesh.vertices.get();
            float* t = mesh.texcoords.get();
            for (int lx = 0; lx < chunk_size; ++lx) {
                for (int lz = 0; lz < chunk_size; ++lz) {
                    const ColumnFaces& column = faces[lx * chunk_size + lz];
                    for (uint32_t levels = column.any; levels != 0; levels &= levels - 1) {
                        const int y = __builtin_ctz(levels);
                        const uint32_t bit = 1u << y;
                        const float base[3] = {static_cast<float>(lx), static_cast<float>(y),
                                               static_cast<float>(lz)};
                        for (int f = 0; f < face_count; ++f) {
                            if ((column.open[f] & bit) == 0) continue;
                            for (int i = 0; i < 12; ++i) v[i] = base[i % 3] + face_corners[f][i];
                            std::memcpy(t, tile.st, sizeof tile.st);
                            v += 12;
                            t += 8;
                        }
                    }
                }
            }
        }
    }
}

void build_surface_meshes(const float (&height)[world_size][world_size], const AtlasTile& tile,
                          ChunkMesh (&meshes)[chunk_count]) {
    for (int cx = 0; cx < chunks_per_axis; ++cx) {
        for (int cz = 0; cz < chunks_per_axis; ++cz) {
            ChunkMesh& mesh = meshes[cx * chunks_per_axis + cz];
            resize_mesh(mesh, chunk_size * chunk_size * 4);
            float* v = mesh.vertices.get();
            float* t = mesh.texcoords.get();
            for (int lx = 0; lx < chunk_size; ++lx) {
                const int x = cx * chunk_size + lx;
                const int xp = x == world_size - 1 ? 0 : x + 1;
                const float fx = static_cast<float>(lx);
                for (int lz = 0; lz < chunk_size; ++lz) {
                    const int z = cz * chunk_size + lz;
                    const int zp = z == world_size - 1 ? 0 : z + 1;
                    const float fz = static_cast<float>(lz);
                    const float quad[12] = {fx,        height[x][zp],  fz + 1.0f,
                                            fx + 1.0f, height[xp][zp], fz + 1.0f,
                                            fx + 1.0f, height[xp][z],  fz,
                                            fx,        height[x][z],   fz};
                    std::memcpy(v, quad, sizeof quad);
                    std::memcpy(t, tile.st, sizeof tile.st);
                    v += 12;
                    t += 8;
                }
            }
        }
    }
}

bool same_corners(const float* stored, const float* corner) {
    return std::memcmp(stored, corner, 3 * sizeof(float)) == 0;
}

}  // namespace

void triangle_normal(const float* a, const float* b, const float* c, float* normal) {
    const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const float wx = c[0] - b[0], wy = c[1] - b[1], wz = c[2] - b[2];
    const float nx = uy * wz - uz * wy;
    const float ny = uz * wx - ux * wz;
    const float nz = ux * wy - uy * wx;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    normal[0] = -(nx / length);
    normal[1] = -(ny / length);
    normal[2] = -(nz / length);
}

void build_block_meshes(World& world) {
    build_grid_meshes(world.block_grid, world.tile_blocks, world.block_meshes, world.scratch.columns);
}

void build_falling_meshes(World& world) {
    build_grid_meshes(world.falling_grid, world.tile_falling, world.falling_meshes,
                      world.scratch.columns);
}

void build_terrain_meshes(World& world) {
    build_surface_meshes(world.terrain_height, world.tile_terrain, world.terrain_meshes);
}

void build_water_meshes(World& world) {
    build_surface_meshes(world.water_height, world.tile_water, world.water_meshes);
}

void build_collision_list(CollisionList& list, const ChunkMesh& mesh) {
    const int n = (mesh.vertex_count / 4) * 2;
    bool fresh = false;
    if (!list.built || list.triangle_count != n) {
        list.built = true;
        list.triangle_count = n;
        list.corner_a.reset(n > 0 ? new float[n * 3] : nullptr);
        list.corner_b.reset(n > 0 ? new float[n * 3] : nullptr);
        list.corner_c.reset(n > 0 ? new float[n * 3] : nullptr);
        list.normals.reset(n > 0 ? new float[n * 3] : nullptr);
        fresh = true;
    }
    float* ca = list.corner_a.get();
    float* cb = list.corner_b.get();
    float* cc = list.corner_c.get();
    float* normals = list.normals.get();
    // A normal depends on nothing but its corners' edge vectors: triangles
    // whose corners are unchanged keep theirs, and a run of equally shaped
    // triangles (all block faces of one kind) computes it once.
    float last_edges[6] = {};
    float last_normal[3] = {};
    bool have_last = false;
    for (int t = 0; t < n; ++t) {
        const float* quad = mesh.vertices.get() + (t / 2) * 12;
        const float* a = (t & 1) == 0 ? quad : quad + 9;
        const float* b = (t & 1) == 0 ? quad + 3 : quad;
        const float* c = quad + 6;
        float* sa = ca + t * 3;
        float* sb = cb + t * 3;
        float* sc = cc + t * 3;
        if (!fresh && same_corners(sa, a) && same_corners(sb, b) && same_corners(sc, c)) continue;
        std::memcpy(sa, a, 3 * sizeof(float));
        std::memcpy(sb, b, 3 * sizeof(float));
        std::memcpy(sc, c, 3 * sizeof(float));
        const float edges[6] = {b[0] - a[0], b[1] - a[1], b[2] - a[2],
                                c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        if (!have_last || std::memcmp(edges, last_edges, sizeof edges) != 0) {
            triangle_normal(a, b, c, last_normal);
            std::memcpy(last_edges, edges, sizeof edges);
            have_last = true;
        }
        std::memcpy(normals + t * 3, last_normal, sizeof last_normal);
    }
}

void build_collision_lists(World& world) {
    for (int i = 0; i < chunk_count; ++i) {
        build_collision_list(world.block_collision[i], world.block_meshes[i]);
        build_collision_list(world.terrain_collision[i], world.terrain_meshes[i]);
    }
}
