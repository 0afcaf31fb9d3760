// What a player sees, drawn by the real drawing code into the back buffer:
// every element shows where its layout or the camera puts it, textured. The
// checks are coarse on purpose (ink inside a rectangle and none outside it,
// a texture's hue and variation) so that they hold for any sound drawing.
#include "app/pause.h"
#include "gl_support.h"
#include "render/dashboard.h"
#include "render/entities.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "sim/vecmath.h"
#include "world/mesh.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

struct Rect {
    int x, y, w, h;  // window pixels, y down
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Where a text's glyph cells lie: 20 high, the first 5 left of the pen, 10 apart.
Rect text_rect(const char* text, int pen_x, int pen_y) { return {pen_x - 5, pen_y, 10 * int(std::strlen(text)) + 10, 20}; }
// A panel or button around its inner rectangle, with the 20-pixel border.
Rect framed(int x, int y, int w, int h) { return {x - 20, y - 20, w + 40, h + 40}; }

struct Frame {
    std::vector<uint8_t> rgba = read_pixels(0, 0);
    const uint8_t* at(int x, int y) const { return &rgba[size_t((479 - y) * 640 + x) * 4]; }
    bool inked(int x, int y) const { return at(x, y)[0] + at(x, y)[1] + at(x, y)[2] > 0; }
    // The atlas font's white fill (the pointer's too): nothing else in the atlas is this bright.
    bool bright(int x, int y) const { return std::min({at(x, y)[0], at(x, y)[1], at(x, y)[2]}) >= 240; }
    int count(const Rect& r, bool (Frame::*test)(int, int) const) const {
        int n = 0;
        for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, 480); ++y)
            for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, 640); ++x) n += (this->*test)(x, y);
        return n;
    }
};

// Every ink pixel lies in one of the boxes and every box is nearly all ink; the bright glyph ink lies only in
// the texts' cells, and each text has some in every character's cell.
void expect_layout(const Frame& f, const std::vector<Rect>& boxes, const std::vector<std::pair<Rect, int>>& texts) {
    int stray_ink = 0, stray_glyphs = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            auto in = [&](const Rect& r) { return r.holds(x, y); };
            stray_ink += f.inked(x, y) && std::none_of(boxes.begin(), boxes.end(), in);
            stray_glyphs += f.bright(x, y) && std::none_of(texts.begin(), texts.end(), [&](auto& t) { return in(t.first); });
        }
    EXPECT_EQ(stray_ink, 0);
    EXPECT_EQ(stray_glyphs, 0);
    for (const Rect& b : boxes) EXPECT_GT(f.count(b, &Frame::inked), b.w * b.h / 2) << b.x << "," << b.y;
    for (const auto& [r, chars] : texts) EXPECT_GT(f.count(r, &Frame::bright), 8 * chars) << r.x << "," << r.y;
}

struct Picture : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(load_dashboard(atlas, "Media/dashboard.png"));
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    Atlas2D atlas;
};

}  // namespace

// The two HUD lines, each in its panel in the top-left corner.
TEST_F(Picture, HudShowsBothLinesInTheirPanels) {
    draw_hud(atlas, screen, 62.5f, Swing);
    const char* fps = "frames per second: 62.500000";
    expect_layout(Frame(), {framed(20, 20, 280, 10), framed(20, 50, 280, 10)},
                  {{text_rect(fps, centred_pen_x(160, 28), 15), 27}, {text_rect("actiontype_swing", 85, 45), 16}});
}

// The pause screen: both bars with their texts, the three buttons with their labels, and the pointer.
TEST_F(Picture, PauseScreenShowsBarsButtonsAndPointer) {
    PauseState pause;
    pause.pause_fade = 100;
    Input input;
    input.mouse_x = 100, input.mouse_y = 400;
    bool quit = false;
    draw_dashboard(atlas, screen, 100, "Quillmoor", 0.1f, "Monday December 7th 2026", "6:05:07 PM");
    draw_pause_menu(pause, input, atlas, screen, quit);
    draw_cursor(atlas, screen, input.mouse_x, input.mouse_y);
    const DashboardLayout l = dashboard_layout(screen, 100, "Monday December 7th 2026", "6:05:07 PM");
    std::vector<Rect> boxes{{0, 0, 640, 60}, {0, 420, 640, 60}, {88, 390, 40, 60}};
    std::vector<std::pair<Rect, int>> texts{
        {text_rect("Quillmoor", l.title_x, l.title_y), 9}, {text_rect("v0.1", l.version_x, l.version_y), 4},
        {text_rect("Monday December 7th 2026", l.date_x, l.date_y), 21},
        {text_rect("6:05:07 PM", l.clock_x, l.clock_y), 9},
        {text_rect(footer_text_2, l.footer2_x, l.footer2_y), 21}, {boxes[2], 1}};
    int y = menu_first_button_y(screen, 100);
    for (const char* label : {"Resume game", "Exit", "Save screenshot"}) {
        const ButtonRect b = button_rect(320, y, menu_button_width, menu_button_height, true);
        int pen_x, pen_y;
        button_label_pen(b, label, pen_x, pen_y);
        boxes.push_back(framed(b.left, b.top, b.width, b.height));
        texts.push_back({text_rect(label, pen_x, pen_y), int(std::strlen(label)) - 1});
        y += menu_button_spacing;
    }
    expect_layout(Frame(), boxes, texts);
}

