// The world drawn from its copies in GL buffers, a slot a call as the
// desktop draws it and a run of chunks a call as the browser does, against
// every slot drawn from client arrays, in one process: the pinned scenes
// (pinned_scenes.h) without the HUD. Counters: for each way, the differing
// pixels of the worst view and of all views together, out of 786,432 a view.
// With $QUILL_PICTURE_DIR set, each view's pictures and maps of the
// differing pixels (white) are written there as PNG files.
#include "pinned_scenes.h"

#include <SDL.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::vector<uint8_t> draw(SceneRig& rig, WorldDraw way) {
    rig.renderer.world_draw = way;
    for (int pass = 0; pass < 2; ++pass) {  // the first sends the copies
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(rig.renderer, *rig.world, *rig.game, rig.models, rig.screen);
    }
    std::vector<uint8_t> frame = read_frame();
    SDL_GL_SwapBuffers();
    return frame;
}

void BM_PictureModesAgainstClientArrays(benchmark::State& state) {
    SceneRig rig;
    open_rig(rig);
    const char* dir = std::getenv("QUILL_PICTURE_DIR");
    const struct { WorldDraw way; const char* name; } ways[] = {{WorldDraw::slots_from_buffers, "slots"},
                                                                 {WorldDraw::chunk_runs, "runs"}};
    int worst[2] = {};
    long all[2] = {};
    for (auto _ : state) {
        for (unsigned seed : pinned_seeds) {
            rig.world = make_pinned_world(seed);
            fresh_renderer(rig);
            for (int v = 0; v < pinned_view_count; ++v) {
                pose_pinned_view(*rig.game, v);
                const std::vector<uint8_t> old_way = draw(rig, WorldDraw::client_arrays);
                const std::string name = "seed" + std::to_string(seed) + "_view" + std::to_string(v);
                if (dir != nullptr) lodepng::encode(std::string(dir) + "/" + name + "_client_arrays.png", old_way, pinned_width, pinned_height);
                for (int w = 0; w < 2; ++w) {
                    const std::vector<uint8_t> new_way = draw(rig, ways[w].way);
                    std::vector<uint8_t> map(old_way.size(), 255);
                    int differing = 0, far_apart = 0;
                    for (size_t i = 0; i < old_way.size(); i += 4) {
                        int step = 0;
                        for (int k = 0; k < 3; ++k) step = std::max(step, std::abs(old_way[i + k] - new_way[i + k]));
                        differing += step > 0, far_apart += step > 8;
                        map[i] = map[i + 1] = map[i + 2] = step > 0 ? 255 : 0;
                    }
                    std::printf("%s %s: %d differing pixels, %d of them by more than 8 steps\n", name.c_str(),
                                ways[w].name, differing, far_apart);
                    worst[w] = std::max(worst[w], differing);
                    all[w] += differing;
                    if (dir == nullptr) continue;
                    const std::string base = std::string(dir) + "/" + name + "_" + ways[w].name;
                    lodepng::encode(base + ".png", new_way, pinned_width, pinned_height);
                    lodepng::encode(base + "_differing.png", map, pinned_width, pinned_height);
                }
            }
        }
    }
    for (int w = 0; w < 2; ++w) {
        state.counters[std::string(ways[w].name) + "_worst_view_pixels"] = worst[w];
        state.counters[std::string(ways[w].name) + "_all_views_pixels"] = static_cast<double>(all[w]);
    }
    SDL_Quit();
}

}  // namespace

BENCHMARK(BM_PictureModesAgainstClientArrays)->Iterations(1)->Unit(benchmark::kMillisecond);
