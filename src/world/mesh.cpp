#include "world/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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

// Makes the arrays once, for largest vertices (or more, should a count ever
// exceed it), and afterwards only sets the count, so a chunk keeps its
// arrays and the renderer's pointers stay valid.
void resize_mesh(ChunkMesh& mesh, int vertex_count, int largest) {
    const int wanted = std::max(vertex_count, largest);
    if (mesh.capacity < wanted) {
        mesh.vertices.reset(new float[static_cast<size_t>(wanted) * 3]);
        mesh.texcoords.reset(new float[static_cast<size_t>(wanted) * 2]);
        mesh.capacity = wanted;
    }
    mesh.vertex_count = vertex_count;
    ++mesh.revision;
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

// The same for the columns that the meshes of the flagged chunks read: their
// own and the ring around them.
void gather_chunk_columns(const uint8_t (&grid)[world_size][world_levels][world_size],
                          uint32_t (&columns)[world_size][world_size], const uint8_t* chunks) {
    for (int c = 0; c < chunk_count; ++c) {
        if (chunks[c] == 0) continue;
        const int x0 = c / chunks_per_axis * chunk_size, z0 = c % chunks_per_axis * chunk_size;
        for (int i = x0 - 1; i <= x0 + chunk_size; ++i) {
            const int x = wrap_index(i, world_size);
            for (int k = z0 - 1; k <= z0 + chunk_size; ++k) {
                const int z = wrap_index(k, world_size);
                uint32_t column = 0;
                for (int y = 0; y < world_levels; ++y) {
                    column |= static_cast<uint32_t>(grid[x][y][z] != 0) << y;
                }
                columns[x][z] = column;
            }
        }
    }
}

void gather(const uint8_t (&grid)[world_size][world_levels][world_size],
            uint32_t (&columns)[world_size][world_size], const uint8_t* chunks) {
    if (chunks == nullptr) gather_columns(grid, columns);
    else gather_chunk_columns(grid, columns, chunks);
}

// Set bits of v, inline: without a popcount instruction in the baseline
// target, the builtin is a library call.
inline int count_bits(uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((v * 0x0101010101010101ull) >> 56);
}

// The open faces of one column, one level mask per face.
struct ColumnFaces {
    uint32_t open[face_count];
    uint32_t any;
};

// Stores the six masks and counts their faces from the values themselves:
// reading two stored masks back as one 64-bit word would stall.
inline int set_faces(ColumnFaces& faces, uint32_t px, uint32_t mx, uint32_t py, uint32_t my,
                     uint32_t pz, uint32_t mz) {
    faces.open[face_px] = px;
    faces.open[face_mx] = mx;
    faces.open[face_py] = py;
    faces.open[face_my] = my;
    faces.open[face_pz] = pz;
    faces.open[face_mz] = mz;
    faces.any = px | mx | py | my | pz | mz;
    return count_bits(px | uint64_t{mx} << 32) + count_bits(py | uint64_t{my} << 32) +
           count_bits(pz | uint64_t{mz} << 32);
}

int column_faces(const uint32_t (&columns)[world_size][world_size], int x, int z,
                 ColumnFaces& faces) {
    const uint32_t c = columns[x][z];
    if (c == 0) {
        faces.any = 0;
        return 0;
    }
    const int xp = x == world_size - 1 ? 0 : x + 1;
    const int xm = x == 0 ? world_size - 1 : x - 1;
    const int zp = z == world_size - 1 ? 0 : z + 1;
    const int zm = z == 0 ? world_size - 1 : z - 1;
    return set_faces(faces, c & ~columns[xp][z], c & ~columns[xm][z],
                     c & ~(c >> 1),         // above level 24 is open
                     c & ~(c << 1) & ~1u,   // below level 0 is closed
                     c & ~columns[x][zp], c & ~columns[x][zm]);
}

// The ground rounded up at every point, held to 0..32 (NaN to 0): a face
// whose highest corners lie at height h is below the ground at a point
// exactly when h, a whole number, is below this.
using GroundCeilings = uint8_t[world_size][world_size];

void round_ground_up(const float (&ground)[world_size][world_size], GroundCeilings& ceilings) {
    for (int x = 0; x < world_size; ++x) {
        for (int z = 0; z < world_size; ++z) {
            const float h = ground[x][z];
            int n = 0;
            if (h >= 32.0f) {
                n = 32;
            } else if (h > 0.0f) {
                n = static_cast<int>(h);  // by hand: std::ceil is a library call here
                if (static_cast<float>(n) < h) ++n;
            }
            ceilings[x][z] = static_cast<uint8_t>(n);
        }
    }
}

// Levels 0 .. n - 1.
inline uint32_t lowest_levels(int n) {
    return n <= 0 ? 0u : n >= 32 ? ~0u : (1u << n) - 1;
}

inline int lower(int a, int b) { return a < b ? a : b; }

// Into kept, a column's open faces without those that have every corner
// below the ground at that corner. The ground is linear along the column's
// edges and no lower than its lowest corner inside, so such a face lies
// wholly under it. A face at level y has its highest corners at y + 1 (the
// bottom face at y), and the rounded-up ground of two corners is the lower
// of theirs. Returns the faces kept.
int leave_out_buried(const ColumnFaces& faces, ColumnFaces& kept, const GroundCeilings& ceilings,
                     int x, int z) {
    if (faces.any == 0) {
        kept.any = 0;
        return 0;
    }
    const int xp = x == world_size - 1 ? 0 : x + 1;
    const int zp = z == world_size - 1 ? 0 : z + 1;
    const int low_x = lower(ceilings[x][z], ceilings[x][zp]);
    const int high_x = lower(ceilings[xp][z], ceilings[xp][zp]);
    const int low_z = lower(ceilings[x][z], ceilings[xp][z]);
    const int high_z = lower(ceilings[x][zp], ceilings[xp][zp]);
    const int lowest = lower(low_x, high_x);
    const uint32_t* open = faces.open;
    return set_faces(kept, open[face_px] & ~lowest_levels(high_x - 1),
                     open[face_mx] & ~lowest_levels(low_x - 1),
                     open[face_py] & ~lowest_levels(lowest - 1),
                     open[face_my] & ~lowest_levels(lowest),
                     open[face_pz] & ~lowest_levels(high_z - 1),
                     open[face_mz] & ~lowest_levels(low_z - 1));
}

// Builds the meshes of one grid (of the flagged chunks, when chunks is given)
// from the columns gather made: into meshes (when given) every open face,
// and into open_meshes (when given) the faces not wholly below ground, in
// the same order.
void build_grid_meshes(const uint32_t (&columns)[world_size][world_size], const AtlasTile& tile,
                       const uint8_t* chunks, ChunkMesh* meshes, ChunkMesh* open_meshes = nullptr,
                       const float (*ground)[world_size][world_size] = nullptr) {
    ColumnFaces faces[chunk_size * chunk_size] = {}, kept[chunk_size * chunk_size] = {};
    GroundCeilings ceilings;
    if (open_meshes != nullptr) round_ground_up(*ground, ceilings);
    for (int cx = 0; cx < chunks_per_axis; ++cx) {
        for (int cz = 0; cz < chunks_per_axis; ++cz) {
            if (chunks != nullptr && chunks[cx * chunks_per_axis + cz] == 0) continue;
            int total = 0, kept_total = 0;
            for (int lx = 0; lx < chunk_size; ++lx) {
                for (int lz = 0; lz < chunk_size; ++lz) {
                    const int x = cx * chunk_size + lx, z = cz * chunk_size + lz;
                    const int k = lx * chunk_size + lz;
                    total += column_faces(columns, x, z, faces[k]);
                    if (open_meshes == nullptr) continue;
                    kept_total += leave_out_buried(faces[k], kept[k], ceilings, x, z);
                }
            }
            const int c = cx * chunks_per_axis + cz;
            float *v = nullptr, *t = nullptr, *open_v = nullptr, *open_t = nullptr;
            if (meshes != nullptr) {
                resize_mesh(meshes[c], total * 4, max_chunk_grid_faces * 4);
                v = meshes[c].vertices.get();
                t = meshes[c].texcoords.get();
            }
            if (open_meshes != nullptr) {
                resize_mesh(open_meshes[c], kept_total * 4, max_chunk_grid_faces * 4);
                open_v = open_meshes[c].vertices.get();
                open_t = open_meshes[c].texcoords.get();
            }
            for (int lx = 0; lx < chunk_size; ++lx) {
                for (int lz = 0; lz < chunk_size; ++lz) {
                    const ColumnFaces& column = faces[lx * chunk_size + lz];
                    const ColumnFaces& keep = kept[lx * chunk_size + lz];
                    for (uint32_t levels = column.any; levels != 0; levels &= levels - 1) {
                        const int y = __builtin_ctz(levels);
                        const uint32_t bit = 1u << y;
                        const float base[3] = {static_cast<float>(lx), static_cast<float>(y),
                                               static_cast<float>(lz)};
                        for (int f = 0; f < face_count; ++f) {
                            if ((column.open[f] & bit) == 0) continue;
                            float quad[12];
                            for (int i = 0; i < 12; ++i) quad[i] = base[i % 3] + face_corners[f][i];
                            if (v != nullptr) {
                                std::memcpy(v, quad, sizeof quad);
                                std::memcpy(t, tile.st, sizeof tile.st);
                                v += 12;
                                t += 8;
                            }
                            if (open_v == nullptr) continue;
                            // Written either way and kept only by moving on, since a
                            // branch would be mispredicted at every buried face. The
                            // open mesh has room for every open face.
                            std::memcpy(open_v, quad, sizeof quad);
                            std::memcpy(open_t, tile.st, sizeof tile.st);
                            const int taken = (keep.open[f] >> y) & 1u;
                            open_v += 12 * taken;
                            open_t += 8 * taken;
                        }
                    }
                }
            }
        }
    }
}

// A quad whose four corners all lie below those of the same quad of under
// (when given) is left out.
void build_surface_meshes(const float (&height)[world_size][world_size], const AtlasTile& tile,
                          ChunkMesh (&meshes)[chunk_count],
                          const float (*under)[world_size][world_size] = nullptr) {
    for (int cx = 0; cx < chunks_per_axis; ++cx) {
        for (int cz = 0; cz < chunks_per_axis; ++cz) {
            ChunkMesh& mesh = meshes[cx * chunks_per_axis + cz];
            resize_mesh(mesh, chunk_size * chunk_size * 4, chunk_size * chunk_size * 4);
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
                    if (under != nullptr && height[x][z] < (*under)[x][z] &&
                        height[xp][z] < (*under)[xp][z] && height[x][zp] < (*under)[x][zp] &&
                        height[xp][zp] < (*under)[xp][zp]) {
                        mesh.vertex_count -= 4;
                        continue;
                    }
                    std::memcpy(v, quad, sizeof quad);
                    std::memcpy(t, tile.st, sizeof tile.st);
                    v += 12;
                    t += 8;
                }
            }
        }
    }
}

