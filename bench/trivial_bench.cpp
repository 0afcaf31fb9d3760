#include "sim/game.h"

#include <benchmark/benchmark.h>

static void BM_PlacePlayer(benchmark::State& state) {
    static Game game;
    for (auto _ : state) {
        place_player(game);
        benchmark::DoNotOptimize(game.player_pos);
    }
}
BENCHMARK(BM_PlacePlayer);
