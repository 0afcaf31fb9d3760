// Playing the real binary through real X input: turning with the pointer,
// walking, and placing and removing blocks each change the picture in a way
// the world's own motion (water, falling blocks, a player sliding down a
// slope, seekers closing in) does not.
//
// The world is random per start, so the checks lean only on what every
// world has: the player lands somewhere inside the walled box, under its
// ceiling. Turning and walking are watched at the start pitch, over the
// shoulder. Blocks are placed and removed looking straight up from the head
// (right button held, the pitch at its limit): the aim point is then the
// ceiling, a view nothing else moves, where each placed block hangs a unit
// nearer the eye and removing them opens a black hole. Looking down at the
// ground instead, a placed block is often hidden under water, overlaps the
// player and pushes the view aside, and seekers soon crowd the picture.
//
// Every effect is compared with a control: the view at rest over at least
// as long without the input. The game reads input as per-pass states and
// its passes are slow on the software renderer, so every key and button is
// held until its effect shows and released only then. Timeouts are
// generous; nothing passes or fails by speed.
#include "launch.h"
#include "support/game_process.h"
#include "support/x_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int width = 640, height = 480;
constexpr int cx = width / 2, cy = height / 2;
constexpr int start_timeout_ms = 20000;
constexpr int effect_timeout_ms = 20000;

// A rectangle of the window, compared in square cells of the given size.
struct Region {
    int left, top, right, bottom;
    int cell;
};
constexpr Region whole_view{0, 0, width, height, 16};
// The middle of the view, in finer cells.
constexpr Region middle{cx - 32, cy - 32, cx + 32, cy + 32, 4};

// The HUD's two panels cover the top-left 320 x 80 pixels.
bool in_hud(int x, int y) { return x < 320 && y < 80; }

bool is_purple(uint32_t p) {
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return r > g + 40 && b > g + 60;
}

// Whether the n x n cell at (left, top) shows any of the avatar's and the
// seekers' purple.
bool shows_purple(const RgbImage& image, int left, int top, int n) {
    for (int y = top; y < top + n; ++y) {
        for (int x = left; x < left + n; ++x) {
            if (is_purple(image.pixel(x, y))) return true;
        }
    }
    return false;
}

// Share of the cells of region, outside the HUD, whose mean colour changed
// from a to b by more than 24 in a channel. Cell means barely move with the
// water's shimmer, flickering texture edges or a slow slide; a block
// appearing or a turn of the view moves many.
//
// With scenery_only, cells where either picture shows purple are left out
// too: the avatar, and seekers, which close in on the player at any time
// and can come between the camera and the avatar.
double changed_share(const RgbImage& a, const RgbImage& b, const Region& region,
                     bool scenery_only = false) {
    const int n = region.cell;
    int counted = 0, changed = 0;
    for (int top = region.top; top + n <= region.bottom; top += n) {
        for (int left = region.left; left + n <= region.right; left += n) {
            if (in_hud(left, top)) continue;
            if (scenery_only && (shows_purple(a, left, top, n) || shows_purple(b, left, top, n))) {
                continue;
            }
            int sum_a[3] = {0, 0, 0}, sum_b[3] = {0, 0, 0};
            for (int y = top; y < top + n; ++y) {
                for (int x = left; x < left + n; ++x) {
                    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
                    for (int k = 0; k < 3; ++k) {
                        sum_a[k] += a.rgb[i + k];
                        sum_b[k] += b.rgb[i + k];
                    }
                }
            }
            ++counted;
            for (int k = 0; k < 3; ++k) {
                if (std::abs(sum_a[k] - sum_b[k]) > 24 * n * n) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return counted == 0 ? 0.0 : static_cast<double>(changed) / counted;
}

// Share of the pixels of region that show no purple in either picture and
// whose colour changed from a to b by more than 24 in a channel. A still
// view renders to the same pixels every frame, so this is 0 at rest; a
// block's face in front of the ceiling, though textured alike, shows its
// tiles at another scale and its own edges.
double changed_scenery_pixels(const RgbImage& a, const RgbImage& b, const Region& region) {
    int counted = 0, changed = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            const uint32_t pa = a.pixel(x, y), pb = b.pixel(x, y);
            if (in_hud(x, y) || is_purple(pa) || is_purple(pb)) continue;
            ++counted;
            for (int shift = 0; shift <= 16; shift += 8) {
                if (std::abs(static_cast<int>((pa >> shift) & 255) -
                             static_cast<int>((pb >> shift) & 255)) > 24) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return counted == 0 ? 0.0 : static_cast<double>(changed) / counted;
}

// Pixels of region that are black: nothing there, not even fogged.
int black_pixels(const RgbImage& image, const Region& region) {
    int black = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            if ((image.pixel(x, y) & 0xf0f0f0) == 0) ++black;
        }
    }
    return black;
}

// Pixels of region in the avatar's and the aim marker's purple.
int purple_pixels(const RgbImage& image, const Region& region) {
    int purple = 0;
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            if (is_purple(image.pixel(x, y))) ++purple;
        }
    }
    return purple;
}

