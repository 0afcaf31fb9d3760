// World timings. The settling baseline is the literal rule: fall, gather,
// then whole-grid passes until a pass changes nothing.
#include "world/generate.h"
#include "world/mesh.h"
#include "world/settle.h"
#include "world/water.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

int wrap(int i) { return wrap_index(i, world_size); }

bool held(const World& w, int x, int y, int z) {
    if (y == 0) return true;
    const int xp = wrap(x + 1), zp = wrap(z + 1);
    const float fy = static_cast<float>(y);
    if (w.terrain_height[x][z] > fy || w.terrain_height[xp][z] > fy || w.terrain_height[x][zp] > fy ||
        w.terrain_height[xp][zp] > fy) {
        return true;
    }
    const int below = y > 0 ? y - 1 : 0, above = y < world_levels - 1 ? y + 1 : y;
    return w.block_grid[wrap(x - 1)][y][z] == 1 || w.block_grid[xp][y][z] == 1 ||
           w.block_grid[x][y][wrap(z - 1)] == 1 || w.block_grid[x][y][zp] == 1 ||
           w.block_grid[x][below][z] == 1 || w.block_grid[x][above][z] == 1;
}

void plain_settle(World& w) {
    for (int x = 0; x < world_size; ++x)
        for (int z = 0; z < world_size; ++z) {
            for (int y = 0; y < world_levels - 1; ++y) w.falling_grid[x][y][z] = w.falling_grid[x][y + 1][z];
            w.falling_grid[x][world_levels - 1][z] = 0;
        }
    for (int x = 0; x < world_size; ++x)
        for (int y = 0; y < world_levels; ++y)
            for (int z = 0; z < world_size; ++z)
                if (w.block_grid[x][y][z] == 1) {
                    w.falling_grid[x][y][z] = 1;
                    w.block_grid[x][y][z] = 0;
                }
    for (bool changed = true; changed;) {
        changed = false;
        for (int x = 0; x < world_size; ++x)
            for (int y = 0; y < world_levels; ++y)
                for (int z = 0; z < world_size; ++z)
                    if (w.falling_grid[x][y][z] != 0 && held(w, x, y, z)) {
                        w.block_grid[x][y][z] = 1;
                        w.falling_grid[x][y][z] = 0;
                        changed = true;
                    }
    }
}

std::unique_ptr<World> generated_world() {
    auto w = std::make_unique<World>();
    set_atlas_tiles(*w);
    std::srand(12345);
    generate_world(*w);
    build_block_meshes(*w);
    build_falling_meshes(*w);
    build_terrain_meshes(*w);
    build_water_meshes(*w);
    build_collision_lists(*w);
    return w;
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
    auto w = generated_world();
    for (auto _ : state) {
        settle_blocks(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SettleGenerated)->Unit(benchmark::kMicrosecond);

void BM_SettleHelix(benchmark::State& state) {
    auto w = helix_world();
    for (auto _ : state) {
        settle_blocks(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SettleHelix)->Unit(benchmark::kMicrosecond);

// Every cell a block: the most rows the flood can touch.
void BM_SettleFull(benchmark::State& state) {
    auto w = std::make_unique<World>();
    std::memset(w->block_grid, 1, sizeof w->block_grid);
    for (auto _ : state) {
        settle_blocks(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SettleFull)->Unit(benchmark::kMicrosecond);

void BM_PlainSettleGeneratedBaseline(benchmark::State& state) {
    auto w = generated_world();
    for (auto _ : state) {
        plain_settle(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainSettleGeneratedBaseline)->Unit(benchmark::kMicrosecond);

void BM_PlainSettleHelixBaseline(benchmark::State& state) {
    auto w = helix_world();
    for (auto _ : state) {
        plain_settle(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainSettleHelixBaseline)->Unit(benchmark::kMicrosecond);

// The rebuilds that follow every settling step. Each timed rebuild follows a
// fresh step; the world is regenerated once everything has come down.
void BM_RebuildAfterStep(benchmark::State& state) {
    auto w = generated_world();
    int steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (++steps == 30) {
            w = generated_world();
            steps = 0;
        }
        settle_blocks(*w);
        state.ResumeTiming();
        build_block_meshes(*w);
        build_falling_meshes(*w);
        build_collision_lists(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RebuildAfterStep)->Unit(benchmark::kMicrosecond);

void BM_AnimateWater(benchmark::State& state) {
    auto w = generated_world();
    for (auto _ : state) {
        animate_water(*w, 1.0f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AnimateWater)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

void BM_BuildBlockMeshes(benchmark::State& state) {
    auto w = generated_world();
    for (auto _ : state) {
        build_block_meshes(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildBlockMeshes)->Unit(benchmark::kMicrosecond);

void BM_BuildFallingMeshes(benchmark::State& state) {
    auto w = generated_world();
    for (auto _ : state) {
        build_falling_meshes(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildFallingMeshes)->Unit(benchmark::kMicrosecond);

void BM_BuildCollisionLists(benchmark::State& state) {
    auto w = generated_world();
    for (auto _ : state) {
        build_collision_lists(*w);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildCollisionLists)->Unit(benchmark::kMicrosecond);

}  // namespace
