#include "world/mesh.h"
#include "world_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Quads {
    std::vector<float> vertices, texcoords;
};

// The block mesher written out cell by cell and face by face.
Quads reference_chunk(const uint8_t (&g)[world_size][world_levels][world_size],
                      const AtlasTile& tile, int cx, int cz) {
    Quads q;
    for (int x = cx * 5; x < cx * 5 + 5; ++x)
        for (int z = cz * 5; z < cz * 5 + 5; ++z)
            for (int y = 0; y < world_levels; ++y) {
                if (!g[x][y][z]) continue;
                const float lx = static_cast<float>(x - cx * 5), lz = static_cast<float>(z - cz * 5);
                const float fy = static_cast<float>(y);
                auto face = std::vector<std::vector<float>>{};
                if (!g[ref_wrap(x + 1)][y][z])
                    face.push_back({lx + 1, fy, lz, lx + 1, fy + 1, lz, lx + 1, fy + 1, lz + 1, lx + 1, fy, lz + 1});
                if (!g[ref_wrap(x - 1)][y][z])
                    face.push_back({lx, fy, lz + 1, lx, fy + 1, lz + 1, lx, fy + 1, lz, lx, fy, lz});
                if (y == world_levels - 1 || !g[x][y + 1][z])
                    face.push_back({lx, fy + 1, lz + 1, lx + 1, fy + 1, lz + 1, lx + 1, fy + 1, lz, lx, fy + 1, lz});
                if (y != 0 && !g[x][y - 1][z])
                    face.push_back({lx, fy, lz, lx + 1, fy, lz, lx + 1, fy, lz + 1, lx, fy, lz + 1});
                if (!g[x][y][ref_wrap(z + 1)])
                    face.push_back({lx + 1, fy, lz + 1, lx + 1, fy + 1, lz + 1, lx, fy + 1, lz + 1, lx, fy, lz + 1});
                if (!g[x][y][ref_wrap(z - 1)])
                    face.push_back({lx, fy, lz, lx, fy + 1, lz, lx + 1, fy + 1, lz, lx + 1, fy, lz});
                for (const auto& f : face) {
                    q.vertices.insert(q.vertices.end(), f.begin(), f.end());
                    q.texcoords.insert(q.texcoords.end(), tile.st, tile.st + 8);
                }
            }
    return q;
}

void expect_mesh_equals(const ChunkMesh& mesh, const Quads& q) {
    ASSERT_EQ(mesh.vertex_count * 3, static_cast<int>(q.vertices.size()));
    for (size_t i = 0; i < q.vertices.size(); ++i) ASSERT_EQ(mesh.vertices[i], q.vertices[i]) << i;
    for (size_t i = 0; i < q.texcoords.size(); ++i) ASSERT_EQ(mesh.texcoords[i], q.texcoords[i]) << i;
}

int chunk_of(int x, int z) { return (x / 5) * 10 + z / 5; }

// (v1 - v0) x (v2 - v1) of quad k: the outward direction of a quad wound
// counter-clockwise seen from outside.
void quad_direction(const ChunkMesh& m, int k, float d[3]) {
    const float* v = m.vertices.get() + k * 12;
    const float u[3] = {v[3] - v[0], v[4] - v[1], v[5] - v[2]};
    const float w[3] = {v[6] - v[3], v[7] - v[4], v[8] - v[5]};
    d[0] = u[1] * w[2] - u[2] * w[1];
    d[1] = u[2] * w[0] - u[0] * w[2];
    d[2] = u[0] * w[1] - u[1] * w[0];
}

bool solid_at(const World& w, int cx, int cz, const float p[3]) {
    const int x = ref_wrap(cx * 5 + static_cast<int>(std::floor(p[0])));
    const int z = ref_wrap(cz * 5 + static_cast<int>(std::floor(p[2])));
    const int y = static_cast<int>(std::floor(p[1]));
    if (y >= world_levels) return false;
    if (y < 0) return true;  // below level 0 counts as closed
    return w.block_grid[x][y][z] != 0;
}

void fill_random_blocks(World& w, unsigned seed, int per_mille) {
    std::srand(seed);
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) w.block_grid[x][y][z] = std::rand() % 1000 < per_mille;
}

}  // namespace

