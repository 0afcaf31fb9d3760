// The real binary, timed from outside through the swap probe: start-up from
// the fork to the first buffer swap (goal: under 250 ms), and the passes of a
// running game in a 1024 x 768 window with its resident memory. Nothing is
// added to the game for this; the probe only timestamps SDL_GL_SwapBuffers.
#include "game_process.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int timeout_ms = 60000;

long long now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// User and system CPU time of a process and all its threads, in ms; with
// faults, also its minor page faults so far.
double cpu_ms(pid_t pid, double* faults = nullptr) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 10 && faults != nullptr) *faults = std::stod(field);
        if (i == 14) utime = std::stod(field);
        if (i == 15) {
            stime = std::stod(field);
            break;
        }
    }
    return (utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool start_game(GameProcess& game, int width, int height) {
    game.write_settings(settings_ini(width, height));
    if (!game.copy_media()) return false;
    game.use_swap_probe();
    return game.start();
}

// From the fork that runs the game to its first SDL_GL_SwapBuffers: settings,
// window, atlas, world texture, world generation, meshes and the first pass.
// Counter to_main_ms: the part before the game's own code (exec, dynamic
// linking, up to the probe's load).
void BM_StartupToFirstFrame(benchmark::State& state) {
    double to_main_ms = 0.0;
    for (auto _ : state) {
        GameProcess game;
        SwapLog passes(game.swap_log_path());
        const long long forked = now_ns();
        if (!start_game(game, 1024, 768) || !passes.wait_for(1, game, timeout_ms)) {
            state.SkipWithError("the game did not draw a frame");
            return;
        }
        const long long first = passes.swap_begin_ns().front();
        state.SetIterationTime(static_cast<double>(first - forked) / 1e9);
        to_main_ms += static_cast<double>(passes.load_ns() - forked) / 1e6;
        game.kill();
    }
    state.counters["to_main_ms"] = to_main_ms / static_cast<double>(state.iterations());
}

// The passes of one running game left alone in a 1024 x 768 window.
struct PassFigures {
    double median_ms = 0.0, p90_ms = 0.0, cpu_ms_per_pass = 0.0, rss_mb = 0.0, faults_per_pass = 0.0;
};

// Starts the game, lets 120 passes go by and measures the next 300. With a
// baseline binary the game is that build's quillmoor instead of this one's;
// with a seed other than 0 its world is that seed's whatever the clock says.
// False when the game did not run.
bool measure_passes(PassFigures& figures, const char* baseline_binary, unsigned seed = 0) {
    constexpr int warm_passes = 120, measured_passes = 300;
    GameProcess game;
    SwapLog passes(game.swap_log_path());
    game.write_settings(settings_ini(1024, 768));
    if (!game.copy_media()) return false;
    game.use_swap_probe();
    if (seed != 0) game.pin_seed(seed);
    if (baseline_binary != nullptr) game.use_binary(baseline_binary);
    if (!game.start() || !passes.wait_for(warm_passes, game, timeout_ms)) return false;
    double faults_before = 0.0, faults_after = 0.0;
    const double cpu_before = cpu_ms(game.pid(), &faults_before);
    const size_t first = passes.swap_begin_ns().size();
    if (!passes.wait_for(measured_passes, game, timeout_ms)) return false;
    const double cpu_after = cpu_ms(game.pid(), &faults_after);
    const long rss = game.resident_kb();
    const std::vector<long long> swaps = passes.swap_begin_ns();
    std::vector<double> lengths;
    for (size_t i = first; i + 1 < swaps.size(); ++i) {
        lengths.push_back(static_cast<double>(swaps[i + 1] - swaps[i]) / 1e6);
    }
    std::sort(lengths.begin(), lengths.end());
    figures.median_ms = lengths[lengths.size() / 2];
    figures.p90_ms = lengths[lengths.size() * 9 / 10];
    figures.cpu_ms_per_pass =
        (cpu_after - cpu_before) / static_cast<double>(swaps.size() - 1 - first);
    figures.rss_mb = static_cast<double>(rss) / 1024.0;
    figures.faults_per_pass =
        (faults_after - faults_before) / static_cast<double>(swaps.size() - 1 - first);
    game.kill();
    return true;
}

double median_of(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A running game left alone in a 1024 x 768 window: the median pass (the
// game holds every pass to at least 16 ms, so 62.5 frames a second is the
// most it shows), the game's CPU time per pass over all its threads, and its
// resident memory once running.
void BM_GamePasses1024x768(benchmark::State& state) {
    for (auto _ : state) {
        PassFigures figures;
        if (!measure_passes(figures, nullptr)) {
            state.SkipWithError("the game did not run");
            return;
        }
        state.SetIterationTime(figures.median_ms / 1e3);
        state.counters["fps"] = 1000.0 / figures.median_ms;
        state.counters["p90_ms"] = figures.p90_ms;
        state.counters["cpu_ms_per_pass"] = figures.cpu_ms_per_pass;
        state.counters["rss_mb"] = figures.rss_mb;
        state.counters["faults_per_pass"] = figures.faults_per_pass;
    }
}

// This build against another, side by side in one run: five rounds, each a
// game of either build on the same fixed-seed world (which of the two goes
// first alternates), so that load from other programs falls on both alike.
// Each round has a world of its own: seeds 1, 7, 42, 1234 and 20261206.
// Time is the median over the rounds of this build's median pass; counters
// give the baseline's and the ratio. Set $QUILL_BASELINE_BINARY to the
// quillmoor of the build to compare with, e.g. one of main built apart; the
// seed goes to both as their argument, so a build from before the game read
// it there plays the clock's world instead.
void BM_GamePassesSideBySide(benchmark::State& state) {
    const char* baseline = std::getenv("QUILL_BASELINE_BINARY");
    if (baseline == nullptr || *baseline == '\0') {
        state.SkipWithError("QUILL_BASELINE_BINARY names no binary to compare with");
        return;
    }
    constexpr int rounds = 5;
    for (auto _ : state) {
        std::vector<double> ours, theirs, our_cpu, their_cpu, our_faults, their_faults;
        const unsigned seeds[rounds] = {1, 7, 42, 1234, 20261206};
        for (int round = 0; round < rounds; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                const bool baseline_turn = (turn + round) % 2 == 1;
                PassFigures figures;
                if (!measure_passes(figures, baseline_turn ? baseline : nullptr, seeds[round])) {
                    state.SkipWithError("a game did not run");
                    return;
                }
                (baseline_turn ? theirs : ours).push_back(figures.median_ms);
                (baseline_turn ? their_cpu : our_cpu).push_back(figures.cpu_ms_per_pass);
                (baseline_turn ? their_faults : our_faults).push_back(figures.faults_per_pass);
                std::fprintf(stderr, "seed %u, %s: median pass %.1f ms, CPU %.1f ms, %.0f page faults a pass\n",
                             seeds[round], baseline_turn ? "baseline" : "this build", figures.median_ms,
                             figures.cpu_ms_per_pass, figures.faults_per_pass);
            }
        }
        state.SetIterationTime(median_of(ours) / 1e3);
        state.counters["baseline_ms"] = median_of(theirs);
        state.counters["ratio"] = median_of(ours) / median_of(theirs);
        state.counters["cpu_ms_per_pass"] = median_of(our_cpu);
        state.counters["baseline_cpu_ms_per_pass"] = median_of(their_cpu);
        state.counters["faults_per_pass"] = median_of(our_faults);
        state.counters["baseline_faults_per_pass"] = median_of(their_faults);
    }
}

}  // namespace

BENCHMARK(BM_StartupToFirstFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GamePasses1024x768)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GamePassesSideBySide)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