// How far the scene above the horizon (the far walls and the ceiling) has
// spread out from the middle from a to b: the factor k in 0.80 .. 1.25, in
// hundredths, for which b(x, y) looks most like a at the point 1 / k as far
// from the middle. Coming closer gives k above 1. Compared on grey means of
// 4 x 4 cells, leaving out the columns of the avatar, which walks and turns
// with the view, and every cell that shows a seeker's purple.
double far_scale(const RgbImage& a, const RgbImage& b) {
    constexpr int n = 4, columns = width / n, rows = height / n;
    constexpr int top = 80 / n, bottom = cy / n, skip_left = 112 / n, skip_right = 304 / n;
    // Grey sums of the cells, -1 where a cell shows purple.
    auto grey = [](const RgbImage& image) {
        std::vector<int> g(static_cast<size_t>(columns) * rows, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t i = (static_cast<size_t>(y) * width + x) * 3;
                g[static_cast<size_t>(y / n) * columns + x / n] +=
                    image.rgb[i] + image.rgb[i + 1] + image.rgb[i + 2];
            }
        }
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                if (shows_purple(image, column * n, row * n, n)) {
                    g[static_cast<size_t>(row) * columns + column] = -1;
                }
            }
        }
        return g;
    };
    const std::vector<int> ga = grey(a), gb = grey(b);
    auto used = [&](const std::vector<int>& g, int column, int row) {
        return column >= 0 && column < columns && row >= top && row < bottom &&
               (column < skip_left || column >= skip_right) &&
               g[static_cast<size_t>(row) * columns + column] >= 0;
    };
    double best = 1.0, best_error = -1.0;
    for (int hundredths = 80; hundredths <= 125; ++hundredths) {
        const double k = hundredths / 100.0;
        double error = 0.0;
        int counted = 0;
        for (int row = top; row < bottom; ++row) {
            for (int column = 0; column < columns; ++column) {
                const int from_column = static_cast<int>(
                    std::lround(columns / 2 + (column + 0.5 - columns / 2) / k - 0.5));
                const int from_row =
                    static_cast<int>(std::lround(rows / 2 + (row + 0.5 - rows / 2) / k - 0.5));
                if (!used(gb, column, row) || !used(ga, from_column, from_row)) continue;
                error += std::abs(gb[static_cast<size_t>(row) * columns + column] -
                                  ga[static_cast<size_t>(from_row) * columns + from_column]);
                ++counted;
            }
        }
        if (counted < 1000) continue;
        error /= counted;
        if (best_error < 0.0 || error < best_error) {
            best_error = error;
            best = k;
        }
    }
    return best;
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms = effect_timeout_ms) {
    for (int waited = 0;; waited += 50) {
        if (condition()) return true;
        if (waited >= timeout_ms) return false;
        sleep_ms(50);
    }
}

bool grab(const XClient& x, XWindowId window, RgbImage& image) {
    return x.capture(window, image) && image.width == width && image.height == height;
}

