// Repeatable frames of the game, for comparing two builds exactly: the 25
// pinned scenes (pinned_scenes.h), each frame drawn by render_scene with the
// HUD at a fixed frame rate. With $QUILL_PICTURE_DIR set, every frame is
// written there as a PNG; with $QUILL_PICTURE_BASELINE naming the directory
// where another build wrote its frames, each frame is compared with that
// build's, a line a frame, and a map of the differing pixels (white) is
// written beside this build's frame. Counters: the differing pixels of the
// worst frame and of all frames, out of 786,432 a frame.
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

// The pixels of frame that differ from the baseline's, with their map; -1
// when the baseline has no such frame.
int compare_with_baseline(const std::vector<uint8_t>& frame, const std::string& theirs_path,
                          std::vector<uint8_t>& map) {
    std::vector<uint8_t> theirs;
    unsigned w = 0, h = 0;
    if (lodepng::decode(theirs, w, h, theirs_path) != 0 || theirs.size() != frame.size()) return -1;
    map.assign(frame.size(), 255);
    int differing = 0;
    for (size_t i = 0; i < frame.size(); i += 4) {
        const bool same = std::equal(&frame[i], &frame[i] + 3, &theirs[i]);
        differing += !same;
        map[i] = map[i + 1] = map[i + 2] = same ? 0 : 255;
    }
    return differing;
}

void BM_PictureFrames(benchmark::State& state) {
    SceneRig rig;
    open_rig(rig);
    const char* dir = std::getenv("QUILL_PICTURE_DIR");
    const char* baseline = std::getenv("QUILL_PICTURE_BASELINE");
    int worst = 0;
    long all = 0;
    for (auto _ : state) {
        for (unsigned seed : pinned_seeds) {
            rig.world = make_pinned_world(seed);
            fresh_renderer(rig);
            for (int v = 0; v < pinned_view_count; ++v) {
                pose_pinned_view(*rig.game, v);
                for (int pass = 0; pass < 2; ++pass) {  // the second as a running game draws it
                    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                    render_scene(rig.renderer, *rig.world, *rig.game, rig.models, rig.screen, rig.atlas, 60.0f);
                    if (pass == 0) SDL_GL_SwapBuffers();
                }
                const std::vector<uint8_t> frame = read_frame();
                SDL_GL_SwapBuffers();
                const std::string name = "seed" + std::to_string(seed) + "_view" + std::to_string(v);
                if (dir != nullptr) lodepng::encode(std::string(dir) + "/" + name + ".png", frame, pinned_width, pinned_height);
                if (baseline == nullptr) continue;
                std::vector<uint8_t> map;
                const int differing = compare_with_baseline(frame, std::string(baseline) + "/" + name + ".png", map);
                if (differing < 0) {
                    state.SkipWithError("a baseline frame is missing");
                    return;
                }
                std::printf("%s: %d differing pixels\n", name.c_str(), differing);
                if (dir != nullptr) lodepng::encode(std::string(dir) + "/" + name + "_differing.png", map, pinned_width, pinned_height);
                worst = std::max(worst, differing);
                all += differing;
            }
        }
    }
    state.counters["worst_frame_pixels"] = worst;
    state.counters["all_frames_pixels"] = static_cast<double>(all);
    SDL_Quit();
}

}  // namespace

BENCHMARK(BM_PictureFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
