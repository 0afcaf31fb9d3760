#include "world/generate.h"
#include "world_reference.h"

#include <gtest/gtest.h>

namespace {

bool is_structure(int x, int y, int z) {
    if (y == 0 || y == 24) return true;
    if ((x == 0 || x == 49) && (z < 5 || z >= 45 || y >= 20)) return true;
    if ((z == 0 || z == 49) && (x < 5 || x >= 45 || y >= 20)) return true;
    return false;
}

double mean_of(const float (&map)[world_size][world_size]) {
    double sum = 0.0;
    for (const auto& row : map)
        for (float v : row) sum += v;
    return sum / (world_size * world_size);
}

}  // namespace

// The box, plus exactly the cells whose own draw hit, split by the one
// settling step into what rests on the box and what will fall.
TEST(Generate, BuildsTheBoxAndSettlesTheRandomBlocks) {
    const unsigned seed = 4242;
    auto expected = make_world();
    std::srand(seed);
    int random_hits = 0;
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) {
                const bool hit = std::rand() % 1000 == 0;
                random_hits += hit && !is_structure(x, y, z);
                expected->block_grid[x][y][z] = is_structure(x, y, z) || hit;
            }
    ASSERT_GT(random_hits, 20);
    reference_settle(*expected);

    auto w = make_world();
    std::srand(seed);
    generate_world(*w);
    EXPECT_TRUE(same_grids(*w, *expected));
    EXPECT_GT(count_blocks(w->falling_grid), 0);  // some random blocks hang in the open
    for (int y = 0; y < world_levels; ++y) EXPECT_EQ(w->block_grid[0][y][0], 1);
    EXPECT_EQ(w->block_grid[0][10][2], 1);   // wall beside the opening
    EXPECT_EQ(w->block_grid[25][20][49], 1); // wall above the opening
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            ASSERT_EQ(w->block_grid[x][0][z], 1);
            ASSERT_EQ(w->block_grid[x][24][z], 1);
        }
}

TEST(Generate, OpeningsAreOpenBarRandomHits) {
    auto w = make_world();
    std::srand(99);
    generate_world(*w);
    int solid = 0, cells = 0;
    for (int y = 1; y < 20; ++y)
        for (int i = 5; i < 45; ++i) {
            solid += w->block_grid[0][y][i] + w->block_grid[49][y][i] + w->block_grid[i][y][0] + w->block_grid[i][y][49];
            cells += 4;
        }
    EXPECT_LT(solid, 12) << "of " << cells;  // about 3 expected from one-in-a-thousand draws
}

// 62,500 draws for the blocks and 2,500 for each of the eight maps: the
// stream after generation continues exactly where that count leaves it.
TEST(Generate, DrawsExactly82500RandomNumbers) {
    auto w = make_world();
    for (unsigned seed : {1u, 777u}) {
        std::srand(seed);
        generate_world(*w);
        const int after = std::rand();
        std::srand(seed);
        for (int i = 0; i < 82500; ++i) std::rand();
        EXPECT_EQ(after, std::rand());
    }
}

TEST(Generate, MapsStayInTheirRanges) {
    auto w = make_world();
    std::srand(2024);
    generate_world(*w);
    float lowest_ground = 100.0f, highest_ground = -100.0f;
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            lowest_ground = std::min(lowest_ground, w->terrain_height[x][z]);
            highest_ground = std::max(highest_ground, w->terrain_height[x][z]);
            ASSERT_GE(w->water_height[x][z], 1.0f);
            ASSERT_LT(w->water_height[x][z], 3.0f);
            for (const auto& frame : w->water_frames) {
                ASSERT_GE(frame[x][z], 1.0f);
                ASSERT_LT(frame[x][z], 3.0f);
            }
            ASSERT_GE(w->water_phase_offset[x][z], 0.0f);
            ASSERT_LT(w->water_phase_offset[x][z], 2.0f);
        }
    EXPECT_GE(lowest_ground, 0.0f);
    EXPECT_LT(highest_ground, 10.0f);
    EXPECT_GT(highest_ground, lowest_ground);
    EXPECT_NEAR(mean_of(w->terrain_height), 2.25, 0.75);
}

TEST(Generate, RandomFillUsesTheDrawnValues) {
    auto w = make_world();
    std::srand(31);
    fill_smoothed_map(w->terrain_height, w->smoothing_scratch, -17.75f, 22.25f, 0);
    std::srand(31);
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            const int r = std::rand() % 1000;
            const float expected = static_cast<float>(r * static_cast<double>(0.001f) * 40.0 - 17.75);
            ASSERT_EQ(w->terrain_height[x][z], expected);
        }
}

TEST(Generate, SmoothingKeepsConstantsAndTheMean) {
    auto w = make_world();
    fill_smoothed_map(w->terrain_height, w->smoothing_scratch, 1.5f, 1.5f, 30);
    for (const auto& row : w->terrain_height)
        for (float v : row) ASSERT_EQ(v, 1.5f);

    std::srand(8);
    fill_smoothed_map(w->water_height, w->smoothing_scratch, 0.0f, 2.0f, 0);
    const double raw_mean = mean_of(w->water_height);
    std::srand(8);
    fill_smoothed_map(w->water_height, w->smoothing_scratch, 0.0f, 2.0f, 7);
    EXPECT_NEAR(mean_of(w->water_height), raw_mean, 1e-5);

}

// One pass averages each point with its four neighbours, those across the
// seam included, summed in double precision.
TEST(Generate, SmoothingWrapsAtTheSeam) {
    auto raw = make_world();
    auto smooth = make_world();
    std::srand(12);
    fill_smoothed_map(raw->terrain_height, raw->smoothing_scratch, 0.0f, 10.0f, 0);
    std::srand(12);
    fill_smoothed_map(smooth->terrain_height, smooth->smoothing_scratch, 0.0f, 10.0f, 1);
    const auto& r = raw->terrain_height;
    const auto& s = smooth->terrain_height;
    const double corner = static_cast<double>(r[1][0]) + r[0][0] + r[49][0] + r[0][1] + r[0][49];
    EXPECT_EQ(s[0][0], static_cast<float>(corner * static_cast<double>(0.2f)));
    const double far = static_cast<double>(r[0][49]) + r[49][49] + r[48][49] + r[49][0] + r[49][48];
    EXPECT_EQ(s[49][49], static_cast<float>(far * static_cast<double>(0.2f)));
}