TEST(Mesh, LoneBlockHasSixFacesInOrder) {
    auto w = make_world();
    set_atlas_tiles(*w);
    w->block_grid[7][3][8] = 1;  // chunk (1, 1), local (2, 3)
    build_block_meshes(*w);
    const ChunkMesh& m = w->block_meshes[11];
    ASSERT_EQ(m.vertex_count, 24);
    const float px_face[12] = {3, 3, 3, 3, 4, 3, 3, 4, 4, 3, 3, 4};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(m.vertices[i], px_face[i]);
    const float mz_face[12] = {2, 3, 3, 2, 4, 3, 3, 4, 3, 3, 3, 3};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(m.vertices[60 + i], mz_face[i]);
    for (int i = 0; i < 24 * 2; ++i) EXPECT_EQ(m.texcoords[i], w->tile_blocks.st[i % 8]);
    int others = 0;
    for (int c = 0; c < chunk_count; ++c) others += c == 11 ? 0 : w->block_meshes[c].vertex_count;
    EXPECT_EQ(others, 0);
}

TEST(Mesh, NeighboursHideSharedFacesAlsoAcrossTheSeam) {
    auto w = make_world();
    w->block_grid[10][5][10] = 1;
    w->block_grid[11][5][10] = 1;
    build_block_meshes(*w);
    EXPECT_EQ(w->block_meshes[chunk_of(10, 10)].vertex_count, 40);

    w->block_grid[49][5][20] = 1;
    w->block_grid[0][5][20] = 1;
    w->block_grid[30][5][49] = 1;
    w->block_grid[30][5][0] = 1;
    build_block_meshes(*w);
    EXPECT_EQ(w->block_meshes[chunk_of(49, 20)].vertex_count, 20);
    EXPECT_EQ(w->block_meshes[chunk_of(0, 20)].vertex_count, 20);
    EXPECT_EQ(w->block_meshes[chunk_of(30, 49)].vertex_count, 20);
    EXPECT_EQ(w->block_meshes[chunk_of(30, 0)].vertex_count, 20);

    // Alone, the block at x = 49 shows its +x face on the chunk's far edge.
    w->block_grid[0][5][20] = 0;
    build_block_meshes(*w);
    const ChunkMesh& m = w->block_meshes[chunk_of(49, 20)];
    ASSERT_EQ(m.vertex_count, 24);
    EXPECT_EQ(m.vertices[0], 5.0f);
}

TEST(Mesh, TopShowsOnLevel24AndBottomNeverOnLevel0) {
    auto w = make_world();
    w->block_grid[2][world_levels - 1][2] = 1;
    w->block_grid[2][world_levels - 2][2] = 1;
    w->block_grid[2][0][4] = 1;
    build_block_meshes(*w);
    const ChunkMesh& m = w->block_meshes[0];
    // Stack: 4 + 4 sides, a top on 24, a bottom on 23. Floor block: 4 sides, a top.
    ASSERT_EQ(m.vertex_count, (10 + 5) * 4);
    int tops_at_25 = 0, bottoms_at_0 = 0;
    for (int k = 0; k < m.vertex_count / 4; ++k) {
        float d[3];
        quad_direction(m, k, d);
        if (d[1] > 0 && m.vertices[k * 12 + 1] == 25.0f) ++tops_at_25;
        if (d[1] < 0 && m.vertices[k * 12 + 1] == 0.0f) ++bottoms_at_0;
    }
    EXPECT_EQ(tops_at_25, 1);
    EXPECT_EQ(bottoms_at_0, 0);
}

TEST(Mesh, FallingAndRestingBlocksDoNotHideEachOther) {
    auto w = make_world();
    w->block_grid[12][6][12] = 1;
    w->falling_grid[13][6][12] = 1;
    build_block_meshes(*w);
    build_falling_meshes(*w);
    EXPECT_EQ(w->block_meshes[chunk_of(12, 12)].vertex_count, 24);
    EXPECT_EQ(w->falling_meshes[chunk_of(13, 12)].vertex_count, 24);
    EXPECT_EQ(w->falling_meshes[chunk_of(13, 12)].texcoords[0], w->tile_falling.st[0]);
}

