// The game's own input reading, start-up and main loop in this process, in a
// scratch working directory, driven through SDL's event queue as a player's
// keys and clicks arrive. The ctest entry on sdl12-compat sets QUILL_SDL12_COMPAT.
#include "app/loop.h"
#include "app/read_input.h"
#include "render/dashboard.h"
#include "sim/vecmath.h"
#include "support/xvfb.h"
#include "world/mesh.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>

namespace fs = std::filesystem;

namespace {

[[maybe_unused]] const bool xvfb_started = start_private_xvfb();  // for every GL test of this binary

// The working directory for one test: the given settings.ini (none for
// nullptr) and, when asked, the shipped Media.
struct Scratch {
    fs::path home = fs::current_path(), dir = mkdtemp(std::string("/tmp/quill_program_XXXXXX").data());
    Scratch(const char* settings, bool media) {
        if (settings != nullptr) std::ofstream(dir / "settings.ini") << settings;
        if (media) fs::create_directory_symlink(QUILL_SOURCE_DIR "/Media", dir / "Media");
        fs::current_path(dir);
    }
    ~Scratch() { fs::current_path(home), fs::remove_all(dir); }
};

void push(Uint8 type, int code) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) e.key.keysym.sym = SDLKey(code);
    else e.button.button = Uint8(code);
    SDL_PushEvent(&e);
}

// The first pad: an axis pushed to value (-32768..32767), or a button down (1) or up (0).
void push_pad(Uint8 type, int index, int value) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_JOYAXISMOTION) e.jaxis.axis = Uint8(index), e.jaxis.value = Sint16(value);
    else e.jbutton.button = Uint8(index), e.jbutton.state = Uint8(value);
    SDL_PushEvent(&e);
}

void passes(Program& p, int n) {
    for (int i = 0; i < n; ++i) run_pass(p);
}

// The ground flat and bare, the pointer in the middle (no turning), the player landed.
void land_on_flat_ground(Program& p) {
    std::fill(&p.world.terrain_height[0][0], &p.world.terrain_height[0][0] + 2500, 2.0f);
    std::memset(p.world.block_grid, 0, sizeof p.world.block_grid);
    build_world_meshes(p.world);
    SDL_WarpMouse(320, 240);
    passes(p, 80);
}

// Down for n passes, then up for two.
void hold(Program& p, int key, int n, bool button = false) {
    push(button ? SDL_MOUSEBUTTONDOWN : SDL_KEYDOWN, key);
    passes(p, n);
    push(button ? SDL_MOUSEBUTTONUP : SDL_KEYUP, key);
    passes(p, 2);
}

}  // namespace

// Each row queues presses ('v') and releases ('^') of a key, or of a button numbered from 1000, and reads its
// state at each '.'. 'x' presses the first symbol past the key table, where a write would land on button slot 0.
TEST(Program, QueuedEventsGiveStatesPerPass) {
    const struct { int code; const char *script, *states; } table[] = {
        {key_w, "v...^.", "2110"}, {key_q, "v^.", "0"}, {key_escape, "v^v.", "0"}, {key_space, "v..^v.", "210"},
        {1000 + button_right, "v..^.", "210"}, {1000 + button_left, "v^.", "0"}, {1000, "x.", "0"}};
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    for (const auto& t : table) {
        Input input;
        const bool key = t.code < 1000;
        for (const char *s = t.script, *want = t.states; *s != '\0'; ++s) {
            const bool up = *s == '^';
            if (*s != '.') {
                push(key || *s == 'x' ? (up ? SDL_KEYUP : SDL_KEYDOWN) : (up ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN),
                     *s == 'x' ? key_table_size : key ? t.code : t.code - 1000);
                continue;
            }
            read_input(input, Screen());
            EXPECT_EQ(key ? input.key_state[t.code] : input.mouse_button_state[t.code - 1000], *want++ - '0') << t.script;
        }
    }
    SDL_Quit();
}