namespace {

// A world of our own: ground 3 high with a pond, one block column, one falling block, a shot ball and a seeker,
// all in front of the avatar, who looks along -z and a little down.
struct Stage : Picture, testing::WithParamInterface<WorldDraw> {
    void SetUp() override {
        Picture::SetUp();
        models = build_models();
        scale_models(models);
        renderer.world_texture = load_world_texture("Media/worldtexture.png", false);
        renderer.world_draw = GetParam();
        set_atlas_tiles(*world);
        for (int x = 0; x < world_size; ++x)
            for (int z = 0; z < world_size; ++z) {
                world->terrain_height[x][z] = x >= 14 && x <= 36 && z >= 4 && z <= 17 ? 0.5f : 3.0f;
                for (auto& frame : world->water_frames) frame[x][z] = 2.5f;  // a still pond
            }
        for (int y = 3; y < 7; ++y) world->block_grid[29][y][16] = 1;
        world->falling_grid[20][4][19] = 1;
        world->fall_offset = 0.5f;
        build_world_meshes(*world);
        game->player_pos = {25, 4.5f, 25};
        game->player_pitch = 0.45f;
        for (int i = 0; i < 2; ++i) update_game(*game, *world, Input(), 1.0f);
        game->balls[0] = {ShotBall, {27, 4.5f, 18}, {}};
        game->balls[1] = {Seeker, {21, 4.5f, 15}, {}};
        game->ball_count = 2;
    }
    // Where a world point shows in the window, y down.
    std::pair<int, int> project(Vec3 p) {
        double modelview[16], projection[16], x, y, z;
        GLint viewport[4];
        apply_camera(*game, screen, screen.field_of_view);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview), glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(p.x, p.y, p.z, modelview, projection, viewport, &x, &y, &z);
        return {int(std::lround(x)), 479 - int(std::lround(y))};
    }
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
    Models models;
    Renderer renderer;
};

enum Look { model_purple, ground_green, block_grey, falling_orange, water_blue };

// The mean colour around a pixel, and whether it varies as a texture does.
struct Patch {
    float rgb[3] = {0, 0, 0};
    int spread = 0;  // the widest range of one channel
    Patch(const Frame& f, int cx, int cy) {
        int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
        for (int y = cy - 3; y <= cy + 3; ++y)
            for (int x = cx - 3; x <= cx + 3; ++x)
                for (int c = 0; c < 3; ++c) {
                    rgb[c] += f.at(x, y)[c] / 49.0f;
                    low[c] = std::min<int>(low[c], f.at(x, y)[c]), high[c] = std::max<int>(high[c], f.at(x, y)[c]);
                }
        for (int c = 0; c < 3; ++c) spread = std::max(spread, high[c] - low[c]);
    }
    bool looks(Look look) const {
        const float r = rgb[0], g = rgb[1], b = rgb[2];
        switch (look) {
            case model_purple: return r > g + 40 && b > g + 60 && spread < 8;  // one flat patch of the atlas
            case ground_green: return g > r + 8 && g > b + 30 && spread > 20;
            case block_grey: return std::fabs(r - g) < 20 && std::fabs(g - b) < 25 && r > 80 && spread > 10;
            case falling_orange: return r > g + 40 && g > b + 20 && spread > 20;
            case water_blue: return b > r + 40 && spread > 10;
        }
        return false;
    }
};

}  // namespace

