// The scene at 1024 x 768 under Xvfb with llvmpipe: render_scene plus the
// swap, from the start camera and a few other views. The goal is 62.5 frames
// a second (16 ms of wall time). Time is wall time; CPU is the whole
// process's, llvmpipe's rasterizer threads included, so it shows the work a
// frame costs even when other programs share the cores. In the same run:
// the frame as the game draws it, the older solid pass (listed order,
// blocks before ground; the baseline), nearest first with the blocks before
// the ground, the frame without the skip of slots beyond the fog, the frame
// without mipmaps (the mipmapping setting), and the culling and ordering
// alone (the CPU work of render_scene outside GL).
#include "app/video.h"
#include "render/chunk_runs.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <SDL.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

double thread_cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct SceneRig {
    bool ready = false;
    Screen screen;
    Models models;
    Atlas2D atlas;
    std::unique_ptr<World> world;
    std::unique_ptr<Game> game;
    uint32_t mipmapped_texture = 0;
    uint32_t plain_texture = 0;
};

SceneRig& rig() {
    static SceneRig r;
    if (r.ready) return r;
    Settings settings;
    settings.screen_width = 1024;
    settings.screen_height = 768;
    settings.aspect_ratio = 1024.0f / 768.0f;
    settings.mipmapping = true;
    if (setup_video(settings, r.screen) != 0) std::abort();
    r.world = std::make_unique<World>();
    r.game = std::make_unique<Game>();
    init_atlas_tiles(*r.world, "Media/worldtexture.png", settings.mipmapping);
    r.mipmapped_texture = r.world->world_texture;
    r.plain_texture = load_world_texture("Media/worldtexture.png", false);
    if (r.mipmapped_texture == 0 || r.plain_texture == 0) {
        std::fprintf(stderr, "scene benchmarks: Media/worldtexture.png did not load\n");
        std::abort();
    }
    r.models = build_models();
    scale_models(r.models);
    Chance chance = seeded_chance(1);
    generate_world(*r.world, chance);
    build_world_meshes(*r.world);
    r.ready = true;
    return r;
}

// The views: 0 the start camera of a new game; 1 over the shoulder after the
// first update; 2 looking along the diagonal, where the window of slots
// reaches furthest; 3 looking down from above the ceiling; 4 from a negative
// position looking up the wall.
void set_view(Game& g, int view) {
    struct View {
        Vec3 player;
        float yaw, pitch;
        bool start;
    };
    const View views[] = {{{25, 10, 25}, 0.0f, 0.0f, true},
                          {{25, 10, 25}, 0.0f, 0.0f, false},
                          {{25, 6, 25}, 0.785f, 0.1f, false},
                          {{25, 30, 25}, 2.0f, 0.7f, false},
                          {{-37, 4, -12}, -1.0f, -0.4f, false}};
    const View& v = views[view];
    // The game's own update on an empty world poses the avatar and camera.
    g = Game();
    g.player_pos = v.player;
    g.player_yaw = v.yaw;
    g.player_pitch = v.pitch;
    update_game(g, *std::make_unique<World>(), Input(), 1.0f);
    if (v.start) g.camera_pos = v.player;
}

// One frame as the main loop draws it: clear, scene, HUD, swap. Not inlined,
// so that a profiler can be told to count only inside it.
__attribute__((noinline)) void draw_frame(SceneRig& r, const ViewOptions& options) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_world_view(*r.world, *r.game, r.models, r.screen, options);
    draw_hud(r.atlas, r.screen, 60.0f, r.game->action_type);
    SDL_GL_SwapBuffers();
}