// Against the literal mesher, bit for bit, over worlds from sparse to dense.
TEST(Mesh, MatchesCellByCellMesher) {
    auto w = make_world();
    set_atlas_tiles(*w);
    for (unsigned seed = 1; seed <= 8; ++seed) {
        fill_random_blocks(*w, seed, static_cast<int>(seed) * 110);
        std::memcpy(w->falling_grid, w->block_grid, sizeof w->falling_grid);
        build_block_meshes(*w);
        build_falling_meshes(*w);
        for (int c = 0; c < chunk_count; ++c) {
            expect_mesh_equals(w->block_meshes[c], reference_chunk(w->block_grid, w->tile_blocks, c / 10, c % 10));
            expect_mesh_equals(w->falling_meshes[c], reference_chunk(w->falling_grid, w->tile_falling, c / 10, c % 10));
            if (HasFatalFailure()) return;
        }
    }
}

// Every face is wound so that it faces out: solid just behind it, open just
// in front of it.
TEST(Mesh, FacesPointOutOfTheSolid) {
    auto w = make_world();
    fill_random_blocks(*w, 77, 300);
    build_block_meshes(*w);
    for (int c = 0; c < chunk_count; ++c) {
        const ChunkMesh& m = w->block_meshes[c];
        for (int k = 0; k < m.vertex_count / 4; ++k) {
            float d[3];
            quad_direction(m, k, d);
            ASSERT_EQ(std::fabs(d[0]) + std::fabs(d[1]) + std::fabs(d[2]), 1.0f);
            const float* v = m.vertices.get() + k * 12;
            const float centre[3] = {(v[0] + v[6]) * 0.5f, (v[1] + v[7]) * 0.5f, (v[2] + v[8]) * 0.5f};
            const float inside[3] = {centre[0] - 0.5f * d[0], centre[1] - 0.5f * d[1], centre[2] - 0.5f * d[2]};
            const float outside[3] = {centre[0] + 0.5f * d[0], centre[1] + 0.5f * d[1], centre[2] + 0.5f * d[2]};
            ASSERT_TRUE(solid_at(*w, c / 10, c % 10, inside));
            ASSERT_FALSE(solid_at(*w, c / 10, c % 10, outside));
        }
    }
}

TEST(Mesh, SurfaceQuadsWrapAtTheSeam) {
    auto w = make_world();
    set_atlas_tiles(*w);
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) w->terrain_height[x][z] = static_cast<float>(x * 100 + z);
    build_terrain_meshes(*w);
    const ChunkMesh& m = w->terrain_meshes[99];
    ASSERT_EQ(m.vertex_count, 100);
    // Last quad of chunk (9, 9): column (49, 49).
    const float* v = m.vertices.get() + 24 * 12;
    const float expected[12] = {4, 4900, 5, 5, 0, 5, 5, 49, 4, 4, 4949, 4};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(v[i], expected[i]) << i;
    EXPECT_EQ(m.texcoords[199], w->tile_terrain.st[7]);
}

TEST(Mesh, CollisionNormalsPointIntoTheSolid) {
    auto w = make_world();
    build_terrain_meshes(*w);  // flat ground at 0
    w->block_grid[3][0][3] = 1;
    build_block_meshes(*w);
    build_collision_lists(*w);
    const CollisionList& ground = w->terrain_collision[42];
    ASSERT_TRUE(ground.built);
    ASSERT_EQ(ground.triangle_count, 50);
    for (int t = 0; t < 50; ++t) {
        EXPECT_EQ(ground.normals[t * 3 + 0], 0.0f);
        EXPECT_EQ(ground.normals[t * 3 + 1], -1.0f);
        EXPECT_EQ(ground.normals[t * 3 + 2], 0.0f);
    }
    // Triangles (V0, V1, V2) and (V3, V0, V2) of the first quad.
    const ChunkMesh& mesh = w->terrain_meshes[42];
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ground.corner_a[i], mesh.vertices[i]);
        EXPECT_EQ(ground.corner_b[i], mesh.vertices[3 + i]);
        EXPECT_EQ(ground.corner_c[i], mesh.vertices[6 + i]);
        EXPECT_EQ(ground.corner_a[3 + i], mesh.vertices[9 + i]);
        EXPECT_EQ(ground.corner_b[3 + i], mesh.vertices[i]);
        EXPECT_EQ(ground.corner_c[3 + i], mesh.vertices[6 + i]);
    }
    const CollisionList& block = w->block_collision[0];
    ASSERT_EQ(block.triangle_count, 10);  // five faces on level 0
    for (int t = 0; t < block.triangle_count; ++t) {
        float p[3];
        for (int i = 0; i < 3; ++i) {
            const float centre = (block.corner_a[t * 3 + i] + block.corner_b[t * 3 + i] + block.corner_c[t * 3 + i]) / 3.0f;
            p[i] = centre + 0.25f * block.normals[t * 3 + i];
        }
        EXPECT_EQ(std::floor(p[0]), 3.0f);
        EXPECT_EQ(std::floor(p[1]), 0.0f);
        EXPECT_EQ(std::floor(p[2]), 3.0f);
    }
    EXPECT_TRUE(w->block_collision[1].built);
    EXPECT_EQ(w->block_collision[1].triangle_count, 0);
}

