// The real binary against hostile files and places: broken or unusual art,
// settings files no editor writes, a settings "file" that is a directory,
// and a working directory it may not write to. Each has one defined outcome
// and none may crash the game or draw a sanitizer report.
#include "launch.h"
#include "support/game_process.h"
#include "support/hostile_files.h"
#include "support/swap_log.h"
#include "support/x_client.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Generous: sanitizer builds on a busy machine start slowly.
constexpr int timeout_ms = 30000;

// Centres of the pause menu's buttons in a 640 x 480 window, fully in.
constexpr int menu_x = 320, resume_y = menu_button_y(480, 0), exit_y = menu_button_y(480, 1),
              save_y = menu_button_y(480, 2);

std::string shipped(const char* name) {
    return read_file(std::string(QUILL_SOURCE_DIR) + "/Media/" + name);
}

// Every line of stderr is one of libpng's own complaints about a broken file
// (SDL_image lets libpng print them), or one of the allowed prefixes; so no
// sanitizer report and no other message.
::testing::AssertionResult only_expected_lines(const std::string& text,
                                               const std::string& allowed_prefix = "") {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("libpng ", 0) == 0) continue;
        if (!allowed_prefix.empty() && line.rfind(allowed_prefix, 0) == 0) continue;
        return ::testing::AssertionFailure() << "unexpected stderr line: " << line << "\nstderr:\n"
                                             << text;
    }
    return ::testing::AssertionSuccess();
}

void close_and_expect_clean_exit(GameProcess& game, XClient& x, XWindowId window) {
    ASSERT_TRUE(x.close_window(window));
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after the close request";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
    EXPECT_TRUE(only_expected_lines(game.stderr_text()));
}

// Opens the pause menu and waits until it has fully come in: 20 passes from
// the one that read Escape.
void open_menu(const XClient& x, const SwapLog& passes, GameProcess& game) {
    ASSERT_TRUE(tap_key_in_passes(x, passes, game, XK_Escape, timeout_ms));
    ASSERT_TRUE(passes.wait_for(22, game, timeout_ms));
}

void click_menu(const XClient& x, const SwapLog& passes, GameProcess& game, XWindowId window,
                int button_y) {
    ASSERT_TRUE(click_in_passes(x, passes, game, window, menu_x, button_y, 1, timeout_ms));
}

void exit_by_menu(const XClient& x, const SwapLog& passes, GameProcess& game, XWindowId window) {
    open_menu(x, passes, game);
    // The pass that reads the click is the last: no second swap to wait for.
    click_in_passes(x, passes, game, window, menu_x, exit_y, 1, timeout_ms);
    ASSERT_TRUE(game.wait(timeout_ms)) << "the game did not end after Exit";
    EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
}

// A game in a 320 x 240 window whose Media/<name> is the hostile file: left
// out when it is "missing", a directory when it is "a directory", else its
// bytes.
void replace_art(GameProcess& game, const std::string& name, const HostileFile& file) {
    game.write_settings(settings_ini(320, 240));
    ASSERT_TRUE(game.copy_media());
    const std::string path = game.path("Media/" + name);
    fs::remove(path);
    if (file.name == "a directory") fs::create_directory(path);
    else if (file.name != "missing") game.write_file("Media/" + name, file.bytes);
}

std::vector<std::string> screenshots_in(const std::string& dir) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("screenshot", 0) == 0) found.push_back(name);
    }
    return found;
}

}  // namespace

// A world texture that cannot be read leaves the world untextured; the game
// starts, draws and ends normally.
TEST(HostileInput, BrokenWorldTextureLeavesTheWorldUntextured) {
    XClient x;
    ASSERT_TRUE(x.open());
    std::vector<HostileFile> files = unusable_pngs(shipped("worldtexture.png"));
    files.push_back({"missing", ""});
    files.push_back({"a directory", ""});
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        GameProcess game;
        ASSERT_NO_FATAL_FAILURE(replace_art(game, "worldtexture.png", file));
        XWindowId window = 0;
        ASSERT_NO_FATAL_FAILURE(start_until_drawn(game, x, window, timeout_ms));
        close_and_expect_clean_exit(game, x, window);
    }
}

// Without a usable 2D atlas the game cannot draw its pause screen: the start
// ends with exit code 4 and one line naming the file and SDL's reason.
TEST(HostileInput, BrokenDashboardEndsTheStartWithFour) {
    std::vector<HostileFile> files = unusable_pngs(shipped("dashboard.png"));
    files.push_back({"a directory", ""});
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        GameProcess game;
        ASSERT_NO_FATAL_FAILURE(replace_art(game, "dashboard.png", file));
        ASSERT_TRUE(game.start());
        ASSERT_TRUE(game.wait(timeout_ms));
        EXPECT_EQ(game.exit_code(), 4);
        const std::string err = game.stderr_text();
        const std::string reason = "quillmoor: cannot load Media/dashboard.png: ";
        EXPECT_NE(err.find(reason), std::string::npos) << err;
        EXPECT_EQ(err.find(reason), err.rfind(reason)) << "said more than once:\n" << err;
        EXPECT_TRUE(only_expected_lines(err, reason));
    }
}

