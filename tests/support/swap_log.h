// The game's passes as the swap probe (tests/probe/swap_probe.cpp) logs
// them, one line per buffer swap. Tests wait for passes rather than for the
// clock, so input lands in the passes it is meant for however slow the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

class GameProcess;

class SwapLog {
public:
    explicit SwapLog(std::string path) : path_(std::move(path)) {}
    int count() const;  // swaps so far
    // Waits for n more swaps than now, at most timeout_ms; false on timeout
    // or when the game ends first.
    bool wait_for(int n, GameProcess& game, int timeout_ms) const;
    // For benchmarks (bench/gl/game_measure.cpp): CLOCK_MONOTONIC ns of the
    // probe's load into the game, and the begin time of every swap.
    long long load_ns() const;
    std::vector<long long> swap_begin_ns() const;

private:
    std::string path_;
    mutable long long offset_ = 0;  // bytes of whole lines counted so far
    mutable int count_ = 0;
};