void frames(benchmark::State& state, const ViewOptions& options, bool mipmapped = true) {
    SceneRig& r = rig();
    set_view(*r.game, static_cast<int>(state.range(0)));
    r.world->world_texture = mipmapped ? r.mipmapped_texture : r.plain_texture;
    double main_thread_ms = 0.0;
    for (auto _ : state) {
        double start = thread_cpu_ms();
        draw_frame(r, options);
        main_thread_ms += thread_cpu_ms() - start;
    }
    // The calling thread's share: the game's code plus Mesa's vertex work
    // and triangle set-up; the rest of the CPU time is llvmpipe's
    // rasterizer threads.
    state.counters["main_thread_ms"] = main_thread_ms / static_cast<double>(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
    r.world->world_texture = r.mipmapped_texture;
}

// As render_scene draws.
void BM_RenderScene(benchmark::State& state) { frames(state, ViewOptions()); }

// The older solid pass: slots in listed order, each slot's blocks before
// its ground.
void BM_RenderSceneListedBlocksFirst(benchmark::State& state) {
    ViewOptions options;
    options.solid_order = SlotOrder::listed;
    options.ground_first = false;
    frames(state, options);
}

// Nearest first, but each slot's blocks before its ground: what the ground
// first adds on its own.
void BM_RenderSceneBlocksFirst(benchmark::State& state) {
    ViewOptions options;
    options.ground_first = false;
    frames(state, options);
}

// The older frame: every slot in the frustum drawn, fogged black or not.
void BM_RenderSceneNoFogSkip(benchmark::State& state) {
    ViewOptions options;
    options.skip_beyond_fog = false;
    frames(state, options);
}

// Everything under the ground drawn too: the block faces and water quads
// that it hides from an eye above it.
void BM_RenderSceneWithBuried(benchmark::State& state) {
    ViewOptions options;
    options.skip_buried = false;
    frames(state, options);
}

// Every slot drawn from client arrays, as before the buffers.
void BM_RenderSceneClientArrays(benchmark::State& state) {
    ViewOptions options;
    options.world_draw = WorldDraw::client_arrays;
    frames(state, options);
}

// Runs of chunks from baked copies of the world, as the browser draws.
void BM_RenderSceneChunkRuns(benchmark::State& state) {
    ViewOptions options;
    options.world_draw = WorldDraw::chunk_runs;
    frames(state, options);
}

// The world texture without mipmaps (mipmapping = 0 in settings.ini).
void BM_RenderSceneNoMipmaps(benchmark::State& state) { frames(state, ViewOptions(), false); }

// The culling decisions of one frame, both passes, and the order of the
// solid pass (range 1: 0 listed, 1 nearest first), without any GL call: the
// CPU work render_scene does outside GL besides issuing the draws.
void BM_SlotCulling(benchmark::State& state) {
    SceneRig& r = rig();
    set_view(*r.game, static_cast<int>(state.range(0)));
    draw_world_view(*r.world, *r.game, r.models, r.screen, ViewOptions());
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    int pcx = slot_of(r.game->player_pos.x), pcz = slot_of(r.game->player_pos.z);
    SlotOrder order = state.range(1) == 0 ? SlotOrder::listed : SlotOrder::nearest_first;
    std::vector<Slot> slots(slot_window_count);
    int drawn = 0;
    for (auto _ : state) {
        SlotCulling culling = make_slot_culling(projection, modelview, true, fog_end);
        drawn = solid_slots_in_order(culling, pcx, pcz, r.game->camera_pos.x, r.game->camera_pos.z,
                                     order, slots.data());
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
                drawn += water_slot_visible(culling, cx, cz);
            }
        }
        benchmark::DoNotOptimize(drawn);
        benchmark::DoNotOptimize(slots.data());
    }
    state.counters["slots_drawn"] = drawn;
    // The runs that the browser's drawing makes of the same slots, with and
    // without the z-major order.
    const SlotCulling culling = make_slot_culling(projection, modelview, true, fog_end);
    auto plan = std::make_unique<RunPlan>();
    for (int z_major = 0; z_major < 2; ++z_major) {
        for (int water = 0; water < 2; ++water) {
            plan_chunk_runs(culling, water == 1, pcx, pcz, r.game->camera_pos.x, r.game->camera_pos.z,
                            true, z_major == 1, *plan);
            state.counters[std::string(water ? "water" : "solid") + "_runs" + (z_major ? "_z" : "")] = plan->count;
        }
    }
}

}  // namespace

BENCHMARK(BM_RenderScene)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneListedBlocksFirst)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneBlocksFirst)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneNoFogSkip)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneWithBuried)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneClientArrays)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneChunkRuns)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderSceneNoMipmaps)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SlotCulling)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);
