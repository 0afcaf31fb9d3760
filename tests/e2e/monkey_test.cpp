// Random play against the real binary: keys, buttons and pointer moves with
// the pauses and holds of a player, the pause menu opened and closed in
// every way, screenshots saved, and at the end "Exit" through the menu. The
// game must end with 0 and a silent stderr (so no sanitizer report), every
// screenshot must decode, and resident memory must stay flat after the
// first seconds.
//
// Everything is paced by the game's own passes (counted by the swap probe),
// never by the clock, so a slow build sees the same input. The run's length
// is QUILL_MONKEY_SECONDS (default 40) and its random sequence comes from
// QUILL_MONKEY_SEED (default 1): a seed replays the same input.
#include "launch.h"
#include "support/game_process.h"
#include "support/swap_log.h"
#include "support/x_client.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int width = 640, height = 480;
constexpr int timeout_ms = 60000;
// Centres of the pause menu's buttons when it is fully in.
constexpr int menu_x = width / 2, resume_y = menu_button_y(height, 0),
              exit_y = menu_button_y(height, 1), save_y = menu_button_y(height, 2);
// Passes from the one that reads Escape until the menu is fully in or out.
constexpr int slide_passes = 20;

int env_int(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// Keys the game reads, and some it ignores.
const XKeySym play_keys[] = {XK_w, XK_a, XK_s, XK_d, XK_Up, XK_Down, XK_Left, XK_Right, XK_space};
const XKeySym stray_keys[] = {XK_x,      XK_1,      XK_F1,        XK_Tab,    XK_Shift_L,
                              XK_Return, XK_KP_5,   XK_BackSpace, XK_Insert, XK_Control_R,
                              XK_z,      XK_F12,    XK_Caps_Lock, XK_Menu,   XK_period};

class Monkey {
public:
    Monkey(GameProcess& game, XClient& x, XWindowId window, const SwapLog& passes, unsigned seed)
        : game_(game), x_(x), window_(window), passes_(passes), random_(seed) {}

    int saves() const { return saves_; }
    int steps() const { return steps_; }
    int menu_openings() const { return menu_openings_; }

    // One thing a player does, picked by weight. False when the game has
    // ended or stalled.
    bool step() {
        struct Kind {
            int below;  // picked when the draw in 0..99 is under this
            const char* name;
            bool (Monkey::*act)();
        };
        static constexpr Kind kinds[] = {{25, "walk", &Monkey::walk},
                                          {40, "use action", &Monkey::use_action},
                                          {50, "look", &Monkey::look},
                                          {57, "select action", &Monkey::select_action},
                                          {62, "first person", &Monkey::first_person},
                                          {67, "stray input", &Monkey::stray_input},
                                          {80, "idle", &Monkey::idle},
                                          {100, "pause menu", &Monkey::pause_menu}};
        ++steps_;
        const int choice = pick(100);
        const Kind* kind = kinds;
        while (choice >= kind->below) ++kind;
        recent_.push_back(std::to_string(steps_) + " " + kind->name + " from pass " +
                          std::to_string(passes_.count()) + (menu_open_ ? ", menu open" : ""));
        if (recent_.size() > 12) recent_.erase(recent_.begin());
        return (this->*kind->act)();
    }

    // The last steps taken, oldest first, for a failure message.
    std::string recent_steps() const {
        std::string text;
        for (const std::string& line : recent_) text += "  " + line + "\n";
        return text;
    }

    // Once through everything a player meets early: every action used, the
    // menu opened, a screenshot saved, the game resumed. The driver makes
    // its one-time buffers then (those of the still image among them), so
    // memory measured after this has no reason to grow.
    bool warm_up() {
        x_.move_pointer(window_, width / 2, height / 2 + 40);
        for (int action = 0; action < 7; ++action) {
            if (action > 0 && !tap_key_in_passes(x_, passes_, game_, XK_e, timeout_ms)) {
                return false;
            }
            x_.button_down(1);
            const bool held = wait(5);
            x_.button_up(1);
            if (!held || !wait(2)) return false;
        }
        if (!toggle_menu() || !wait(slide_passes + 2)) return false;
        if (!click_in_passes(x_, passes_, game_, window_, menu_x, save_y, 1, timeout_ms)) {
            return false;
        }
        ++saves_;
        if (!click_in_passes(x_, passes_, game_, window_, menu_x, resume_y, 1, timeout_ms)) {
            return false;
        }
        menu_open_ = false;
        return wait(slide_passes + 2);
    }

    // Releases everything, opens the menu and clicks "Exit".
    void exit_by_menu() {
        for (XKeySym key : held_keys_) x_.key_up(key);
        held_keys_.clear();
        if (!menu_open_ && !wait(slide_passes + 2)) return;
        if (!menu_open_ && !toggle_menu()) return;
        if (!wait(slide_passes + 2)) return;
        click_in_passes(x_, passes_, game_, window_, menu_x, exit_y, 1, timeout_ms);
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    bool wait(int passes) { return passes <= 0 || passes_.wait_for(passes, game_, timeout_ms); }

    void move_anywhere() { x_.move_pointer(window_, pick(width), pick(height)); }

    // Movement keys, alone or two at a time, held for a while, sometimes
    // with a jump, the pointer drifting as the hand on the mouse does.
    bool walk() {
        if (menu_open_) return idle();
        std::vector<XKeySym> keys{play_keys[pick(9)]};
        if (pick(2) == 0) keys.push_back(play_keys[pick(9)]);
        for (XKeySym key : keys) {
            if (held_keys_.insert(key).second) x_.key_down(key);
        }
        const int hold = pick(2, 60);
        for (int done = 0; done < hold; done += 10) {
            if (pick(3) == 0) move_anywhere();
            if (!wait(std::min(10, hold - done))) return false;
        }
        for (XKeySym key : keys) {
            if (held_keys_.erase(key) != 0) x_.key_up(key);
        }
        return wait(2);
    }

    // The left button, tapped or held, at the view's centre or elsewhere:
    // whatever action is selected edits the world, swings, shoots or flies.
    bool use_action() {
        if (menu_open_) return idle();
        if (pick(2) == 0) x_.move_pointer(window_, width / 2, height / 2);
        else move_anywhere();
        x_.button_down(1);
        const bool held = wait(pick(2) == 0 ? 2 : pick(3, 90));
        x_.button_up(1);
        return held && wait(2);
    }

    // Sweeps the pointer in a few hops: the view turns with its offset from
    // the centre.
    bool look() {
        for (int hops = pick(1, 6); hops > 0; --hops) {
            move_anywhere();
            if (!wait(pick(1, 8))) return false;
        }
        return true;
    }

    // Q or E, a few times.
    bool select_action() {
        for (int taps = pick(1, 4); taps > 0; --taps) {
            if (!tap_key_in_passes(x_, passes_, game_, pick(2) == 0 ? XK_q : XK_e, timeout_ms)) {
                return false;
            }
            if (!wait(pick(1, 5))) return false;
        }
        return true;
    }

    // The right button held: the camera moves to the avatar's head.
    bool first_person() {
        x_.button_down(3);
        const bool held = wait(pick(5, 60));
        if (held && pick(2) == 0) move_anywhere();
        x_.button_up(3);
        return held && wait(2);
    }

    // Keys and buttons the game does not use, and a press and release that
    // fall between two passes (never seen).
    bool stray_input() {
        switch (pick(4)) {
        case 0:
            return tap_key_in_passes(x_, passes_, game_, stray_keys[pick(15)], timeout_ms);
        case 1:
            return click_in_passes(x_, passes_, game_, window_, pick(width), pick(height),
                                   pick(2) == 0 ? 2 : 4 + pick(2), timeout_ms);
        case 2:
            x_.tap_key(stray_keys[pick(15)], 0);
            return wait(2);
        default:
            // Usually unseen, but a pass may begin between the two: kept
            // clear of the menu's buttons.
            x_.click(window_, pick(2) == 0 ? pick(0, 140) : pick(500, width - 1), pick(height), 1, 0);
            return wait(2);
        }
    }

    // A player stopping to think.
    bool idle() { return wait(pick(1, 45)); }

    bool toggle_menu() {
        if (!tap_key_in_passes(x_, passes_, game_, XK_Escape, timeout_ms)) return false;
        menu_open_ = !menu_open_;
        if (menu_open_) ++menu_openings_;
        return true;
    }

    // Opens the menu and does one of the things a player does there; the
    // menu's buttons are only clicked once it has come fully in, so no click
    // can land on "Exit" while the buttons slide past.
    bool pause_menu() {
        if (!menu_open_) {
            if (!toggle_menu()) return false;
            // Sometimes change one's mind halfway in, and back again.
            if (pick(4) == 0) {
                if (!wait(pick(1, slide_passes - 2)) || !toggle_menu()) return false;
                if (!wait(pick(1, slide_passes - 2)) || !toggle_menu()) return false;
            }
            if (!wait(slide_passes + 2)) return false;
        }
        // Hover over the buttons a little.
        for (int hops = pick(0, 3); hops > 0; --hops) {
            x_.move_pointer(window_, menu_x + pick(-160, 160), pick(90, 240));
            if (!wait(pick(1, 10))) return false;
        }
        switch (pick(4)) {
        case 0:
        case 1:
            for (int n = pick(1, 2); n > 0; --n) {
                if (!click_in_passes(x_, passes_, game_, window_, menu_x + pick(-140, 140),
                                     save_y + pick(-6, 6), 1, timeout_ms)) {
                    return false;
                }
                ++saves_;
                if (!wait(pick(2, 10))) return false;
            }
            break;
        case 2:
            if (!click_in_passes(x_, passes_, game_, window_, menu_x + pick(-140, 140),
                                 resume_y + pick(-6, 6), 1, timeout_ms)) {
                return false;
            }
            menu_open_ = false;
            return wait(slide_passes + 2);
        default:
            break;
        }
        // Leave by Escape, or stay paused for the next step.
        if (pick(2) == 0) {
            if (!toggle_menu()) return false;
            return wait(slide_passes + 2);
        }
        return true;
    }

    GameProcess& game_;
    XClient& x_;
    XWindowId window_;
    const SwapLog& passes_;
    std::mt19937 random_;
    std::set<XKeySym> held_keys_;
    std::vector<std::string> recent_;
    bool menu_open_ = false;
    int saves_ = 0, steps_ = 0, menu_openings_ = 0;
};

}  // namespace

TEST(Monkey, RandomPlayEndsCleanlyWithFlatMemoryAndValidScreenshots) {
    const int seconds = env_int("QUILL_MONKEY_SECONDS", 40);
    const unsigned seed = static_cast<unsigned>(env_int("QUILL_MONKEY_SEED", 1));
    GameProcess game;
    game.write_settings(settings_ini(width, height));
    ASSERT_TRUE(game.copy_media());
    game.use_swap_probe();
    SwapLog passes(game.swap_log_path());
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, width, height, timeout_ms));

    using clock = std::chrono::steady_clock;
    const auto begin = clock::now();
    auto elapsed_s = [&] { return std::chrono::duration<double>(clock::now() - begin).count(); };
    std::vector<std::pair<double, long>> memory;  // (seconds, kB)
    Monkey monkey(game, x, window, passes, seed);
    ASSERT_TRUE(monkey.warm_up()) << "exit code " << game.exit_code() << ", stderr:\n"
                                  << game.stderr_text();
    const double warm_s = elapsed_s();
    bool alive = true;
    while (alive && elapsed_s() < seconds) {
        alive = monkey.step();
        memory.emplace_back(elapsed_s(), game.resident_kb());
    }
    ASSERT_TRUE(alive) << "the game ended or stalled during play; exit code " << game.exit_code()
                       << ", stderr:\n" << game.stderr_text() << "last steps:\n"
                       << monkey.recent_steps() << "passes: " << passes.count();
    monkey.exit_by_menu();
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after Exit";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");

    // Every save in a fully open menu wrote one valid picture of the window.
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(game.dir())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("screenshot", 0) != 0) continue;
        ++pictures;
        std::vector<unsigned char> rgb;
        unsigned w = 0, h = 0;
        EXPECT_EQ(lodepng::decode(rgb, w, h, entry.path().string(), LCT_RGB, 8), 0u) << name;
        EXPECT_EQ(w, unsigned(width)) << name;
        EXPECT_EQ(h, unsigned(height)) << name;
        if (pictures == 1) fs::copy_file(entry.path(), artifact_path("monkey_" + name),
                                         fs::copy_options::overwrite_existing);
    }
    EXPECT_EQ(pictures, monkey.saves());
    for (int n = 1; n <= pictures; ++n) {
        EXPECT_TRUE(fs::exists(game.path("screenshot" + std::to_string(n) + ".png"))) << n;
    }

    // Memory after the first seconds: the game makes its allocations at
    // start-up, and the driver its one-time buffers during the warm-up.
    // Resident memory is sampled from outside and bounded. The C heap in use
    // (the probe's mallinfo2 samples) shows growth of our own directly: its
    // floor, the least in use over a stretch of play, moves only with the
    // world's content (edits add and remove faces of the meshes and
    // collision lists, a few MB either way); its peaks are transient (a
    // screenshot's buffers). Memory no longer referenced is LeakSanitizer's
    // to find, in the sanitizer run of this test.
    const double settle_s = std::max(warm_s + 5.0, std::min(60.0, seconds * 0.25));
    long settled_kb = -1, peak_kb = 0;
    for (const auto& [t, kb] : memory) {
        if (t >= settle_s && settled_kb < 0) settled_kb = kb;
        if (t >= settle_s) peak_kb = std::max(peak_kb, kb);
    }
    const std::vector<HeapSample> heap = passes.heap_samples();
    const std::vector<long long> swaps = passes.swap_begin_ns();
    ASSERT_FALSE(heap.empty());
    ASSERT_FALSE(swaps.empty());
    const long long settle_ns = swaps.front() + static_cast<long long>(settle_s * 1e9);
    const long long end_ns = heap.back().ns;
    const long long quarter_ns = std::max(1LL, (end_ns - settle_ns) / 4);
    long long early_floor = -1, late_floor = -1, peak_heap = 0;
    for (const HeapSample& h : heap) {
        if (h.ns < settle_ns) continue;
        peak_heap = std::max(peak_heap, h.in_use);
        if (h.ns < settle_ns + quarter_ns && (early_floor < 0 || h.in_use < early_floor)) {
            early_floor = h.in_use;
        }
        if (h.ns >= end_ns - quarter_ns && (late_floor < 0 || h.in_use < late_floor)) {
            late_floor = h.in_use;
        }
    }
    std::printf("monkey: seed %u, %d s, %d steps, %zu passes, %d menu openings, %d screenshots\n",
                seed, seconds, monkey.steps(), swaps.size(), monkey.menu_openings(), pictures);
    std::printf("monkey: resident kB at");
    for (double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        const double at = settle_s + f * (seconds - settle_s);
        auto it = std::find_if(memory.begin(), memory.end(), [&](const auto& m) { return m.first >= at; });
        if (it == memory.end()) it = memory.end() - 1;
        std::printf(" %.0f s: %ld;", it->first, it->second);
    }
    std::printf(" peak after %.0f s: %ld\n", settle_s, peak_kb);
    std::printf("monkey: heap in use, least in the first and last quarter after %.0f s: %lld and "
                "%lld kB; peak %lld kB; malloc holds %lld kB at the end\n",
                settle_s, early_floor / 1024, late_floor / 1024, peak_heap / 1024,
                heap.back().held / 1024);
    ASSERT_GT(settled_kb, 0);
#ifndef QUILL_SANITIZED
    if (!game_is_wrapped()) {
        // Growth by a mesh every few passes would break either bound in
        // seconds.
        ASSERT_GE(early_floor, 0);
        EXPECT_LE(late_floor, early_floor + (8 << 20))
            << "the heap in use grew from " << early_floor << " to " << late_floor << " bytes";
        EXPECT_LE(peak_kb, settled_kb + std::max(16384L, settled_kb / 8))
            << "resident memory grew from " << settled_kb << " kB to " << peak_kb << " kB";
    }
#endif
}
