// 2D layout and screenshot timings. The layout runs a few times per frame
// (HUD panels and texts); its baseline is copying the same number of quads.
// The screenshot runs inside one frozen pass. The encode's baseline is
// LodePNG's own deflate, which it replaced (goal: 30 ms at 1024 x 768); the
// row flip alone shows the share of the pass that is not encoding.
#include "app/screenshot.h"
#include "render/draw2d.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void BM_HudLayout(benchmark::State& state) {
    QuadBatch batch;
    for (auto _ : state) {
        int quads = panel_pieces(batch, 0, 20, 20, 280, 10, 0);
        benchmark::DoNotOptimize(batch.quads);
        quads += text_cells(batch, 0, "frames per second: 62.500000", 20, 15);
        benchmark::DoNotOptimize(batch.quads);
        quads += panel_pieces(batch, 0, 20, 50, 280, 10, 0);
        benchmark::DoNotOptimize(batch.quads);
        quads += text_cells(batch, 0, "actiontype_raiseground", 50, 45);
        benchmark::DoNotOptimize(batch.quads);
        benchmark::DoNotOptimize(quads);
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

// Chunk types of a PNG in order, each with its bytes unless it is IDAT,
// whose compressed bytes depend on the compressor.
std::vector<std::string> chunk_list(const std::vector<uint8_t>& png) {
    std::vector<std::string> chunks;
    if (png.size() < 8) return chunks;
    const unsigned char* end = png.data() + png.size();
    for (const unsigned char* c = png.data() + 8; c + 12 <= end; c = lodepng_chunk_next_const(c, end)) {
        char type[5];
        lodepng_chunk_type(type, c);
        std::string entry = type;
        if (entry != "IDAT") {
            entry.append(reinterpret_cast<const char*>(lodepng_chunk_data_const(c)),
                         lodepng_chunk_length(c));
        }
        chunks.push_back(entry);
        if (entry == "IEND") break;
    }
    return chunks;
}

// The screenshot encoder, or (lodepng_deflate) the one it replaced: the
// RGBA picture, a filter chosen per row and LodePNG's own deflate.
unsigned encode_with(std::vector<uint8_t>& png, const std::vector<uint8_t>& rgb, int w, int h,
                     bool lodepng_deflate) {
    png.clear();
    lodepng::State state;
    set_screenshot_encoding(state);
    if (!lodepng_deflate) {
        return lodepng::encode(png, rgb, static_cast<unsigned>(w), static_cast<unsigned>(h), state);
    }
    std::vector<uint8_t> rgba(rgb.size() / 3 * 4, 255);
    for (size_t i = 0, j = 0; i < rgb.size(); i += 3, j += 4) {
        rgba[j] = rgb[i];
        rgba[j + 1] = rgb[i + 1];
        rgba[j + 2] = rgb[i + 2];
    }
    state.info_raw.colortype = LCT_RGBA;
    state.encoder.filter_strategy = LFS_MINSUM;
    state.encoder.zlibsettings.custom_zlib = nullptr;
    // The game's deflate settings from before zlib took over.
    state.encoder.zlibsettings.btype = 2;
    state.encoder.zlibsettings.use_lz77 = 1;
    state.encoder.zlibsettings.windowsize = 2048;
    return lodepng::encode(png, rgba, static_cast<unsigned>(w), static_cast<unsigned>(h), state);
}

// Both encoders must give the same file apart from the compressed bytes:
// the same chunks in the same order (IHDR with colour type 2 and 8 bits,
// both text chunks) and the same pixels.
bool same_file_but_compression(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (chunk_list(a) != chunk_list(b)) return false;
    std::vector<uint8_t> pixels_a, pixels_b;
    unsigned wa = 0, ha = 0, wb = 0, hb = 0;
    if (lodepng::decode(pixels_a, wa, ha, a, LCT_RGB, 8) != 0) return false;
    if (lodepng::decode(pixels_b, wb, hb, b, LCT_RGB, 8) != 0) return false;
    return wa == wb && ha == hb && pixels_a == pixels_b;
}

// Arg 0: the screenshot encoder; arg 1: the one it replaced, the baseline
// (the RGBA copy it needs is made inside the timing, as the game made it).
void BM_ScreenshotEncode1024x768(benchmark::State& state) {
    const std::vector<uint8_t> image = screenshot_image(scene_like_frame(1024, 768).data(), 1024, 768);
    const bool lodepng_deflate = state.range(0) == 1;
    std::vector<uint8_t> png, other;
    encode_with(png, image, 1024, 768, lodepng_deflate);
    encode_with(other, image, 1024, 768, !lodepng_deflate);
    if (!same_file_but_compression(png, other)) {
        state.SkipWithError("the two encoders wrote different files");
        return;
    }
    for (auto _ : state) {
        encode_with(png, image, 1024, 768, lodepng_deflate);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_kB"] = static_cast<double>(png.size()) / 1000.0;
}
BENCHMARK(BM_ScreenshotEncode1024x768)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScreenshotFlipBaseline1024x768(benchmark::State& state) {
    const std::vector<uint8_t> frame = scene_like_frame(1024, 768);
    for (auto _ : state) {
        std::vector<uint8_t> image = screenshot_image(frame.data(), 1024, 768);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_ScreenshotFlipBaseline1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
