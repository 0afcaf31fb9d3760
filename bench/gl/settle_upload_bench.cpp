// One block falling through the air of a settled world: what each settling
// step costs after the step itself, the rebuild of the meshes and collision
// lists it made stale and the sending of the changed chunks to the GL
// buffers the desktop draws from (goal: at most 0.05 ms). The baseline is
// the rebuild of all 100 chunks that every step made before, which sent
// nothing (the vertices went to GL at every draw instead).
#include "app/video.h"
#include "render/gl_procs.h"
#include "render/world_buffers.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world/settle.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void one_block_falls(benchmark::State& state, bool changed_only) {
    Screen screen;
    if (setup_video(Settings{1024, 768, 0, false, false, false, true, 1024.0f / 768}, screen) != 0) std::abort();
    auto w = std::make_unique<World>();
    set_atlas_tiles(*w);
    Chance chance = seeded_chance(1);
    generate_world(*w, chance);
    build_world_meshes(*w);
    for (int step = 0; step < 40; ++step) settle_blocks(*w);  // everything comes down
    std::memset(w->falling_grid, 0, sizeof w->falling_grid);
    build_world_meshes(*w);
    // As the desktop draws: a slot a call, chunk-local in the x-major order.
    Handover slots;
    slots.x_major = true;
    auto blocks = std::make_unique<MeshSetCopy>(), falling = std::make_unique<MeshSetCopy>();
    auto sync = [&] {
        sync_mesh_copy(*blocks, w->open_block_meshes, slots);
        sync_mesh_copy(*falling, w->falling_meshes, slots);
    };
    if (changed_only) sync();
    for (auto _ : state) {
        state.PauseTiming();
        if (w->falling_grid[12][1][12] || !w->falling_grid[12][2][12]) {
            // Landed (or not yet dropped): start again from high up.
            w->block_grid[12][1][12] = w->falling_grid[12][1][12] = 0;
            for (int y = 1; y < world_levels; ++y) w->falling_grid[12][y][12] = 0;
            w->falling_grid[12][20][12] = 1;
            build_world_meshes(*w);
            if (changed_only) sync();
        }
        settle_blocks(*w);
        state.ResumeTiming();
        if (changed_only) {
            build_block_meshes(*w, w->settled_block_chunks);
            build_falling_meshes(*w, w->settled_falling_chunks);
            build_collision_lists(*w, w->settled_block_chunks);
            sync();
        } else {
            build_block_meshes(*w);
            build_falling_meshes(*w);
            build_collision_lists(*w);
        }
        benchmark::ClobberMemory();
    }
    SDL_Quit();
}

void BM_OneBlockFallsRebuildAndSend(benchmark::State& state) { one_block_falls(state, true); }
void BM_OneBlockFallsRebuildAllBaseline(benchmark::State& state) { one_block_falls(state, false); }

}  // namespace

BENCHMARK(BM_OneBlockFallsRebuildAndSend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneBlockFallsRebuildAllBaseline)->Unit(benchmark::kMicrosecond);