int ms_since(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

void save(const RgbImage& image, const std::string& name) {
    save_png(artifact_path("play_" + name + ".png"), image);
}

// The view at rest: three captures span_ms / 2 apart, each changed from the
// one before in less than a tenth of the view, and the last changed from
// the first in less than limit of region. first and last are the first and
// last of them.
constexpr int rest_span_ms = 800;
struct Rest {
    RgbImage first, last;
};

bool wait_for_rest(const XClient& x, XWindowId window, Rest& rest,
                   const Region& region = whole_view, double limit = 0.1,
                   int span_ms = rest_span_ms, int timeout_ms = effect_timeout_ms) {
    std::vector<RgbImage> run(1);
    if (!grab(x, window, run[0])) return false;
    for (int waited = 0; waited < timeout_ms; waited += span_ms / 2) {
        sleep_ms(span_ms / 2);
        RgbImage image;
        if (!grab(x, window, image)) return false;
        if (changed_share(run.back(), image, whole_view) >= 0.1) run.clear();
        run.push_back(image);
        if (run.size() == 3) {
            if (changed_share(run.front(), run.back(), region) < limit) {
                rest.first = run.front();
                rest.last = run.back();
                return true;
            }
            run.erase(run.begin());
        }
    }
    return false;
}

// The action label's text: its white pixels inside the label's panel.
std::vector<bool> label_text(const RgbImage& image) {
    std::vector<bool> mask;
    for (int y = 40; y < 70; ++y) {
        for (int x = 12; x < 308; ++x) {
            const uint32_t p = image.pixel(x, y);
            mask.push_back(((p >> 16) & 255) > 200 && ((p >> 8) & 255) > 200 && (p & 255) > 200);
        }
    }
    return mask;
}

// Leftmost column of the label's text. The label is centred on x = 160 at
// 10 pixels a character, so a label one character shorter starts 5 pixels
// further right.
int label_left(const std::vector<bool>& mask) {
    int left = width;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i]) left = std::min(left, 12 + static_cast<int>(i % 296));
    }
    return left;
}

class Play : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.open());
        game.write_settings(settings_ini(width, height));
        ASSERT_TRUE(game.copy_media());
        // The pointer stays at the centre unless turning.
        ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, width, height, start_timeout_ms));
        // The player falls from the start point and lands.
        Rest landed;
        ASSERT_TRUE(wait_for_rest(x, window, landed)) << "the view never came to rest";
    }

    void TearDown() override {
        if (x.display() == nullptr) return;
        // Nothing stays pressed into the next test's game.
        x.key_up(XK_w);
        x.key_up(XK_d);
        x.key_up(XK_s);
        x.button_up(1);
        x.button_up(3);
        if (window != 0 && game.running()) {
            x.close_window(window);
            EXPECT_TRUE(game.wait(start_timeout_ms));
            EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
        }
    }

    // From the view at rest, holds an input (press ... release) until
    // effect(before, now) holds for a fresh capture now, and checks that the
    // view on its own does not show the effect over at least as long: not
    // over the rest before, nor, when the effect took longer than that, over
    // as long a time once the view has come to rest again. Saves the
    // pictures before and after and leaves the last one in after.
    using Effect = std::function<bool(const RgbImage& before, const RgbImage& now)>;
    void expect_effect(const std::string& what, const std::function<void()>& press,
                       const std::function<void()>& release, const Effect& effect,
                       const Rest& rest, RgbImage& after) {
        EXPECT_FALSE(effect(rest.first, rest.last)) << what << ": the view does it on its own";
        int elapsed_ms = 0;
        ASSERT_TRUE(show_effect(what, press, release, effect, rest, after, effect_timeout_ms,
                                elapsed_ms))
            << what << " did not show";
        ASSERT_NO_FATAL_FAILURE(expect_no_effect_alone(what, effect, elapsed_ms));
    }

    // The first half of expect_effect: holds the input until the effect
    // shows or timeout_ms passes, saves the pictures, and returns whether
    // it showed and after how long.
    bool show_effect(const std::string& what, const std::function<void()>& press,
                     const std::function<void()>& release, const Effect& effect,
                     const Rest& rest, RgbImage& after, int timeout_ms, int& elapsed_ms) {
        press();
        const auto pressed = std::chrono::steady_clock::now();
        const bool seen = wait_until(
            [&] { return grab(x, window, after) && effect(rest.last, after); }, timeout_ms);
        elapsed_ms = ms_since(pressed);
        release();
        save(rest.last, what + "_before");
        save(after, what + "_after");
        return seen;
    }

    // The second half: an effect that took longer than the rest before it
    // must not show on its own over as long, once the view rests again.
    void expect_no_effect_alone(const std::string& what, const Effect& effect, int elapsed_ms) {
        if (elapsed_ms <= rest_span_ms) return;
        Rest calm;
        ASSERT_TRUE(wait_for_rest(x, window, calm)) << what << ": the view never came to rest";
        sleep_ms(elapsed_ms - rest_span_ms);
        ASSERT_TRUE(grab(x, window, calm.last));
        EXPECT_FALSE(effect(calm.first, calm.last)) << what << ": the view does it on its own";
    }

    // Holds a key until the action label changes; returns the new label.
    std::vector<bool> next_label(XKeySym key, const std::vector<bool>& label) {
        RgbImage image;
        std::vector<bool> now = label;
        x.key_down(key);
        const bool seen = wait_until([&] {
            if (!grab(x, window, image)) return false;
            now = label_text(image);
            return now != label;
        });
        x.key_up(key);
        EXPECT_TRUE(seen) << "the action label did not change";
        // Leave a few passes before the next press of the same key.
        sleep_ms(250);
        return now;
    }

    // Tilts the view to its limit: rests the pointer on the top or bottom
    // row until the view has changed and come to rest. The pointer stays
    // there, holding the pitch at the limit; its column is the centre's, so
    // the view does not turn.
    void tilt_to_limit(int py, const char* what) {
        RgbImage before, image;
        ASSERT_TRUE(grab(x, window, before));
        x.move_pointer(window, cx, py);
        ASSERT_TRUE(wait_until([&] {
            return grab(x, window, image) && changed_share(before, image, whole_view) >= 0.3;
        })) << what << ": the view did not tilt";
        Rest tilted;
        ASSERT_TRUE(wait_for_rest(x, window, tilted)) << what << ": the view never came to rest";
    }

    GameProcess game;
    XClient x;
    XWindowId window = 0;
};

