// The world's rules against their plain references, and what generation,
// settling and the water must give.
#include "world/settle.h"
#include "world/water.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Resting and falling blocks from sparse to tangled, over ground that is
// flat, low or spiky, and a rough water surface.
void fill_random_world(World& w, unsigned seed) {
    std::srand(seed);
    const int resting = 20 + std::rand() % 450, falling = std::rand() % 200, ground = std::rand() % 3;
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) {
                w.block_grid[x][y][z] = std::rand() % 1000 < resting;
                w.falling_grid[x][y][z] = std::rand() % 1000 < falling;
            }
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            float& h = w.terrain_height[x][z];
            h = ground == 1 ? static_cast<float>(std::rand() % 300) * 0.01f : 0.0f;
            if (ground == 2 && std::rand() % 40 == 0) h = static_cast<float>(std::rand() % 2501) * 0.01f;
            w.water_height[x][z] = 1.0f + static_cast<float>(std::rand() % 2000) * 0.001f;
        }
}

}  // namespace

// Whatever order the support spreads in, the blocks that rest are exactly
// those connected to the floor level or the ground.
TEST(Settle, MatchesRepeatedPassesOnRandomWorlds) {
    auto fast = make_world(), slow = make_world();
    for (unsigned seed = 1; seed <= 60; ++seed) {
        fill_random_world(*fast, seed);
        fill_random_world(*slow, seed);
        for (int step = 0; step < 3; ++step) {
            settle_blocks(*fast);
            reference_settle(*slow);
            ASSERT_TRUE(same_grids(*fast, *slow)) << "seed " << seed << " step " << step;
        }
    }
}

// Support reaches across both seams; the ground holds a block only where a
// corner of its column rises strictly above the block's bottom.
TEST(Settle, SupportAcrossTheSeamsAndFromTheGround) {
    auto w = make_world();
    for (int y = 0; y < 6; ++y) w->block_grid[0][y][0] = 1;
    const struct { int x, y, z; bool rests; } cells[] = {
        {49, 5, 0, true}, {49, 5, 49, true},  // beside the post across x, then on across z
        {10, 5, 10, false},                   // touching nothing
        {20, 1, 20, false},                   // ground level with its bottom
        {30, 1, 39, true},                    // one corner just above it
        {49, 3, 9, true},                     // column 49 takes its far corners from x = 0
    };
    for (auto c : cells) w->block_grid[c.x][c.y][c.z] = 1;
    for (int i = 0; i < 4; ++i) w->terrain_height[20 + i / 2][20 + i % 2] = 1.0f;
    w->terrain_height[31][40] = 1.01f;
    w->terrain_height[0][10] = 3.5f;
    settle_blocks(*w);
    for (auto c : cells) {
        EXPECT_EQ(w->block_grid[c.x][c.y][c.z], c.rests) << c.x << " " << c.y << " " << c.z;
        EXPECT_EQ(w->falling_grid[c.x][c.y][c.z], !c.rests) << c.x << " " << c.y << " " << c.z;
    }
}

TEST(Settle, TowerFallsAndComesToRestAsAWhole) {
    auto w = make_world();
    for (int y = 10; y < 15; ++y) w->falling_grid[20][y][30] = 1;
    for (int step = 1; step <= 10; ++step) {
        settle_blocks(*w);
        const int bottom = 10 - step;
        for (int y = bottom; y < bottom + 5; ++y)
            ASSERT_EQ(step == 10 ? w->block_grid[20][y][30] : w->falling_grid[20][y][30], 1) << step;
        ASSERT_EQ(count_blocks(w->block_grid) + count_blocks(w->falling_grid), 5) << step;
    }
}