// Each start ends in its exit code, a failed one with one line on stderr that begins with what failed; a
// window takes the size settings.ini asks for, the desktop's where it asks for 0 or nothing.
TEST(Program, StartFollowsSettingsDisplayAndArt) {
    const bool compat = std::getenv("QUILL_SDL12_COMPAT") != nullptr;
    const std::string display = std::getenv("DISPLAY");
    const struct { const char* settings; bool media, display; int code; const char* said; int w, h, full, samples; } rows[] = {
        {"screenw = 640\nscreenh = 400\n", true, true, 0, "", 640, 400, 0, 0},
        {nullptr, true, true, 0, "", 1024, 768, 0, 0},
        {"screenw = 1024\nscreenh = 768\nfullscreen = 1\n", true, true, 0, "", 1024, 768, 1, 0},
        // sdl12-compat emulates a full-screen mode larger than the screen by scaling; classic SDL refuses it.
        {"screenw = 2048\nscreenh = 2048\nfullscreen = 1\n", true, true, compat ? 0 : 3,
         "quillmoor: cannot open a 2048x2048 full-screen OpenGL window: ", 2048, 2048, 1, 0},
        // sdl12-compat would keep the multisampling for the later windows of this process (the game opens one).
        {compat ? "screenw = 800\nscreenh = 0\n" : "screenw = 800\nscreenh = 0\nantialiasing = 1\n", true, true, 0, "",
         800, 768, 0, compat ? 0 : 4},
        {nullptr, true, false, 1, "quillmoor: cannot start SDL video: ", 0, 0, 0, 0},
        {nullptr, false, true, 4, "quillmoor: cannot load Media/dashboard.png: ", 0, 0, 0, 0}};
    for (const auto& row : rows) {
        const Scratch scratch(row.settings, row.media);
        if (!row.display) unsetenv("DISPLAY");
        auto program = std::make_unique<Program>();
        testing::internal::CaptureStderr();
        const int code = start_program(*program, 1);
        const std::string said = testing::internal::GetCapturedStderr();
        setenv("DISPLAY", display.c_str(), 1);
        EXPECT_EQ(code, row.code) << &row - rows;
        EXPECT_TRUE(code == 0 ? said.empty() : said.rfind(row.said, 0) == 0 && said.find('\n') == said.size() - 1)
            << said;
        if (code != 0) continue;
        GLint viewport[4], samples = -1;
        glGetIntegerv(GL_VIEWPORT, viewport), glGetIntegerv(GL_SAMPLES, &samples);
        const SDL_Surface* s = SDL_GetVideoSurface();
        EXPECT_EQ(std::vector<int>({s->w, s->h, viewport[2], viewport[3], int(program->screen.width),
                                    int(program->screen.height), int(program->screen.aspect_ratio * 1000),
                                    (s->flags & SDL_FULLSCREEN) != 0, samples}),
                  std::vector<int>({row.w, row.h, row.w, row.h, row.w, row.h, row.w * 1000 / row.h, row.full, row.samples}))
            << &row - rows;
        SDL_Quit();
    }
}