// Each thing in the view shows at its projected place in its own texture, and the HUD over them, whether the
// world goes to GL a slot a call or a run of chunks a call.
TEST_P(Stage, EveryElementShowsWhereTheCameraPutsIt) {
    render_scene(renderer, *world, *game, models, screen, atlas, 60.0f);
    const Frame frame;
    const struct { Vec3 at; Look look; const char* what; } elements[] = {
        {game->head_pos, model_purple, "head"}, {game->chest_pos, model_purple, "chest"},
        {game->hip_pos, model_purple, "hip"}, {game->hand_pos[0], model_purple, "hand"},
        {game->hand_pos[1], model_purple, "hand"}, {game->foot_pos[0], model_purple, "foot"},
        {game->foot_pos[1], model_purple, "foot"}, {game->aim_point, model_purple, "aim point"},
        {game->balls[0].pos, model_purple, "shot ball"}, {game->balls[1].pos, model_purple, "seeker"},
        {{29.5f, 4.5f, 17.0f}, block_grey, "block"}, {{20.5f, 4.0f, 20.0f}, falling_orange, "falling block"},
        {{29, 3, 21}, ground_green, "ground"}, {{26, 2.5f, 9}, water_blue, "water"}};
    for (const auto& e : elements) {
        const auto [x, y] = project(e.at);
        ASSERT_TRUE(x >= 3 && x < 637 && y >= 83 && y < 477) << e.what << " at " << x << "," << y;
        const Patch p(frame, x, y);
        EXPECT_TRUE(p.looks(e.look)) << e.what << ": " << p.rgb[0] << " " << p.rgb[1] << " " << p.rgb[2] << " ~" << p.spread;
    }
    EXPECT_GT(frame.count({0, 0, 320, 80}, &Frame::bright), 200);  // the HUD's text

    // A block sunk in the pond shows through the water, a quarter of its colour against the pond's floor.
    const auto [x, y] = project({26.5f, 2, 12.5f});
    world->block_grid[26][1][12] = 1;
    build_world_meshes(*world);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_scene(renderer, *world, *game, models, screen, atlas, 60.0f);
    const Patch floor(frame, x, y), block(Frame(), x, y);
    EXPECT_TRUE(floor.looks(water_blue) && block.looks(water_blue)) << block.rgb[0] << " " << block.rgb[1] << " " << block.rgb[2];
    EXPECT_NEAR(block.rgb[2] - floor.rgb[2], 0.25f * (136 - 54), 8);  // the mean blues of the block and ground tiles
}

INSTANTIATE_TEST_SUITE_P(BothWays, Stage, testing::Values(WorldDraw::slots_from_buffers, WorldDraw::chunk_runs));

// The limb as GL draws it: its elbow ball a unit from the root and its last ball on the end, for arms (turned over
// for an end level with or above the shoulder) and legs reaching every way; beyond their reach they point straight
// at the end, and towards nowhere they hang down. GL reports the corners it keeps, and in a parallel view the mean
// of a ball's corners lies on its centre.
TEST_F(Picture, LimbsDrawnReachTheirEnds) {
    Models models = build_models();
    scale_models(models);
    ModelsCopy copy;
    glMatrixMode(GL_PROJECTION), glLoadIdentity(), glOrtho(-8, 8, -6, 6, -20, 20);
    glMatrixMode(GL_MODELVIEW), glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_CULL_FACE);  // every triangle, the far sides of the balls too
    std::vector<float> feedback(20000);
    const Vec3 root{1, 2, 0.5f};
    for (int n = 0; n <= 30; ++n) {
        const float rise[3] = {0.5f, -0.6f, 0}, reach = n % 5 < 4 ? 0.8f + n % 5 * 0.3f : 3.5f;
        const Vec3 way = Vec3{std::cos(n * 0.9f), rise[n % 3], std::sin(n * 0.9f)} / length({std::cos(n * 0.9f), rise[n % 3], std::sin(n * 0.9f)});
        const Vec3 end = n < 30 ? root + way * reach : Vec3{NAN, 0, 0}, reached = n < 30 ? root + way * std::min(reach, 2.0f) : root + Vec3{0, -2, 0};
        glFeedbackBuffer(GLsizei(feedback.size()), GL_3D, feedback.data());
        glRenderMode(GL_FEEDBACK);
        draw_limb(copy, models, root, end, way.y >= 0);
        const int size = glRenderMode(GL_RENDER);
        std::vector<Vec3> corners;  // back in view units; the balls are triangles 72 to 143 and 160 to 231
        for (int k = 0; k < size; k += 2 + 9)
            for (int c = 0; c < 3 && feedback[k] == GL_POLYGON_TOKEN; ++c)
                corners.push_back({feedback[k + 2 + 3 * c] / 40 - 8, feedback[k + 3 + 3 * c] / 40 - 6, 20 - 40 * feedback[k + 4 + 3 * c]});
        ASSERT_EQ(corners.size(), 3u * 248) << n;
        auto centre = [&](int first) {
            Vec3 sum;
            for (int v = 3 * first; v < 3 * first + 216; ++v) sum = sum + corners[size_t(v)];
            return sum / 216;
        };
        EXPECT_NEAR(length(centre(72) - root), 1, 1e-3f) << n;
        EXPECT_LT(length(centre(160) - reached), 2e-3f) << n;
    }
    glDisableClientState(GL_VERTEX_ARRAY), glEnable(GL_CULL_FACE);
}
