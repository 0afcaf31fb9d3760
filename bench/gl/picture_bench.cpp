// Repeatable frames of the game, for comparing two builds exactly: five
// worlds from pinned seeds, each advanced by 37 fixed steps of its water
// and falling blocks (speed 1: the clock pinned), seen from five pinned
// views, each frame drawn by render_scene with the HUD at a fixed frame rate,
// at 1024 x 768 on llvmpipe. With $QUILL_PICTURE_DIR set, every frame is
// written there as a PNG; with $QUILL_PICTURE_BASELINE naming the
// directory where another build wrote its frames, each frame is compared
// with that build's, a line a frame, and a map of the differing pixels
// (white) is written beside this build's frame. Counters: the differing
// pixels of the worst frame and of all frames, out of 786,432 a frame.
// This file uses only what the game has had for long, so that it builds in
// an older tree too.
#include "app/video.h"
#include "render/dashboard.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world/settle.h"
#include "world/water.h"

#include <SDL.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int width = 1024, height = 768;

// The player's x, y, z, yaw and pitch: the start view, along the diagonal,
// from above the ceiling, from a negative place looking up, low over the
// water far out.
constexpr float views[][5] = {{25, 10, 25, 0, 0}, {25, 6, 25, 0.785f, 0.1f}, {25, 30, 25, 2.0f, 0.7f},
                              {-37, 4, -12, -1.0f, -0.4f}, {130, 3, -260, 3.9f, 0.02f}};

// Top row first, as PNG files run.
std::vector<uint8_t> read_frame() {
    std::vector<uint8_t> rgba(size_t(width) * height * 4), flipped(rgba.size());
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height; ++y) std::copy_n(&rgba[(height - 1 - y) * row], row, &flipped[y * row]);
    for (size_t i = 3; i < flipped.size(); i += 4) flipped[i] = 255;
    return flipped;
}

void BM_PictureFrames(benchmark::State& state) {
    Screen screen;
    Settings settings{float(width), float(height), 0, false, false, false, true, float(width) / height};
    if (setup_video(settings, screen) != 0) std::abort();
    Atlas2D atlas;
    if (!load_dashboard(atlas, "Media/dashboard.png")) std::abort();
    Models models = build_models();
    scale_models(models);
    const char* dir = std::getenv("QUILL_PICTURE_DIR");
    const char* baseline = std::getenv("QUILL_PICTURE_BASELINE");
    int worst = 0;
    long all = 0;
    for (auto _ : state) {
        for (unsigned seed : {1u, 7u, 42u, 1234u, 20261206u}) {
            auto world = std::make_unique<World>();
            auto game = std::make_unique<Game>();
            init_atlas_tiles(*world, "Media/worldtexture.png", true);
            Chance chance = seeded_chance(seed);
            generate_world(*world, chance);
            build_world_meshes(*world);
            for (int step = 0; step < 37; ++step) {
                animate_water(*world, 1.0f);
                advance_falling(*world, 1.0f);
            }
            for (int v = 0; v < 5; ++v) {
                *game = Game();
                game->player_pos = {views[v][0], views[v][1], views[v][2]};
                game->player_yaw = views[v][3];
                game->player_pitch = views[v][4];
                update_game(*game, *std::make_unique<World>(), Input(), 1.0f);
                game->ball_count = 0;
                for (int pass = 0; pass < 2; ++pass) {  // the second as a running game draws it
                    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                    render_scene(*world, *game, models, screen, atlas, 60.0f);
                    if (pass == 0) SDL_GL_SwapBuffers();
                }
                const std::vector<uint8_t> frame = read_frame();
                SDL_GL_SwapBuffers();
                const std::string name = "seed" + std::to_string(seed) + "_view" + std::to_string(v);
                if (dir != nullptr) lodepng::encode(std::string(dir) + "/" + name + ".png", frame, width, height);
                if (baseline == nullptr) continue;
                std::vector<uint8_t> theirs;
                unsigned w = 0, h = 0;
                if (lodepng::decode(theirs, w, h, std::string(baseline) + "/" + name + ".png") != 0 ||
                    theirs.size() != frame.size()) {
                    state.SkipWithError("a baseline frame is missing");
                    return;
                }
                std::vector<uint8_t> map(frame.size(), 255);
                int differing = 0;
                for (size_t i = 0; i < frame.size(); i += 4) {
                    const bool same = frame[i] == theirs[i] && frame[i + 1] == theirs[i + 1] && frame[i + 2] == theirs[i + 2];
                    differing += !same;
                    map[i] = map[i + 1] = map[i + 2] = same ? 0 : 255;
                }
                std::printf("%s: %d differing pixels\n", name.c_str(), differing);
                if (dir != nullptr) lodepng::encode(std::string(dir) + "/" + name + "_differing.png", map, width, height);
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
