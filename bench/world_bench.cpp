// World timings. The settling baseline is the tests' literal rule
// (sim_helpers.h): fall, gather, then whole-grid passes until a pass
// changes nothing.
#include "sim_helpers.h"
#include "world/settle.h"
#include "world/water.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr unsigned world_seed = 12345;

// Times one operation on w, over and over.
template <typename Operation>
void repeat(benchmark::State& state, World& w, Operation operation) {
    for (auto _ : state) {
        operation(w);
        benchmark::ClobberMemory();
    }
}

// The walled box without random blocks, and a square helix hanging from one
// block under the ceiling. Its legs towards -x and -z and its steps down all
// run against the visiting order, so each costs the plain rule a pass.
std::unique_ptr<World> helix_world() {
    auto w = std::make_unique<World>();
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            w->block_grid[x][0][z] = 1;
            w->block_grid[x][world_levels - 1][z] = 1;
            for (int y = 20; y < world_levels; ++y)
                if (x == 0 || x == 49 || z == 0 || z == 49) w->block_grid[x][y][z] = 1;
        }
    int x = 45, y = world_levels - 2, z = 45;
    w->block_grid[x][y][z] = 1;
    const int dx[4] = {-1, 0, 1, 0}, dz[4] = {0, -1, 0, 1};
    for (int leg = 0; y > 2; ++leg) {
        w->block_grid[x][--y][z] = 1;
        for (int i = 0; i < 40; ++i) {
            x += dx[leg % 4];
            z += dz[leg % 4];
            w->block_grid[x][y][z] = 1;
        }
    }
    return w;
}

void BM_SettleGenerated(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), settle_blocks);
}
BENCHMARK(BM_SettleGenerated)->Unit(benchmark::kMicrosecond);

void BM_SettleHelix(benchmark::State& state) {
    repeat(state, *helix_world(), settle_blocks);
}
BENCHMARK(BM_SettleHelix)->Unit(benchmark::kMicrosecond);

// Every cell a block: the most rows the flood can touch.
void BM_SettleFull(benchmark::State& state) {
    auto w = std::make_unique<World>();
    std::memset(w->block_grid, 1, sizeof w->block_grid);
    repeat(state, *w, settle_blocks);
}
BENCHMARK(BM_SettleFull)->Unit(benchmark::kMicrosecond);

void BM_PlainSettleGeneratedBaseline(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), reference_settle);
}
BENCHMARK(BM_PlainSettleGeneratedBaseline)->Unit(benchmark::kMicrosecond);

void BM_PlainSettleHelixBaseline(benchmark::State& state) {
    repeat(state, *helix_world(), reference_settle);
}
BENCHMARK(BM_PlainSettleHelixBaseline)->Unit(benchmark::kMicrosecond);

// The rebuilds that follow every settling step: of the chunks the step
// changed, as the game does, and (the baseline) of all 100. Each timed
// rebuild follows a fresh step; the world is regenerated once everything has
// come down.
void rebuild_after_steps(benchmark::State& state, bool all_chunks) {
    auto w = generated_world(world_seed);
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++steps == 30) {
            w = generated_world(world_seed);
            steps = 0;
        }
        settle_blocks(*w);
        state.ResumeTiming();
        build_block_meshes(*w, all_chunks ? nullptr : w->settled_block_chunks);
        build_falling_meshes(*w, all_chunks ? nullptr : w->settled_falling_chunks);
        build_collision_lists(*w, all_chunks ? nullptr : w->settled_block_chunks);
        benchmark::ClobberMemory();
    }
}
void BM_RebuildAfterStep(benchmark::State& state) { rebuild_after_steps(state, false); }
BENCHMARK(BM_RebuildAfterStep)->Unit(benchmark::kMicrosecond);
void BM_RebuildAllAfterStepBaseline(benchmark::State& state) { rebuild_after_steps(state, true); }
BENCHMARK(BM_RebuildAllAfterStepBaseline)->Unit(benchmark::kMicrosecond);

void BM_AnimateWater(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), [](World& w) { animate_water(w, 1.0f); });
}
BENCHMARK(BM_AnimateWater)->Unit(benchmark::kMicrosecond);

void BM_BuildBlockMeshes(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), [](World& w) { build_block_meshes(w); });
}
BENCHMARK(BM_BuildBlockMeshes)->Unit(benchmark::kMicrosecond);

void BM_BuildFallingMeshes(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), [](World& w) { build_falling_meshes(w); });
}
BENCHMARK(BM_BuildFallingMeshes)->Unit(benchmark::kMicrosecond);

void BM_BuildCollisionLists(benchmark::State& state) {
    repeat(state, *generated_world(world_seed), [](World& w) { build_collision_lists(w); });
}
BENCHMARK(BM_BuildCollisionLists)->Unit(benchmark::kMicrosecond);

}  // namespace
