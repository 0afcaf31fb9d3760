#include "world/mesh.h"
#include "world/settle.h"
#include "world_reference.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A random world whose block density sweeps through the range where support
// chains get long and tangled, with ground that is flat, low or spiky.
void fill_random_world(World& w, unsigned seed) {
    std::srand(seed);
    const int resting_per_mille = 20 + std::rand() % 450;
    const int falling_per_mille = std::rand() % 200;
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z) {
                w.block_grid[x][y][z] = std::rand() % 1000 < resting_per_mille;
                w.falling_grid[x][y][z] = std::rand() % 1000 < falling_per_mille;
            }
    const int ground = std::rand() % 3;
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            float h = 0.0f;
            if (ground == 1) h = static_cast<float>(std::rand() % 300) * 0.01f;
            if (ground == 2 && std::rand() % 40 == 0) h = static_cast<float>(std::rand() % 2501) * 0.01f;
            w.terrain_height[x][z] = h;
        }
}

// The level of the one falling block in column (x, z), or -1.
int falling_level(const World& w, int x, int z) {
    for (int y = 0; y < world_levels; ++y)
        if (w.falling_grid[x][y][z]) return y;
    return -1;
}

std::vector<int> step_updates(float speed, int updates) {
    auto w = make_world();
    w->falling_grid[7][world_levels - 1][7] = 1;
    std::vector<int> steps;
    int level = falling_level(*w, 7, 7);
    for (int u = 1; u <= updates; ++u) {
        advance_falling(*w, speed);
        const int now = falling_level(*w, 7, 7);
        if (now != level) steps.push_back(u);
        level = now;
    }
    return steps;
}

}  // namespace

// Whatever order the support spreads in, the blocks that rest are exactly
// those connected to a cell held by the floor level or the ground.
TEST(Settle, MatchesRepeatedPassesOnRandomWorlds) {
    auto fast = make_world();
    auto slow = make_world();
    for (unsigned seed = 1; seed <= 60; ++seed) {
        fill_random_world(*fast, seed);
        copy_grids(*fast, *slow);
        for (int step = 0; step < 3; ++step) {
            settle_blocks(*fast);
            reference_settle(*slow);
            ASSERT_TRUE(same_grids(*fast, *slow)) << "seed " << seed << " step " << step;
        }
    }
}

// A chain that climbs towards the low corner, against the visiting order,
// hanging from a single block under a ceiling stub that sits on the floor
// through a pillar at the far end.
TEST(Settle, LongChainAgainstVisitingOrderStaysUp) {
    auto w = make_world();
    for (int y = 0; y < world_levels; ++y) w->block_grid[49][y][49] = 1;  // pillar
    int x = 48, z = 49, y = world_levels - 1;
    w->block_grid[x][y][z] = 1;
    for (; y > 5; --y) {  // a staircase winding down and towards x = 0, z = 0
        for (int i = 0; i < 6 && x > 0; ++i) w->block_grid[--x][y][z] = 1;
        for (int i = 0; i < 6 && z > 0; ++i) w->block_grid[x][y][--z] = 1;
        w->block_grid[x][y - 1][z] = 1;
    }
    auto slow = make_world();
    copy_grids(*w, *slow);
    const int blocks = count_blocks(w->block_grid);
    settle_blocks(*w);
    reference_settle(*slow);
    EXPECT_TRUE(same_grids(*w, *slow));
    EXPECT_EQ(count_blocks(w->block_grid), blocks);
    EXPECT_EQ(count_blocks(w->falling_grid), 0);

    // Cut the pillar at level 10: everything above it now hangs from nothing.
    w->block_grid[49][10][49] = 0;
    copy_grids(*w, *slow);
    settle_blocks(*w);
    reference_settle(*slow);
    EXPECT_TRUE(same_grids(*w, *slow));
    EXPECT_EQ(count_blocks(w->block_grid), 10);  // the pillar's stump, levels 0..9
}

TEST(Settle, TowerComesToRestAsAWhole) {
    auto w = make_world();
    for (int y = 10; y < 15; ++y) w->falling_grid[20][y][30] = 1;
    for (int step = 1; step <= 9; ++step) {
        settle_blocks(*w);
        ASSERT_EQ(count_blocks(w->block_grid), 0) << "step " << step;
        for (int y = 10 - step; y < 15 - step; ++y) ASSERT_EQ(w->falling_grid[20][y][30], 1);
        ASSERT_EQ(count_blocks(w->falling_grid), 5);
    }
    settle_blocks(*w);  // the lowest block reaches level 0
    EXPECT_EQ(count_blocks(w->falling_grid), 0);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(w->block_grid[20][y][30], 1);
    EXPECT_EQ(count_blocks(w->block_grid), 5);
}