// One step per tenth of a unit of speed; a large speed runs several steps
// in one update, each leaving the meshes and lists rebuilt.
TEST(Settle, FallClock) {
    const struct { float speed; int updates; std::vector<int> steps; } rows[] = {
        {1.0f, 35, {10, 20, 30}},
        {2.0f, 17, {5, 10, 15}},
        {0.2f, 160, {51, 101, 151}},  // 0.02 in single precision falls just short
        {25.0f, 2, {1, 1, 2, 2, 2}},
    };
    for (const auto& row : rows) {
        auto w = make_world();
        w->falling_grid[7][world_levels - 1][7] = 1;
        build_world_meshes(*w);
        auto level = [&] {
            for (int y = 0; y < world_levels; ++y)
                if (w->falling_grid[7][y][7]) return y;
            return 0;
        };
        std::vector<int> steps;
        for (int u = 1; u <= row.updates; ++u) {
            const int was = level();
            advance_falling(*w, row.speed);
            for (int k = level(); k < was; ++k) steps.push_back(u);
        }
        EXPECT_EQ(steps, row.steps) << row.speed;
        EXPECT_EQ(derived_mismatch(*w), "") << row.speed;
    }
}

// The walled box, exactly the cells whose own draw hit, then one settling
// step; the maps within their ranges.
TEST(Generate, BuildsTheBoxAndSettlesTheRandomBlocks) {
    auto expected = make_world();
    std::srand(4242);
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) {
                const bool wall_x = (x == 0 || x == 49) && (z < 5 || z >= 45 || y >= 20);
                const bool wall_z = (z == 0 || z == 49) && (x < 5 || x >= 45 || y >= 20);
                const bool hit = std::rand() % 1000 == 0;
                expected->block_grid[x][y][z] = y == 0 || y == 24 || wall_x || wall_z || hit;
            }
    reference_settle(*expected);
    auto w = make_world();
    std::srand(4242);
    generate_world(*w);
    EXPECT_TRUE(same_grids(*w, *expected));
    EXPECT_GT(count_blocks(w->falling_grid), 10);  // random blocks hanging in the open

    double mean = 0.0;
    float highest = 0.0f;
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            const float h = w->terrain_height[x][z];
            ASSERT_GE(h, 0.0f);
            highest = std::fmax(highest, h);
            mean += h / 2500.0;
            for (const auto& map : {w->water_height, w->water_frames[0], w->water_frames[4]}) {
                ASSERT_GE(map[x][z], 1.0f);
                ASSERT_LT(map[x][z], 3.0f);
            }
            ASSERT_GE(w->water_phase_offset[x][z], 0.0f);
            ASSERT_LT(w->water_phase_offset[x][z], 2.0f);
        }
    EXPECT_LT(highest, 10.0f);
    EXPECT_NEAR(mean, 2.25, 0.75);
}

// Each pass averages every point with its four neighbours, those across the
// seams included.
TEST(Generate, SmoothingIsAWrappingFivePointAverage) {
    auto raw = make_world(), smooth = make_world();
    for (int passes : {1, 3}) {
        std::srand(12);
        fill_smoothed_map(raw->terrain_height, raw->smoothing_scratch, -5.0f, 10.0f, 0);
        std::srand(12);
        fill_smoothed_map(smooth->terrain_height, smooth->smoothing_scratch, -5.0f, 10.0f, passes);
        auto& r = raw->terrain_height;
        for (int p = 0; p < passes; ++p) {
            std::memcpy(raw->smoothing_scratch, r, sizeof r);
            const auto& s = raw->smoothing_scratch;
            for (int x = 0; x < world_size; ++x)
                for (int z = 0; z < world_size; ++z)
                    r[x][z] = static_cast<float>(
                        (static_cast<double>(s[x][z]) + s[ref_wrap(x + 1)][z] + s[ref_wrap(x - 1)][z] +
                         s[x][ref_wrap(z + 1)] + s[x][ref_wrap(z - 1)]) * static_cast<double>(0.2f));
        }
        EXPECT_EQ(std::memcmp(r, smooth->terrain_height, sizeof r), 0) << passes;
    }
}