// The pointer right of the centre turns the view; left of it, the view turns
// back to where it was; at the exact centre it stops.
TEST_F(Play, PointerOffTheCentreTurnsTheViewEitherWayAndAtTheCentreNot) {
    Rest rest;
    ASSERT_TRUE(wait_for_rest(x, window, rest, whole_view, 0.05));
    RgbImage turned;
    ASSERT_NO_FATAL_FAILURE(expect_effect(
        "turn", [&] { x.move_pointer(window, cx + 120, cy); },
        [&] { x.move_pointer(window, cx, cy); },
        [](const RgbImage& a, const RgbImage& b) { return changed_share(a, b, whole_view) >= 0.3; },
        rest, turned));
    // A slower turn the other way comes back past the start: the scenery
    // matches the view at rest again, whatever seekers have come near.
    RgbImage back;
    x.move_pointer(window, cx - 40, cy);
    const bool returned = wait_until([&] {
        return grab(x, window, back) && changed_share(rest.last, back, whole_view, true) < 0.1;
    });
    x.move_pointer(window, cx, cy);
    save(back, "turn_back");
    EXPECT_TRUE(returned) << "turning the other way did not bring the view back";
    Rest stopped;
    EXPECT_TRUE(wait_for_rest(x, window, stopped, whole_view, 0.05)) << "the view kept turning";
}

// Walking forward brings the far walls and the ceiling nearer: the scene
// above the horizon spreads out from the middle. A block, or the bank of a
// pool, can stand right in the player's way, too high to climb; when W
// brings nothing nearer, walking back (S) must take the scene further away.
TEST_F(Play, HoldingWMovesTheViewForward) {
    Rest rest;
    ASSERT_TRUE(wait_for_rest(x, window, rest, whole_view, 0.05));
    const Effect nearer = [](const RgbImage& a, const RgbImage& b) {
        return far_scale(a, b) >= 1.04;
    };
    const Effect further = [](const RgbImage& a, const RgbImage& b) {
        return far_scale(a, b) <= 0.96;
    };
    EXPECT_FALSE(nearer(rest.first, rest.last)) << "walk: the view does it on its own";
    RgbImage after;
    int elapsed_ms = 0;
    if (show_effect(
            "walk", [&] { x.key_down(XK_w); }, [&] { x.key_up(XK_w); }, nearer, rest, after,
            effect_timeout_ms / 2, elapsed_ms)) {
        EXPECT_NO_FATAL_FAILURE(expect_no_effect_alone("walk", nearer, elapsed_ms));
        return;
    }
    Rest blocked;
    ASSERT_TRUE(wait_for_rest(x, window, blocked, whole_view, 0.05));
    ASSERT_NO_FATAL_FAILURE(expect_effect(
        "walk_back", [&] { x.key_down(XK_s); }, [&] { x.key_up(XK_s); }, further, blocked,
        after));
}