// Valid art in forms the loaders convert: a palette world texture and a
// dashboard with 16 bits per channel. The game runs, pauses over its
// dashboard and leaves by "Exit".
TEST(HostileInput, PaletteAndSixteenBitArtServe) {
    RgbaPicture dashboard;
    ASSERT_TRUE(decode_png(shipped("dashboard.png"), dashboard));
    GameProcess game;
    game.write_settings(settings_ini(640, 480));
    ASSERT_TRUE(game.copy_media());
    game.write_file("Media/worldtexture.png", encode_png(few_colour_picture(256, 256), 3, 8));
    game.write_file("Media/dashboard.png", encode_png(dashboard, 6, 16));
    game.use_swap_probe();
    SwapLog passes(game.swap_log_path());
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, 640, 480, timeout_ms));
    exit_by_menu(x, passes, game, window);
    EXPECT_TRUE(only_expected_lines(game.stderr_text()));
}

// Settings files no editor writes: what the reader takes from them shows in
// the window's size.
TEST(HostileInput, HostileSettingsFilesGiveTheirDefinedSize) {
    XClient x;
    ASSERT_TRUE(x.open());
    const std::string head = "screenw = 320\nscreenh = 240\n";
    struct Case {
        const char* name;
        std::string text;
        bool directory;
        int width, height;  // 0: the desktop's
    };
    const std::vector<Case> cases = {
        {"random bytes after two good lines", binary_settings(head, 7), false, 320, 240},
        {"random bytes only", binary_settings("", 11), false, 0, 0},
        // The reading stops at the long line: the tail is never seen.
        {"a line of a megabyte", long_line_settings(head, "screenw = 500\nscreenh = 400\n"), false,
         320, 240},
        {"10,000 lines", many_line_settings(head), false, 320, 240},
        {"a directory", "", true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameProcess game;
        ASSERT_TRUE(game.copy_media());
        if (c.directory) fs::create_directory(game.path("settings.ini"));
        else game.write_settings(c.text);
        XWindowId window = 0;
        ASSERT_NO_FATAL_FAILURE(start_until_drawn(game, x, window, timeout_ms));
        WindowBox box;
        ASSERT_TRUE(x.window_box(window, box));
        EXPECT_EQ(box.width, c.width != 0 ? c.width : x.screen_width());
        EXPECT_EQ(box.height, c.height != 0 ? c.height : x.screen_height());
        close_and_expect_clean_exit(game, x, window);
    }
}

// "Save screenshot" in a working directory the game may not write to writes
// nothing, says nothing, and the game carries on: it resumes, pauses again
// and leaves by "Exit" with 0.
TEST(HostileInput, ScreenshotInReadOnlyDirectoryWritesNothingAndTheGameCarriesOn) {
    GameProcess game;
    game.write_settings(settings_ini(640, 480));
    ASSERT_TRUE(game.copy_media());
    game.use_swap_probe();
    game.make_read_only();
    SwapLog passes(game.swap_log_path());
    XClient x;
    ASSERT_TRUE(x.open());
    XWindowId window = 0;
    ASSERT_NO_FATAL_FAILURE(start_centred(game, x, window, 640, 480, timeout_ms));

    open_menu(x, passes, game);
    RgbImage paused;
    ASSERT_TRUE(x.capture(window, paused));
    for (int i = 0; i < 2; ++i) click_menu(x, passes, game, window, save_y);
    ASSERT_TRUE(passes.wait_for(2, game, timeout_ms));
    EXPECT_TRUE(screenshots_in(game.dir()).empty());

    // Resume: once the bars have slid away the running game shows again.
    click_menu(x, passes, game, window, resume_y);
    x.move_pointer(window, 320, 240);
    ASSERT_TRUE(passes.wait_for(25, game, timeout_ms));
    RgbImage resumed;
    ASSERT_TRUE(x.capture(window, resumed));
    bool bar_gone = false;
    for (int px = 0; px < 400 && !bar_gone; ++px) bar_gone = resumed.pixel(px, 10) != paused.pixel(px, 10);
    EXPECT_TRUE(bar_gone) << "the game did not resume";

    exit_by_menu(x, passes, game, window);
    EXPECT_EQ(game.stderr_text(), "");
    EXPECT_TRUE(screenshots_in(game.dir()).empty());
}
