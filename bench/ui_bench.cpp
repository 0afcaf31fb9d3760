// 2D layout and screenshot timings. The layout runs a few times per frame
// (HUD panels and texts); its baseline is copying the same number of quads.
// The screenshot runs inside one frozen pass; its baseline is the row flip
// alone, so the encode's share of that pass shows.
#include "app/screenshot.h"
#include "render/draw2d.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

void BM_HudLayout(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<Quad2D> a = panel_pieces(20, 20, 280, 10, 0);
        std::vector<Quad2D> b = text_cells("frames per second: 62.500000", 20, 15);
        std::vector<Quad2D> c = panel_pieces(20, 50, 280, 10, 0);
        std::vector<Quad2D> d = text_cells("actiontype_raiseground", 50, 45);
        benchmark::DoNotOptimize(a.data());
        benchmark::DoNotOptimize(b.data());
        benchmark::DoNotOptimize(c.data());
        benchmark::DoNotOptimize(d.data());
    }
}
BENCHMARK(BM_HudLayout);

void BM_HudLayoutBaselineCopy(benchmark::State& state) {
    const std::vector<Quad2D> source(51 + 28 + 51 + 22);
    for (auto _ : state) {
        std::vector<Quad2D> copy = source;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_HudLayoutBaselineCopy);

// A frame with the smooth gradients and noise of a rendered scene.
std::vector<uint8_t> scene_like_frame(int w, int h) {
    std::srand(7);
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &frame[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x / 4 + (std::rand() & 7));
            p[1] = static_cast<uint8_t>(y / 3 + (std::rand() & 7));
            p[2] = static_cast<uint8_t>((x + y) / 7);
            p[3] = 255;
        }
    }
    return frame;
}

void BM_ScreenshotEncode1024x768(benchmark::State& state) {
    const std::vector<uint8_t> frame = scene_like_frame(1024, 768);
    std::vector<uint8_t> png;
    for (auto _ : state) {
        encode_screenshot(png, screenshot_image(frame.data(), 1024, 768), 1024, 768);
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_ScreenshotEncode1024x768)->Unit(benchmark::kMillisecond);

void BM_ScreenshotFlipBaseline1024x768(benchmark::State& state) {
    const std::vector<uint8_t> frame = scene_like_frame(1024, 768);
    for (auto _ : state) {
        std::vector<uint8_t> image = screenshot_image(frame.data(), 1024, 768);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_ScreenshotFlipBaseline1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
