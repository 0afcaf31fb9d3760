// The HUD of the real binary: the second line shows the selected action's
// label, and Q and E step through the labels.
#include "pause_support.h"

#include <utility>

using namespace pause_e2e;

namespace {

// Bright pixels (the glyphs) of the second HUD line's text band: the panel
// behind them is dark and mostly opaque.
std::vector<bool> label_ink(const RgbImage& image) {
    std::vector<bool> ink;
    for (int py = 45; py < 65; ++py) {
        for (int px = 20; px < 300; ++px) {
            const Rgb c = rgb_of(image.pixel(px, py));
            ink.push_back(c.r + c.g + c.b > 3 * 150);
        }
    }
    return ink;
}

// Leftmost and rightmost window column holding ink; -1 when none.
std::pair<int, int> ink_extent(const std::vector<bool>& ink) {
    int left = -1, right = -1;
    for (size_t i = 0; i < ink.size(); ++i) {
        if (!ink[i]) continue;
        const int px = 20 + static_cast<int>(i % 280);
        if (left < 0 || px < left) left = px;
        if (px > right) right = px;
    }
    return {left, right};
}

size_t ink_difference(const std::vector<bool>& a, const std::vector<bool>& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST(Hud, ActionLabelFollowsQAndE) {
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_game(game, x, window));
    sleep_ms(1000);

    // "actiontype_raiseground", 22 characters centred on x = 160: its cells
    // span 45 .. 275.
    RgbImage image;
    ASSERT_TRUE(x.capture(window, image));
    const std::vector<bool> raise = label_ink(image);
    std::pair<int, int> extent = ink_extent(raise);
    EXPECT_GE(extent.first, 45);
    EXPECT_LT(extent.first, 60);
    EXPECT_GT(extent.second, 260);
    EXPECT_LT(extent.second, 275);

    // Q steps back and wraps to "actiontype_fly", 14 characters: 85 .. 235.
    ASSERT_TRUE(press_key_until(x, XK_q, [&] {
        return x.capture(window, image) && ink_difference(label_ink(image), raise) > 100;
    })) << "Q did not change the label";
    save_png(artifact_path("hud_fly.png"), image);
    extent = ink_extent(label_ink(image));
    EXPECT_GE(extent.first, 85);
    EXPECT_LT(extent.first, 100);
    EXPECT_GT(extent.second, 220);
    EXPECT_LT(extent.second, 235);

    // E steps forward to the first label again: the same text as before.
    ASSERT_TRUE(press_key_until(x, XK_e, [&] {
        return x.capture(window, image) && ink_difference(label_ink(image), raise) < 20;
    })) << "E did not bring the first label back";
    save_png(artifact_path("hud_raise.png"), image);

    x.close_window(window);
    ASSERT_TRUE(game.wait(step_timeout_ms));
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
}