TEST(Settle, BlockUnderCeilingAndOnFloorStayPut) {
    auto w = make_world();
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) w->block_grid[x][world_levels - 1][z] = 1;
    w->block_grid[3][world_levels - 2][3] = 1;  // hangs under the ceiling
    w->block_grid[8][0][8] = 1;                 // lies on level 0 alone
    for (int y = 0; y < world_levels; ++y) w->block_grid[40][y][40] = 1;  // holds the ceiling
    settle_blocks(*w);
    EXPECT_EQ(w->block_grid[3][world_levels - 2][3], 1);
    EXPECT_EQ(w->block_grid[8][0][8], 1);
    EXPECT_EQ(count_blocks(w->falling_grid), 0);
}

TEST(Settle, SupportReachesAcrossTheSeam) {
    auto w = make_world();
    for (int y = 0; y < 6; ++y) w->block_grid[0][y][0] = 1;  // a post from the floor
    w->block_grid[49][5][0] = 1;                              // beside it across x = 49/0
    w->block_grid[49][5][49] = 1;                             // and on across z = 49/0
    w->block_grid[10][5][10] = 1;                             // touching nothing
    settle_blocks(*w);
    EXPECT_EQ(w->block_grid[49][5][0], 1);
    EXPECT_EQ(w->block_grid[49][5][49], 1);
    EXPECT_EQ(w->block_grid[10][5][10], 0);
    EXPECT_EQ(w->falling_grid[10][5][10], 1);
}

// The ground holds a block only where a corner rises strictly above its bottom.
TEST(Settle, GroundHoldsOnlyAboveTheBlockBottom) {
    auto w = make_world();
    w->terrain_height[20][20] = 1.0f;
    w->terrain_height[21][20] = 1.0f;
    w->terrain_height[20][21] = 1.0f;
    w->terrain_height[21][21] = 1.0f;
    w->block_grid[20][1][20] = 1;
    w->terrain_height[31][40] = 1.01f;  // one corner of column (30, 39) only
    w->block_grid[30][1][39] = 1;
    settle_blocks(*w);
    EXPECT_EQ(w->falling_grid[20][1][20], 1);
    EXPECT_EQ(w->block_grid[30][1][39], 1);
    // Column 49 takes its far corners from lattice points 0.
    w->terrain_height[0][0] = 3.5f;
    w->block_grid[49][3][49] = 1;
    settle_blocks(*w);
    EXPECT_EQ(w->block_grid[49][3][49], 1);
}

// A block placed under a falling block joins it at the next step; a block
// placed into a falling block's cell is merged with it.
TEST(Settle, PlacedAndFallingBlocksMerge) {
    auto w = make_world();
    for (int y = 0; y < 8; ++y) w->block_grid[5][y][5] = 1;
    w->falling_grid[5][10][5] = 1;
    w->block_grid[5][9][5] = 1;  // placed in mid-air right below it
    w->falling_grid[12][4][12] = 1;
    w->block_grid[12][3][12] = 1;  // placed where that falling block arrives next
    settle_blocks(*w);
    EXPECT_EQ(count_blocks(w->falling_grid), 2);  // each pair became one block
    EXPECT_EQ(w->falling_grid[5][9][5], 1);
    EXPECT_EQ(w->falling_grid[12][3][12], 1);
    EXPECT_EQ(w->block_grid[5][9][5], 0);
    for (int y = 0; y < world_levels; ++y)
        for (int x = 0; x < world_size; ++x)
            for (int z = 0; z < world_size; ++z)
                ASSERT_FALSE(w->block_grid[x][y][z] && w->falling_grid[x][y][z]);
}

TEST(Settle, ClockRunsOneStepPerTenthOfAUnit) {
    EXPECT_EQ(step_updates(1.0f, 35), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(step_updates(2.0f, 17), (std::vector<int>{5, 10, 15}));
    // 0.2 in single precision falls just short of a whole step after 50 updates.
    EXPECT_EQ(step_updates(0.2f, 160), (std::vector<int>{51, 101, 151}));
}

TEST(Settle, ClockRebuildsMeshesAfterAStep) {
    auto w = make_world();
    w->falling_grid[2][12][2] = 1;
    build_falling_meshes(*w);
    EXPECT_EQ(w->falling_meshes[0].vertex_count, 24);
    EXPECT_EQ(w->falling_meshes[0].vertices[1], 12.0f);  // +x face, vertex 0 y
    for (int u = 0; u < 10; ++u) advance_falling(*w, 1.0f);
    EXPECT_EQ(w->falling_meshes[0].vertices[1], 11.0f);
    EXPECT_TRUE(w->block_collision[0].built);
    EXPECT_TRUE(w->terrain_collision[99].built);
    EXPECT_LT(w->fall_offset, 1.0f);
    advance_falling(*w, 25.0f);  // 2.5 units: two steps in one update
    EXPECT_EQ(w->falling_meshes[0].vertices[1], 9.0f);
    EXPECT_GE(w->fall_offset, 0.0f);
    EXPECT_LT(w->fall_offset, 1.0f);
}
