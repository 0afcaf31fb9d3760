// The world's rules against their plain references, and what generation and settling must give.
#include "world/settle.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

// Resting and falling blocks from sparse to tangled, over flat, low or spiky ground, and rough water.
static void fill_random_world(World& w, unsigned seed) {
    std::srand(seed);
    const int resting = 20 + std::rand() % 450, falling = std::rand() % 200, ground = std::rand() % 3;
    for (int i = 0; i < world_size * world_levels * world_size; ++i) {
        (&w.block_grid[0][0][0])[i] = std::rand() % 1000 < resting;
        (&w.falling_grid[0][0][0])[i] = std::rand() % 1000 < falling;
    }
    for (int i = 0; i < world_size * world_levels * world_size && seed == 0; ++i) {  // a block in every row
        (&w.block_grid[0][0][0])[i] = i % 50 == 0 || (i / 50 == 49 * 25 + 24 && i % 50 < 5);
        (&w.falling_grid[0][0][0])[i] = 0;
    }
    for (int z = 10; z <= 40 && seed == 0; ++z) {  // two long runs broken once, each held at one end
        w.block_grid[20][5][z] = w.block_grid[30][5][z] = z != 18 && z != 32;
        w.block_grid[20][z % 5][40] = w.block_grid[30][z % 5][10] = 1;
    }
    for (int i = 0; i < world_size * world_size; ++i) {
        const bool spike = ground == 2 && std::rand() % 40 == 0;
        const float rough = spike ? std::rand() % 2501 * 0.01f : ground == 1 ? std::rand() % 300 * 0.01f : 0;
        (&w.terrain_height[0][0])[i] = seed == 0 ? (i % 50 == 0) * 25.0f : rough;
        (&w.water_height[0][0])[i] = 1.0f + std::rand() % 2000 * 0.001f;
    }
}

// Resting blocks are exactly those joined to the floor, or to ground rising strictly above them, across seams;
// in world 0 a ridge of full-height ground holds a block in every row at once, and rest stops at a gap in a run.
TEST(Settle, MatchesRepeatedPassesOnRandomWorlds) {
    auto fast = new_world(), slow = new_world();
    for (unsigned seed = 0; seed <= 60; ++seed) {
        fill_random_world(*fast, seed);
        fill_random_world(*slow, seed);
        for (int step = 1; step <= 3; ++step) {
            settle_blocks(*fast);
            reference_settle(*slow);
            ASSERT_TRUE(world_bytes(*fast) == world_bytes(*slow)) << seed << " " << step;
        }
    }
}

// One step per tenth of a unit of speed, several in one update at a large speed, each rebuilding the meshes.
TEST(Settle, FallClock) {
    const struct { float speed; int updates; std::vector<int> steps; } rows[] = {
        {1.0f, 35, {10, 20, 30}}, {2.0f, 17, {5, 10, 15}},
        {0.2f, 160, {51, 101, 151}},  // 0.02 in single precision falls just short
        {25.0f, 2, {1, 1, 2, 2, 2}}};
    for (const auto& row : rows) {
        auto w = new_world();
        w->falling_grid[7][world_levels - 1][7] = 1;
        build_world_meshes(*w);
        std::vector<int> steps;
        for (int u = 1, level = 24; u <= row.updates; ++u) {
            advance_falling(*w, row.speed);
            for (; level > 0 && !w->falling_grid[7][level][7]; --level) steps.push_back(u);
        }
        EXPECT_EQ(steps, row.steps) << row.speed;
        EXPECT_EQ(derived_mismatch(*w), "") << row.speed;
    }
}

// The walled box with its openings and the cells whose own draw hit, settled once; then the maps drawn in
// order from the same numbers (seed 3's ground dips below 0, where it is held). Smoothing averages each point
// with its four neighbours, across the seams.
TEST(Generate, BuildsTheBoxSettlesTheBlocksAndDrawsTheMaps) {
    auto expected = new_world(), w = new_world();
    Chance chance = seeded_chance(3), drawn = chance;
    for (int i = 0; i < world_size * world_levels * world_size; ++i) {  // x, then y, then z
        const int x = i / 1250, y = i / 50 % 25, z = i % 50;
        const bool wall_x = (x == 0 || x == 49) && (z < 5 || z >= 45 || y >= 20);
        const bool wall_z = (z == 0 || z == 49) && (x < 5 || x >= 45 || y >= 20);
        (&expected->block_grid[0][0][0])[i] = next_chance(chance) % 1000 == 0 || y == 0 || y == 24 || wall_x || wall_z;
    }
    reference_settle(*expected);
    auto& s = expected->smoothing_scratch;
    fill_smoothed_map(expected->terrain_height, s, -17.75f, 22.25f, 25, chance);
    for (auto& row : expected->terrain_height)
        for (float& h : row) h = std::fmax(h, 0.0f);
    fill_smoothed_map(expected->water_height, s, 1, 3, 5, chance);
    for (auto& frame : expected->water_frames) fill_smoothed_map(frame, s, 1, 3, 5, chance);
    fill_smoothed_map(expected->water_phase_offset, s, 0, 2, 2, chance);
    generate_world(*w, drawn);
    EXPECT_TRUE(world_bytes(*w) == world_bytes(*expected));
    auto& r = expected->terrain_height;
    chance = drawn = seeded_chance(12);
    fill_smoothed_map(r, s, -5.0f, 10.0f, 0, chance);
    fill_smoothed_map(w->terrain_height, w->smoothing_scratch, -5.0f, 10.0f, 3, drawn);
    for (int pass = 0; pass < 3; ++pass) {
        std::memcpy(s, r, sizeof r);
        for (int x = 0; x < world_size; ++x)
            for (int z = 0; z < world_size; ++z)
                r[x][z] = static_cast<float>((double(s[x][z]) + s[ref_wrap(x + 1)][z] + s[ref_wrap(x - 1)][z] +
                                              s[x][ref_wrap(z + 1)] + s[x][ref_wrap(z - 1)]) * double(0.2f));
    }
    EXPECT_EQ(std::memcmp(r, w->terrain_height, sizeof r), 0);
}

// glibc's rand() after srand with the same seed: a seed keeps the world it made when the game drew from it.
TEST(Generate, ChanceDrawsGlibcsRandSequence) {
    for (unsigned seed : {0u, 1u, 3u, 2147483648u, 4294967295u}) {
        Chance chance = seeded_chance(seed);
        std::srand(seed);
        for (int i = 0; i < 100000; ++i) ASSERT_EQ(next_chance(chance), std::rand()) << seed << " " << i;
    }
}

// Meshes and lists equal their plain builds from sparse to dense worlds, also when rebuilt over an earlier
// world's arrays, where a list keeps the triangles of quads that did not change, and after settling steps.
TEST(Mesh, MatchesTheCellByCellBuild) {
    auto w = new_world();
    set_atlas_tiles(*w);
    for (unsigned seed = 1; seed <= 6; ++seed) {
        fill_random_world(*w, seed);
        build_world_meshes(*w);
        ASSERT_EQ(derived_mismatch(*w), "") << seed;
        auto step = [&] { return advance_falling(*w, 10.0f), derived_mismatch(*w); };  // rebuilds what it changed
        for (int k = 1; k <= 3; ++k) ASSERT_EQ(step(), "") << seed << " " << k;
    }
    for (int x : {1, 2}) {  // one block moved along x: its faces' new corners differ from the old in x alone
        std::memset(w->block_grid, 0, sizeof w->block_grid);
        w->block_grid[x][5][1] = 1;
        build_world_meshes(*w);
    }
    EXPECT_EQ(derived_mismatch(*w), "");
}