// Keys, buttons and a pad reach the player through the loop on flat open
// ground; the menu saves two screenshots beside a taken name, resumes and exits; closing
// the window ends the loop too. Nothing is said on stderr.
TEST(Program, ScriptedSessionThroughSdlsQueue) {
    const Scratch scratch("screenw = 640\nscreenh = 480\n", true);
    std::ofstream("screenshot1.png") << "taken";
    auto program = std::make_unique<Program>();
    Program& p = *program;
    testing::internal::CaptureStderr();
    ASSERT_EQ(start_program(p, 1), 0);
    char version[16];  // what the pause screen shows is the release's version
    format_version_text(version, sizeof version, p.titles.version_number);
    EXPECT_EQ(std::string(version), "v" QUILL_VERSION);
    land_on_flat_ground(p);

    // Forward is -z, right +x.
    const struct { SDLKey key; float x, z; } walks[] = {
        {SDLK_w, 0, -1}, {SDLK_UP, 0, -1}, {SDLK_s, 0, 1}, {SDLK_DOWN, 0, 1},
        {SDLK_a, -1, 0}, {SDLK_LEFT, -1, 0}, {SDLK_d, 1, 0}, {SDLK_RIGHT, 1, 0}};
    for (const auto& walk : walks) {
        p.game.player_vel = Vec3{};  // what the last walk left
        const Vec3 from = p.game.player_pos;
        hold(p, walk.key, 10);
        const Vec3 moved = p.game.player_pos - from;
        const float along = moved.x * walk.x + moved.z * walk.z, across = moved.x * walk.z - moved.z * walk.x;
        EXPECT_TRUE(along > 0.5f && std::fabs(across) < 0.1f * along) << walk.key << ": " << moved.x << " " << moved.z;
    }
    const float ground_y = p.game.player_pos.y;
    float top = ground_y;
    push(SDL_KEYDOWN, SDLK_SPACE);
    for (int i = 0; i < 40; ++i) run_pass(p), top = std::fmax(top, p.game.player_pos.y);
    push(SDL_KEYUP, SDLK_SPACE);
    EXPECT_GT(top - ground_y, 4.0f);
    passes(p, 60);
    hold(p, SDLK_q, 3);  // once per press, from the first action round to the last
    EXPECT_EQ(p.game.action_type, Fly);
    hold(p, SDLK_e, 3);
    EXPECT_EQ(p.game.action_type, RaiseGround);
    SDL_WarpMouse(320, 400);  // the view tilts down onto the ground
    const float ground_before = std::accumulate(&p.world.terrain_height[0][0], &p.world.terrain_height[0][0] + 2500, 0.0f);
    hold(p, SDL_BUTTON_LEFT, 10, true);
    EXPECT_GT(std::accumulate(&p.world.terrain_height[0][0], &p.world.terrain_height[0][0] + 2500, 0.0f), ground_before);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    passes(p, 2);
    EXPECT_LT(length(p.game.camera_pos - p.game.head_pos), 0.5f);  // seen from the head
    push(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);

    // The first pad's events: walking, steering, the next action, and the menu opened and resumed.
    auto hold_axis = [&](int axis, int value, int n) {
        push_pad(SDL_JOYAXISMOTION, axis, value), passes(p, n), push_pad(SDL_JOYAXISMOTION, axis, 0), passes(p, 2);
    };
    auto hold_pad_button = [&](int button, int n) {
        push_pad(SDL_JOYBUTTONDOWN, button, 1), passes(p, n), push_pad(SDL_JOYBUTTONUP, button, 0), passes(p, 2);
    };
    p.game.player_vel = Vec3{};
    const Vec3 from = p.game.player_pos;
    hold_axis(1, -32768, 10);  // the left stick forward, along -z
    EXPECT_TRUE(p.game.player_pos.z - from.z < -0.5f && std::fabs(p.game.player_pos.x - from.x) < 0.1f);
    const float yaw = p.game.player_yaw;
    hold_axis(3, 32767, 10);  // the right stick right
    const float turned = p.game.player_yaw;
    passes(p, 10);
    EXPECT_TRUE(turned - yaw > 0.2f && p.game.player_yaw == turned);  // centred, it steers nothing
    hold_pad_button(5, 3);                                             // the right shoulder
    EXPECT_EQ(p.game.action_type, LowerGround);
    hold_pad_button(7, 20);  // start
    EXPECT_EQ(p.pause.pause_fade, 100.0f);
    hold_axis(1, -32768, (400 - menu_first_button_y(p.screen, 100)) / 12);  // up onto "Resume game", 12 pixels a pass
    hold_pad_button(2, 3);
    passes(p, 22);
    EXPECT_EQ(p.pause.pause_fade, 0.0f);

    auto click = [&](int button) {  // held for three passes: one click
        SDL_WarpMouse(320, Uint16(menu_first_button_y(p.screen, 100) + menu_button_spacing * button));
        hold(p, SDL_BUTTON_LEFT, 3, true);
    };
    hold(p, SDLK_ESCAPE, 20);  // the menu slides in
    const Vec3 frozen = p.game.player_pos;
    click(2), click(2);  // Save screenshot
    EXPECT_TRUE(p.pause.pause_fade == 100 && length(p.game.player_pos - frozen) == 0.0f);
    click(0);  // Resume game
    passes(p, 22);
    EXPECT_EQ(p.pause.pause_fade, 0.0f);
    hold(p, SDLK_ESCAPE, 20);
    click(1);  // Exit
    EXPECT_TRUE(p.quit_requested);
    p.quit_requested = false;
    push(SDL_QUIT, 0);
    run_pass(p);
    EXPECT_TRUE(p.quit_requested);
    SDL_Quit();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // Each save took the first free number, sparing the name in use, as a picture of the window.
    std::vector<unsigned char> png, rgb;
    lodepng::load_file(png, "screenshot1.png");
    EXPECT_EQ(std::string(png.begin(), png.end()), "taken");
    for (const char* name : {"screenshot2.png", "screenshot3.png"}) {
        unsigned w = 0, h = 0;
        EXPECT_TRUE(lodepng::decode(rgb, w, h, name) == 0 && w == 640 && h == 480) << name;
    }
    EXPECT_FALSE(fs::exists("screenshot4.png"));
}