// Each point blends two neighbouring key frames by the phase plus its own
// offset, frame 4 into frame 0; a whole cycle takes 200 updates.
TEST(Water, PhaseAndOffsetBlendTheFrames) {
    auto w = make_world();
    fill_random_world(*w, 3);
    for (int k = 0; k < water_frame_count; ++k)
        for (int x = 0; x < world_size; ++x)
            for (int z = 0; z < world_size; ++z)
                w->water_frames[k][x][z] = 1.0f + static_cast<float>(std::rand() % 1000) * 0.001999f;
    build_world_meshes(*w);
    w->water_phase_offset[4][6] = 1.5f;
    auto blend = [&](int a, int b, int x, int z, float f) {
        return w->water_frames[a][x][z] * (1.0f - f) + w->water_frames[b][x][z] * f;
    };
    const struct { float phase; int x, z, a, b; float f; } rows[] = {
        {0.0f, 2, 3, 0, 1, 0.0f}, {4.5f, 2, 3, 4, 0, 0.5f}, {1.25f, 2, 3, 1, 2, 0.25f},
        {4.0f, 4, 6, 0, 1, 0.5f}, {0.5f, 4, 6, 2, 3, 0.0f}, {4.0f, 2, 3, 4, 0, 0.0f},
    };
    for (const auto& row : rows) {
        w->water_phase = row.phase;
        animate_water(*w, 0.0f);
        EXPECT_EQ(w->water_height[row.x][row.z], blend(row.a, row.b, row.x, row.z, row.f)) << row.phase;
    }
    EXPECT_EQ(derived_mismatch(*w), "");
    w->water_phase = 0.0f;
    for (int u = 0; u < 199; ++u) animate_water(*w, 1.0f);
    EXPECT_NEAR(w->water_phase, 4.975f, 1e-4f);
    animate_water(*w, 1.0f);
    EXPECT_NEAR(w->water_phase, 0.0f, 1e-4f);
}

// Every mesh and collision list equals its plain build, bit for bit, from
// sparse to dense worlds; each world after the first is a rebuild over the
// previous one's arrays, and a rebuild that changes nothing keeps them.
TEST(Mesh, MatchesTheCellByCellBuildAlsoWhenRebuilt) {
    auto w = make_world();
    set_atlas_tiles(*w);
    for (unsigned seed = 1; seed <= 6; ++seed) {
        fill_random_world(*w, seed);
        for (int edit = 0; edit < 2; ++edit) {
            build_world_meshes(*w);
            ASSERT_EQ(derived_mismatch(*w), "") << seed;
            w->block_grid[20][10][20] ^= 1;  // a small edit, then a rebuild
            w->terrain_height[49][0] += 0.5f;
        }
    }
    const float* kept[2] = {w->block_meshes[17].vertices.get(), w->terrain_collision[17].normals.get()};
    build_world_meshes(*w);
    EXPECT_EQ(kept[0], w->block_meshes[17].vertices.get());
    EXPECT_EQ(kept[1], w->terrain_collision[17].normals.get());
}

// Just behind every block face lies its block, just in front of it lies
// open space (below level 0 counts as closed).
TEST(Mesh, FacesPointOutOfTheSolid) {
    auto w = make_world();
    fill_random_world(*w, 77);
    build_world_meshes(*w);
    for (int c = 0; c < chunk_count; ++c) {
        const CollisionList& l = w->block_collision[c];
        for (int t = 0; t < l.triangle_count; ++t) {
            for (float side : {0.25f, -0.25f}) {
                float p[3];
                for (int i = 0; i < 3; ++i)
                    p[i] = (l.corner_a[3 * t + i] + l.corner_b[3 * t + i] + l.corner_c[3 * t + i]) / 3.0f +
                           side * l.normals[3 * t + i];
                const int x = ref_wrap(c / 10 * 5 + static_cast<int>(std::floor(p[0])));
                const int y = static_cast<int>(std::floor(p[1]));
                const int z = ref_wrap(c % 10 * 5 + static_cast<int>(std::floor(p[2])));
                const bool solid = y < 0 || (y < world_levels && w->block_grid[x][y][z]);
                ASSERT_EQ(solid, side > 0) << c << " " << t;
            }
        }
    }
}
