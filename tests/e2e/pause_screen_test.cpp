// The pause screen of the real binary, driven through real X input: Escape
// freezes the game under the bars and the menu, "Save screenshot" writes the
// still image without them, "Resume game" brings the game back and "Exit"
// ends it with 0. Also a start without the atlas.
#include "pause_support.h"

#include <algorithm>
#include <cstdio>

using namespace pause_e2e;

TEST(PauseScreen, MenuOverStillImageSavesResumesAndExits) {
    Atlas atlas;
    ASSERT_TRUE(load_atlas(atlas));
    GameProcess game;
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_game(game, x, window));
    sleep_ms(1000);
    RgbImage running;
    ASSERT_TRUE(x.capture(window, running));
    save_png(artifact_path("pause_running.png"), running);
    EXPECT_FALSE(sprite_at(atlas, running, cx, cy)) << "pointer sprite over the running game";

    // Escape freezes the game: the pointer sprite appears, then the menu
    // slides in and comes to rest.
    RgbImage paused;
    ASSERT_TRUE(press_key_until(x, XK_Escape, [&] {
        return x.capture(window, paused) && sprite_at(atlas, paused, cx, cy);
    })) << "Escape did not freeze the game";
    ASSERT_TRUE(wait_until_still(x, window, paused));
    save_png(artifact_path("pause_menu.png"), paused);

    // Hovering "Save screenshot" lights its panel up; clicking it writes the
    // still image.
    x.move_pointer(window, cx, save_y);
    const int sample_x = cx - 130;  // inside a panel, clear of its label
    RgbImage hovered;
    ASSERT_TRUE(wait_for_picture(x, window, hovered, [&](const RgbImage& image) {
        return !near(rgb_of(image.pixel(sample_x, save_y)),
                     rgb_of(paused.pixel(sample_x, save_y)), 6);
    })) << "the hovered button did not light up";
    save_png(artifact_path("pause_hover.png"), hovered);
    Png shot;
    ASSERT_TRUE(click_until(x, window, cx, save_y,
                            [&] { return read_png(game.path("screenshot1.png"), shot); }))
        << "no screenshot1.png";
    {
        const std::string bytes = read_file(game.path("screenshot1.png"));
        std::FILE* copy = std::fopen(artifact_path("pause_screenshot1.png").c_str(), "wb");
        if (copy != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), copy);
            std::fclose(copy);
        }
    }
    ASSERT_EQ(shot.w, unsigned(width));
    ASSERT_EQ(shot.h, unsigned(height));
    EXPECT_EQ(shot.colour_type, 2);
    EXPECT_EQ(shot.bit_depth, 8);

    // The paused window is the screenshot (the still image) everywhere but
    // the bars, the menu panels and the pointer sprite...
    int differing = 0;
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            const bool covered = py < 60 || py >= height - 60 ||
                                 in_box(px, py, 150, resume_y - 27, 490, save_y + 28) ||
                                 in_box(px, py, cx - 12, cy - 10, cx + 28, cy + 50);
            if (covered || near(shot.at(px, py), rgb_of(paused.pixel(px, py)), 0)) continue;
            if (++differing <= 5) ADD_FAILURE() << "still image differs at " << px << "," << py;
        }
    }
    EXPECT_EQ(differing, 0);

    // ...and there the art lies over it: the screenshot holds none of it.
    const Rgb plain_panel = blended(atlas.at(30, 90), shot.at(sample_x, resume_y));
    EXPECT_TRUE(near(rgb_of(paused.pixel(sample_x, resume_y)), plain_panel, 3));
    const Rgb lit_panel = blended(atlas.at(90, 90), shot.at(sample_x, save_y));
    EXPECT_TRUE(near(rgb_of(hovered.pixel(sample_x, save_y)), lit_panel, 3));
    // Top bar at row 10, middle column (no text there): atlas rows 131..132.
    const Rgb under = shot.at(cx, 10);
    const Rgb bar_a = blended(atlas.at(320, 131), under);
    const Rgb bar_b = blended(atlas.at(320, 132), under);
    const Rgb got_bar = rgb_of(paused.pixel(cx, 10));
    EXPECT_TRUE(near(got_bar, bar_a, 3) || near(got_bar, bar_b, 3))
        << got_bar.r << "," << got_bar.g << "," << got_bar.b;
    EXPECT_TRUE(sprite_at(atlas, hovered, cx, save_y));
    EXPECT_FALSE(sprite_at(atlas, RgbImage{width, height, shot.rgb}, cx, cy));

    // Resume: the menu starts to slide out at the press...
    RgbImage image;
    ASSERT_TRUE(click_until(x, window, cx, resume_y, [&] {
        return x.capture(window, image) &&
               !near(rgb_of(image.pixel(sample_x, resume_y)),
                     rgb_of(hovered.pixel(sample_x, resume_y)), 2);
    })) << "Resume game did nothing";
    x.move_pointer(window, cx, cy);
    // ...and once it is gone the game runs again, without the pointer sprite.
    RgbImage resumed;
    EXPECT_TRUE(wait_for_picture(x, window, resumed, [&](const RgbImage& now) {
        return !sprite_at(atlas, now, cx, resume_y) && !sprite_at(atlas, now, cx, cy) &&
               !near(rgb_of(now.pixel(cx, 10)), got_bar, 2);
    })) << "the game did not come back";
    save_png(artifact_path("pause_resumed.png"), resumed);

    // Freeze again and leave by "Exit".
    ASSERT_TRUE(press_key_until(x, XK_Escape, [&] {
        return x.capture(window, image) && sprite_at(atlas, image, cx, cy);
    })) << "Escape did not freeze the game again";
    ASSERT_TRUE(wait_until_still(x, window, image));
    EXPECT_TRUE(click_until(x, window, cx, exit_y, [&] { return game.wait(0); }))
        << "the game did not end after Exit";
    ASSERT_TRUE(game.wait(step_timeout_ms));
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "");
}

TEST(PauseScreen, MissingOrBrokenAtlasEndsTheStartWithItsOwnCode) {
    for (const char* content : {static_cast<const char*>(nullptr), "not a picture"}) {
        GameProcess game;
        game.write_settings(settings_ini(320, 240));
        ASSERT_TRUE(game.copy_media());
        ASSERT_EQ(std::remove(game.path("Media/dashboard.png").c_str()), 0);
        if (content != nullptr) game.write_file("Media/dashboard.png", content);
        ASSERT_TRUE(game.start());
        ASSERT_TRUE(game.wait(start_timeout_ms));
        EXPECT_EQ(game.exit_code(), 4);
        const std::string err = game.stderr_text();
        EXPECT_EQ(err.rfind("quillmoor: cannot load Media/dashboard.png", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}
