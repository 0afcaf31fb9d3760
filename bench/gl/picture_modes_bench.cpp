// The world drawn as the desktop draws it (from its copies in GL buffers,
// a slot a call), or with $QUILL_RUNS set as the browser draws it (runs of
// chunks from baked copies), against every slot drawn from client arrays,
// in one process at 1024 x 768 on llvmpipe. The worlds, steps and views are
// picture_bench.cpp's. Counters: the differing pixels of the worst view and
// of all views together, out of 786,432 a view. With $QUILL_PICTURE_DIR
// set, each view's two pictures and a map of the differing pixels (white)
// are written there as PNG files.
#include "app/video.h"
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

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int width = 1024, height = 768;

std::vector<uint8_t> draw(const World& world, const Game& game, const Models& models,
                          const Screen& screen, bool buffers) {
    ViewOptions options;
    options.world_draw = buffers ? (std::getenv("QUILL_RUNS") ? WorldDraw::chunk_runs : default_world_draw) : WorldDraw::client_arrays;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_world_view(world, game, models, screen, options);
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    SDL_GL_SwapBuffers();
    return rgba;
}

void write_png(const std::string& path, std::vector<uint8_t> rgba) {
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    std::vector<uint8_t> flipped(rgba.size());  // GL's rows run bottom up
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height; ++y) std::copy_n(&rgba[(height - 1 - y) * row], row, &flipped[y * row]);
    lodepng::encode(path, flipped, width, height);
}

// The player's x, y, z, yaw and pitch, as scene_bench's views: the start
// view, along the diagonal, from above the ceiling, from a negative place
// looking up, low over the water.
constexpr float views[][5] = {{25, 10, 25, 0, 0}, {25, 6, 25, 0.785f, 0.1f}, {25, 30, 25, 2.0f, 0.7f},
                              {-37, 4, -12, -1.0f, -0.4f}, {130, 3, -260, 3.9f, 0.02f}};

void BM_PictureModesAgainstClientArrays(benchmark::State& state) {
    Screen screen;
    Settings settings{float(width), float(height), 0, false, false, false, true, float(width) / height};
    if (setup_video(settings, screen) != 0) std::abort();
    Models models = build_models();
    scale_models(models);
    const char* dir = std::getenv("QUILL_PICTURE_DIR");
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
            for (int step = 0; step < 37; ++step) {  // the water moves, and blocks fall
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
                const std::vector<uint8_t> old_way = draw(*world, *game, models, screen, false);
                draw(*world, *game, models, screen, true);  // the first sends the buffers
                const std::vector<uint8_t> new_way = draw(*world, *game, models, screen, true);
                std::vector<uint8_t> map(old_way.size(), 0);
                int differing = 0, far_apart = 0;
                for (size_t i = 0; i < old_way.size(); i += 4) {
                    if (old_way[i] == new_way[i] && old_way[i + 1] == new_way[i + 1] && old_way[i + 2] == new_way[i + 2]) continue;
                    ++differing;
                    int step = 0;
                    for (int k = 0; k < 3; ++k) step = std::max(step, std::abs(old_way[i + k] - new_way[i + k]));
                    far_apart += step > 8;
                    map[i] = map[i + 1] = map[i + 2] = 255;
                }
                std::printf("seed %u view %d: %d differing pixels, %d of them by more than 8 steps\n", seed, v,
                            differing, far_apart);
                worst = std::max(worst, differing);
                all += differing;
                if (dir != nullptr) {
                    const std::string name = std::string(dir) + "/seed" + std::to_string(seed) + "_view" + std::to_string(v);
                    write_png(name + "_client_arrays.png", old_way);
                    write_png(name + "_buffers.png", new_way);
                    write_png(name + "_differing.png", map);
                }
            }
        }
    }
    state.counters["worst_view_pixels"] = worst;
    state.counters["all_views_pixels"] = static_cast<double>(all);
    SDL_Quit();
}

}  // namespace

BENCHMARK(BM_PictureModesAgainstClientArrays)->Iterations(1)->Unit(benchmark::kMillisecond);