// Looking straight up from the head, each block placed hangs under the one
// aimed at, a unit nearer the eye: the aim marker on it grows, and a column
// grows towards the eye. Holding the button with RemoveBlock digs the
// column away and the ceiling block above it: a black hole opens at the
// centre.
//
// The column is built above the eye, so the eye must stay under it:
// - The player lands at x = z = 25, on the corner of four columns, where a
//   ray straight up runs along the columns' edges and rounding decides
//   which column a block goes into. A short diagonal step (W with D) first
//   takes the eye off the corner.
// - The ground is sloped almost everywhere, and a player can take a quarter
//   of a minute to slide to the foot of a slope, too slowly for a short
//   look to see. Before the first block the ceiling view must hold still
//   for seconds, where a slide shifts the ceiling's joints across the
//   middle of the view.
// - Each block is judged against the view just before its click, so a
//   block that starts a new column after all still counts.
TEST_F(Play, PlacingBlocksUnderTheCeilingAndRemovingThemChangeTheCentreOfTheView) {
    RgbImage landed, stepped;
    ASSERT_TRUE(grab(x, window, landed));
    x.key_down(XK_w);
    x.key_down(XK_d);
    const bool moved = wait_until(
        [&] { return grab(x, window, stepped) && changed_share(landed, stepped, whole_view) >= 0.1; });
    x.key_up(XK_w);
    x.key_up(XK_d);
    ASSERT_TRUE(moved) << "W with D did not move the view";
    Rest after_step;
    ASSERT_TRUE(wait_for_rest(x, window, after_step)) << "the view never came to rest after the step";

    x.button_down(3);
    ASSERT_NO_FATAL_FAILURE(tilt_to_limit(0, "looking up"));

    // E twice: RaiseGround, LowerGround, SpawnBlock.
    RgbImage image;
    ASSERT_TRUE(grab(x, window, image));
    const std::vector<bool> raise = label_text(image);
    const std::vector<bool> lower = next_label(XK_e, raise);
    const std::vector<bool> spawn = next_label(XK_e, lower);
    EXPECT_EQ(label_left(lower), label_left(raise));
    EXPECT_EQ(label_left(spawn), label_left(raise) + 5);

    // The ceiling view holds still: nothing but the input changes it.
    Rest rest;
    ASSERT_TRUE(wait_for_rest(x, window, rest, middle, 0.01, 4000, 60000))
        << "the ceiling view never rested";
    ASSERT_GT(purple_pixels(rest.last, middle), 0) << "no aim marker";
    // Six blocks, about a third of the way to the eye, each seen to bring
    // the aimed surface nearer.
    constexpr int column_blocks = 6;
    RgbImage now = rest.last;
    for (int block = 1; block <= column_blocks; ++block) {
        sleep_ms(250);
        RgbImage last;
        ASSERT_TRUE(grab(x, window, last));
        const int before = purple_pixels(last, middle);
        x.button_down(1);
        const bool nearer =
            wait_until([&] { return grab(x, window, now) && purple_pixels(now, middle) > before; });
        x.button_up(1);
        if (!nearer) {
            save(last, "place_stuck_before");
            save(now, "place_stuck_after");
        }
        ASSERT_TRUE(nearer) << "block " << block << " did not bring the aim nearer";
    }
    // The column stays: the marker on its end keeps its size (the hands at
    // the edges of the middle may still turn a little towards it).
    const int placed_marker = purple_pixels(now, middle);
    Rest placed;
    ASSERT_TRUE(wait_for_rest(x, window, placed, middle, 0.01));
    save(rest.last, "place_before");
    save(placed.last, "place_after");
    EXPECT_GE(purple_pixels(placed.last, middle), placed_marker * 9 / 10)
        << "the column did not stay";
    // The column's end is drawn, not only aimed at: the marker and the
    // hands, which turn towards it, are left out.
    EXPECT_GE(changed_scenery_pixels(rest.last, placed.last, middle), 0.03);

    // E: RemoveBlock.
    const std::vector<bool> remove = next_label(XK_e, spawn);
    EXPECT_EQ(label_left(remove), label_left(raise));
    EXPECT_NE(remove, raise);
    ASSERT_TRUE(wait_for_rest(x, window, rest, middle, 0.01));
    RgbImage after;
    ASSERT_NO_FATAL_FAILURE(expect_effect(
        "remove", [&] { x.button_down(1); }, [&] { x.button_up(1); },
        [](const RgbImage&, const RgbImage& b) { return black_pixels(b, middle) >= 200; }, rest,
        after));
    x.button_up(3);
}

}  // namespace
