// The game's passes as seen by the swap probe (tests/probe/swap_probe.cpp):
// one line per buffer swap, that is one per main-loop pass. Lets a test wait
// for passes rather than for wall-clock time, so input lands in the passes
// it means to reach however slow the build or the machine:
//
//   GameProcess game;
//   game.use_swap_probe();
//   ... start ...
//   SwapLog passes(game.swap_log_path());
//   x.key_down(XK_Escape);
//   passes.wait_for(2, game, 10000);   // a pass has read the press
//   x.key_up(XK_Escape);
#pragma once

#include "support/x_client.h"

#include <string>
#include <utility>
#include <vector>

class GameProcess;

// The C heap of the game at one swap (every 60th).
struct HeapSample {
    long long ns = 0;          // CLOCK_MONOTONIC
    long long in_use = 0;      // bytes handed out by malloc
    long long held = 0;        // bytes malloc holds from the system
};

class SwapLog {
public:
    explicit SwapLog(std::string path) : path_(std::move(path)) {}

    // Swaps so far.
    int count() const;
    // Waits until n more swaps than there are now have happened, at most
    // timeout_ms; false on timeout or when the game ends first.
    bool wait_for(int n, GameProcess& game, int timeout_ms) const;

    // Nanoseconds on CLOCK_MONOTONIC at which the probe was loaded into the
    // game (0 when the log has no load line), and the begin time of every
    // swap.
    long long load_ns() const;
    std::vector<long long> swap_begin_ns() const;
    std::vector<HeapSample> heap_samples() const;

private:
    std::string path_;
    mutable long long offset_ = 0;  // bytes of whole lines counted so far
    mutable int count_ = 0;
};

// Input that spans whole passes: the press is released only after the game
// has finished a pass that began after it, and the call returns only after
// two more passes, so the press, the release and the next press of the same
// key are each read in a pass of their own (a pass that finds a release and
// a press queued together reads no press at all). True when the press was
// read; false when the game ended or stopped drawing first.
bool tap_key_in_passes(const XClient& x, const SwapLog& passes, GameProcess& game, XKeySym key,
                       int timeout_ms);
// Moves the pointer to (px, py) in the window and clicks the button likewise.
bool click_in_passes(const XClient& x, const SwapLog& passes, GameProcess& game,
                     XWindowId window, int px, int py, int button, int timeout_ms);