// Whether quad v (four vertices) is the one the list holds at triangles 2q
// and 2q+1: their corners a, b, c and a of the second name all four
// vertices, and the list writes a quad's two triangles only together.
bool same_quad(const float* a, const float* b, const float* c, const float* v) {
    uint32_t diff = 0;
    for (int i = 0; i < 3; ++i) {
        uint32_t s[4], m[4];
        std::memcpy(&s[0], a + i, 4);
        std::memcpy(&s[1], b + i, 4);
        std::memcpy(&s[2], c + i, 4);
        std::memcpy(&s[3], a + 3 + i, 4);
        std::memcpy(&m[0], v + i, 4);
        std::memcpy(&m[1], v + 3 + i, 4);
        std::memcpy(&m[2], v + 6 + i, 4);
        std::memcpy(&m[3], v + 9 + i, 4);
        diff |= (s[0] ^ m[0]) | (s[1] ^ m[1]) | (s[2] ^ m[2]) | (s[3] ^ m[3]);
    }
    return diff == 0;
}

// Normals of a run of equally shaped triangles (all block faces of one
// kind) are computed once: a normal depends only on the edge vectors.
struct NormalCache {
    float edges[6] = {};
    float normal[3] = {};
    bool valid = false;

    void store(const float* a, const float* b, const float* c, float* out) {
        const float e[6] = {b[0] - a[0], b[1] - a[1], b[2] - a[2],
                            c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        if (!valid || std::memcmp(e, edges, sizeof e) != 0) {
            triangle_normal(a, b, c, normal);
            std::memcpy(edges, e, sizeof e);
            valid = true;
        }
        std::memcpy(out, normal, sizeof normal);
    }
};

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

void build_block_meshes(World& world, const uint8_t* chunks) {
    gather(world.block_grid, world.scratch.columns, chunks);
    build_grid_meshes(world.scratch.columns, world.tile_blocks, chunks, world.block_meshes,
                      world.open_block_meshes, &world.terrain_height);
}

void build_open_block_meshes(World& world) {
    gather_columns(world.block_grid, world.scratch.columns);
    build_grid_meshes(world.scratch.columns, world.tile_blocks, nullptr, nullptr,
                      world.open_block_meshes, &world.terrain_height);
}

void build_falling_meshes(World& world, const uint8_t* chunks) {
    gather(world.falling_grid, world.scratch.columns, chunks);
    build_grid_meshes(world.scratch.columns, world.tile_falling, chunks, world.falling_meshes);
}

void build_terrain_meshes(World& world) {
    build_surface_meshes(world.terrain_height, world.tile_terrain, world.terrain_meshes);
}

void build_water_meshes(World& world) {
    build_surface_meshes(world.water_height, world.tile_water, world.water_meshes);
    build_surface_meshes(world.water_height, world.tile_water, world.open_water_meshes,
                         &world.terrain_height);
}

bool ground_clear_of(const World& world, float x, float y, float z, float clearance) {
    const int x0 = static_cast<int>(std::floor(x - clearance));
    const int x1 = static_cast<int>(std::floor(x + clearance)) + 1;
    const int z0 = static_cast<int>(std::floor(z - clearance));
    const int z1 = static_cast<int>(std::floor(z + clearance)) + 1;
    for (int i = x0; i <= x1; ++i) {
        for (int k = z0; k <= z1; ++k) {
            const int wi = wrap_index(i, world_size), wk = wrap_index(k, world_size);
            if (!(y - clearance > world.terrain_height[wi][wk])) return false;
        }
    }
    return true;
}

void build_collision_list(CollisionList& list, const ChunkMesh& mesh) {
    const int n = (mesh.vertex_count / 4) * 2;
    const int wanted = std::max(n, (mesh.capacity / 4) * 2);
    bool fresh = !list.built || list.triangle_count != n;
    if (list.capacity < wanted) {
        const size_t floats = static_cast<size_t>(wanted) * 3;
        list.corner_a.reset(new float[floats]);
        list.corner_b.reset(new float[floats]);
        list.corner_c.reset(new float[floats]);
        list.normals.reset(new float[floats]);
        list.capacity = wanted;
        fresh = true;
    }
    list.built = true;
    list.triangle_count = n;
    float* ca = list.corner_a.get();
    float* cb = list.corner_b.get();
    float* cc = list.corner_c.get();
    float* normals = list.normals.get();
    NormalCache cache;
    // A normal depends only on its corners, so a quad the list already holds
    // keeps its triangles and normals untouched.
    for (int q = 0; q < n / 2; ++q) {
        const float* v = mesh.vertices.get() + q * 12;
        const int even = q * 6, odd = even + 3;
        if (!fresh && same_quad(ca + even, cb + even, cc + even, v)) continue;
        std::memcpy(ca + even, v, 12);      // (V0, V1, V2)
        std::memcpy(cb + even, v + 3, 12);
        std::memcpy(cc + even, v + 6, 12);
        std::memcpy(ca + odd, v + 9, 12);   // (V3, V0, V2)
        std::memcpy(cb + odd, v, 12);
        std::memcpy(cc + odd, v + 6, 12);
        cache.store(v, v + 3, v + 6, normals + even);
        cache.store(v + 9, v, v + 6, normals + odd);
    }
}

void build_collision_lists(World& world, const uint8_t* chunks) {
    for (int i = 0; i < chunk_count; ++i) {
        if (chunks != nullptr && chunks[i] == 0) continue;
        build_collision_list(world.block_collision[i], world.block_meshes[i]);
        build_collision_list(world.terrain_collision[i], world.terrain_meshes[i]);
    }
}

void mark_column_chunks(uint8_t* chunks, int x, int z) {
    const int cx = x / chunk_size, cz = z / chunk_size;
    const int lx = x - cx * chunk_size, lz = z - cz * chunk_size;
    chunks[cx * chunks_per_axis + cz] = 1;
    const int side_x = lx == 0 ? cx - 1 : lx == chunk_size - 1 ? cx + 1 : cx;
    const int side_z = lz == 0 ? cz - 1 : lz == chunk_size - 1 ? cz + 1 : cz;
    chunks[wrapped_chunk_index(side_x, cz)] = 1;
    chunks[wrapped_chunk_index(cx, side_z)] = 1;
}

void build_world_meshes(World& world) {
    build_block_meshes(world);
    build_falling_meshes(world);
    build_terrain_meshes(world);
    build_water_meshes(world);
    build_collision_lists(world);
}