TEST(Mesh, SlopedGroundNormalIsUnitAndInward) {
    float a[3] = {0, 0, 1}, b[3] = {1, 1, 1}, c[3] = {1, 1, 0}, n[3];
    triangle_normal(a, b, c, n);
    EXPECT_FLOAT_EQ(n[0], std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(n[1], -std::sqrt(0.5f));
    EXPECT_EQ(n[2], 0.0f);
}

// An unchanged world rebuilds into the same arrays; a change replaces only
// the arrays whose count changed, and the lists still match a fresh build.
TEST(Mesh, RebuildKeepsArraysAndStaysCorrect) {
    auto w = make_world();
    fill_random_blocks(*w, 5, 150);
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) w->terrain_height[x][z] = static_cast<float>((x * 7 + z * 3) % 11) * 0.37f;
    build_block_meshes(*w);
    build_terrain_meshes(*w);
    build_collision_lists(*w);
    std::vector<const float*> before;
    for (int c = 0; c < chunk_count; ++c) {
        before.push_back(w->block_meshes[c].vertices.get());
        before.push_back(w->block_collision[c].normals.get());
        before.push_back(w->terrain_meshes[c].vertices.get());
        before.push_back(w->terrain_collision[c].corner_a.get());
    }
    const std::vector<float> first(w->block_meshes[17].vertices.get(),
                                   w->block_meshes[17].vertices.get() + w->block_meshes[17].vertex_count * 3);
    build_block_meshes(*w);
    build_terrain_meshes(*w);
    build_collision_lists(*w);
    for (int c = 0; c < chunk_count; ++c) {
        EXPECT_EQ(before[c * 4 + 0], w->block_meshes[c].vertices.get());
        EXPECT_EQ(before[c * 4 + 1], w->block_collision[c].normals.get());
        EXPECT_EQ(before[c * 4 + 2], w->terrain_meshes[c].vertices.get());
        EXPECT_EQ(before[c * 4 + 3], w->terrain_collision[c].corner_a.get());
    }
    for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(w->block_meshes[17].vertices[i], first[i]);

    // Edit ground and blocks, rebuild, and compare every list with one built
    // from nothing.
    w->terrain_height[12][12] = 9.5f;
    w->terrain_height[49][0] = 4.25f;
    w->block_grid[20][10][20] = !w->block_grid[20][10][20];
    w->block_grid[21][11][20] = !w->block_grid[21][11][20];
    build_block_meshes(*w);
    build_terrain_meshes(*w);
    build_collision_lists(*w);
    for (int c = 0; c < chunk_count; ++c) {
        for (int set = 0; set < 2; ++set) {
            const CollisionList& kept = set == 0 ? w->block_collision[c] : w->terrain_collision[c];
            CollisionList fresh;
            build_collision_list(fresh, set == 0 ? w->block_meshes[c] : w->terrain_meshes[c]);
            ASSERT_EQ(kept.triangle_count, fresh.triangle_count);
            const size_t n = static_cast<size_t>(fresh.triangle_count) * 3 * sizeof(float);
            if (n == 0) continue;
            ASSERT_EQ(std::memcmp(kept.corner_a.get(), fresh.corner_a.get(), n), 0) << c;
            ASSERT_EQ(std::memcmp(kept.corner_b.get(), fresh.corner_b.get(), n), 0) << c;
            ASSERT_EQ(std::memcmp(kept.corner_c.get(), fresh.corner_c.get(), n), 0) << c;
            ASSERT_EQ(std::memcmp(kept.normals.get(), fresh.normals.get(), n), 0) << c;
        }
    }
}
