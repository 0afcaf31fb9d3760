// The scene at 1024 x 768 under Xvfb with llvmpipe: render_scene plus the
// swap, in the first pinned world (pinned_scenes.h) from its five views. The
// goal is 62.5 frames a second (16 ms of wall time). Time is wall time; CPU
// is the whole process's, llvmpipe's rasterizer threads included, so it
// shows the work a frame costs even when other programs share the cores. In
// the same run: the frame as the game draws it, every slot from client
// arrays (the baseline, as before the buffers), runs of chunks as the
// browser draws, the frame without mipmaps (the mipmapping setting), and the
// planning alone (the CPU work of render_scene outside GL).
#include "pinned_scenes.h"

#include "render/hud.h"
#include "render/world_texture.h"

#include <SDL.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

namespace {

double thread_cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Rig : SceneRig {
    uint32_t mipmapped_texture = 0, plain_texture = 0;
};

Rig& rig() {
    static Rig r;
    if (r.mipmapped_texture != 0) return r;
    open_rig(r);
    r.world = make_pinned_world(pinned_seeds[0], 0);
    r.mipmapped_texture = r.renderer.world_texture;
    r.plain_texture = load_world_texture("Media/worldtexture.png", false);
    return r;
}

// One frame as the main loop draws it: clear, scene, HUD, swap. Not inlined,
// so that a profiler can be told to count only inside it.
__attribute__((noinline)) void draw_frame(Rig& r) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_scene(r.renderer, *r.world, *r.game, r.models, r.screen, r.atlas, 60.0f);
    SDL_GL_SwapBuffers();
}

void frames(benchmark::State& state, WorldDraw way, bool mipmapped) {
    Rig& r = rig();
    pose_pinned_view(*r.game, static_cast<int>(state.range(0)));
    r.renderer.world_draw = way;
    r.renderer.world_texture = mipmapped ? r.mipmapped_texture : r.plain_texture;
    double main_thread_ms = 0.0;
    for (auto _ : state) {
        double start = thread_cpu_ms();
        draw_frame(r);
        main_thread_ms += thread_cpu_ms() - start;
    }
    // The calling thread's share: the game's code plus Mesa's vertex work
    // and triangle set-up; the rest of the CPU time is llvmpipe's
    // rasterizer threads.
    state.counters["main_thread_ms"] = main_thread_ms / static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
    r.renderer.world_draw = WorldDraw::slots_from_buffers;
    r.renderer.world_texture = r.mipmapped_texture;
}

// The plans of one frame, both passes, each way, without any GL call: the
// CPU work render_scene does outside GL besides issuing the draws.
void BM_PlanPasses(benchmark::State& state) {
    Rig& r = rig();
    pose_pinned_view(*r.game, static_cast<int>(state.range(0)));
    const bool runs = state.range(1) == 1;
    apply_camera(*r.game, r.screen, r.screen.field_of_view);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    const int pcx = slot_of(r.game->player_pos.x), pcz = slot_of(r.game->player_pos.z);
    const Vec3 eye = r.game->camera_pos;
    auto plan = runs ? plan_chunk_runs : plan_slot_runs;
    for (auto _ : state) {
        const SlotCulling culling = make_slot_culling(projection, modelview, true, fog_end);
        plan(culling, false, pcx, pcz, eye.x, eye.z, r.renderer.solid_plan);
        plan(culling, true, pcx, pcz, eye.x, eye.z, r.renderer.water_plan);
        benchmark::DoNotOptimize(r.renderer.solid_plan.runs);
        benchmark::DoNotOptimize(r.renderer.water_plan.runs);
    }
    state.counters["solid_calls"] = r.renderer.solid_plan.count;
    state.counters["water_calls"] = r.renderer.water_plan.count;
}

// As the game draws (slots from buffers, mipmapped), and each change of way
// or texture on its own.
const int registered = [] {
    const struct { const char* name; WorldDraw way; bool mipmapped; } variants[] = {
        {"BM_RenderScene", WorldDraw::slots_from_buffers, true},
        {"BM_RenderSceneClientArrays", WorldDraw::client_arrays, true},
        {"BM_RenderSceneChunkRuns", WorldDraw::chunk_runs, true},
        {"BM_RenderSceneNoMipmaps", WorldDraw::slots_from_buffers, false}};
    for (const auto& v : variants) {
        benchmark::RegisterBenchmark(v.name, frames, v.way, v.mipmapped)
            ->DenseRange(0, pinned_view_count - 1)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("BM_PlanPasses", BM_PlanPasses)
        ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
        ->Unit(benchmark::kMicrosecond);
    return 0;
}();

}  // namespace
