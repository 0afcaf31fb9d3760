#include "app/video.h"
#include "render/entities.h"
#include "render/matrix.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int view_width = 640;
constexpr int view_height = 480;

// An RGB picture read back from the back buffer, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    int brightness(int x, int y) const { return at(x, y)[0] + at(x, y)[1] + at(x, y)[2]; }
};

Picture read_back_buffer(int width, int height) {
    Picture p;
    p.width = width;
    p.height = height;
    std::vector<unsigned char> rows(size_t(width) * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    p.rgb.resize(rows.size());
    for (int y = 0; y < height; ++y) {
        std::copy(rows.begin() + size_t(height - 1 - y) * width * 3,
                  rows.begin() + size_t(height - y) * width * 3,
                  p.rgb.begin() + size_t(y) * width * 3);
    }
    return p;
}

// Keeps the picture as a test artifact where the harness asks for them.
void keep_picture(const Picture& p, const std::string& name) {
    const char* dir = std::getenv("QUILL_ARTIFACTS");
    if (dir == nullptr || *dir == '\0') return;
    mkdir(dir, 0755);
    std::string path = std::string(dir) + "/" + name;
    EXPECT_EQ(lodepng_encode24_file(path.c_str(), p.rgb.data(), p.width, p.height), 0u) << path;
}

// Poses the avatar as the game update does for a player standing at player
// with the given yaw and pitch: body points, limbs hanging or aimed at the
// view ray's far end, and the over-the-shoulder camera.
void pose_player(Game& g, const Vec3& player, float yaw, float pitch) {
    const float quarter = 1.570796325f;
    g.player_pos = player;
    g.player_yaw = yaw;
    g.player_pitch = pitch;
    g.player_facing = yaw - quarter;
    g.chest_pos = {player.x, player.y + 1.25f, player.z};
    g.head_pos = {player.x, player.y + 1.65f, player.z};
    g.hip_pos = {player.x, player.y + 0.25f, player.z};
    float h = yaw - quarter;
    Vec3 v{std::cos(h) * std::cos(pitch), -std::sin(pitch), std::sin(h) * std::cos(pitch)};
    g.camera_pos = {player.x + std::cos(yaw) - 5.0f * v.x, player.y + 1.0f - 5.0f * v.y,
                    player.z + std::sin(yaw) - 5.0f * v.z};
    g.aim_point = {g.camera_pos.x + 50.0f * v.x, g.camera_pos.y + 50.0f * v.y,
                   g.camera_pos.z + 50.0f * v.z};
    for (int i = 0; i < 2; ++i) {
        float side = g.player_facing + (i == 0 ? quarter : -quarter);
        g.arm_root[i] = {player.x + 0.4f * std::cos(side), g.chest_pos.y - 0.1f,
                         player.z + 0.4f * std::sin(side)};
        Vec3 d{g.aim_point.x - g.arm_root[i].x, g.aim_point.y - g.arm_root[i].y,
               g.aim_point.z - g.arm_root[i].z};
        float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        g.hand_pos[i] = {g.arm_root[i].x + 1.95f * d.x / len, g.arm_root[i].y + 1.95f * d.y / len,
                         g.arm_root[i].z + 1.95f * d.z / len};
        g.leg_root[i] = {player.x + 0.4f * std::cos(side), g.hip_pos.y - 0.1f,
                         player.z + 0.4f * std::sin(side)};
        g.foot_pos[i] = {g.leg_root[i].x, g.leg_root[i].y - 1.9f, g.leg_root[i].z};
    }
}

// Window position (x right, y down) of a world point in the view of game.
bool project(const Game& g, const Screen& screen, const Vec3& p, float& sx, float& sy) {
    Mat4 view = mat4_multiply(
        mat4_multiply(mat4_rotate(to_degrees(g.player_pitch), 1, 0, 0),
                      mat4_rotate(to_degrees(g.player_yaw), 0, 1, 0)),
        mat4_translate(-g.camera_pos.x, -g.camera_pos.y, -g.camera_pos.z));
    Mat4 clip = mat4_multiply(mat4_perspective(45.0, screen.aspect_ratio, 1.0, 1000.0), view);
    Vec3 c = mat4_transform_point(clip, p);
    float w = clip.m[3] * p.x + clip.m[7] * p.y + clip.m[11] * p.z + clip.m[15];
    if (w <= 0.0f) return false;
    sx = (c.x / w * 0.5f + 0.5f) * screen.width;
    sy = (0.5f - c.y / w * 0.5f) * screen.height;
    return true;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings settings;
        settings.screen_width = view_width;
        settings.screen_height = view_height;
        settings.aspect_ratio = float(view_width) / float(view_height);
        ASSERT_EQ(setup_video(settings, screen), 0);
        models = build_models();
        scale_models(models);
    }
    void TearDown() override { SDL_Quit(); }

    // The generated world of a fixed seed, meshed, with its texture.
    std::unique_ptr<World> generated_world(unsigned seed) {
        auto world = std::make_unique<World>();
        init_atlas_tiles(*world, "Media/worldtexture.png", false);
        std::srand(seed);
        generate_world(*world);
        build_block_meshes(*world);
        build_falling_meshes(*world);
        build_terrain_meshes(*world);
        build_water_meshes(*world);
        build_collision_lists(*world);
        return world;
    }

    Picture draw(const World& world, const Game& game, bool skip_beyond_fog) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(world, game, models, screen, skip_beyond_fog);
        Picture p = read_back_buffer(view_width, view_height);
        SDL_GL_SwapBuffers();
        return p;
    }

    Screen screen;
    Models models;
    Atlas2D atlas;
};

}  // namespace

// The matrices GL builds from the camera are the ones the CPU culling and
// the tests compute with.
TEST_F(SceneTest, CameraMatricesMatchTheCpuConstruction) {
    static Game game;
    game.player_pitch = 0.3f;
    game.player_yaw = -2.1f;
    game.camera_pos = {-12.5f, 14.0f, 73.25f};
    apply_camera(game, screen, screen.field_of_view);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    Mat4 p = mat4_perspective(45.0, screen.aspect_ratio, 1.0, 1000.0);
    Mat4 m = mat4_multiply(mat4_multiply(mat4_rotate(to_degrees(0.3f), 1, 0, 0),
                                         mat4_rotate(to_degrees(-2.1f), 0, 1, 0)),
                           mat4_translate(12.5f, -14.0f, -73.25f));
    for (int n = 0; n < 16; ++n) {
        EXPECT_NEAR(projection[n], p.m[n], 1e-5f * std::fabs(p.m[n]) + 1e-6f) << n;
        EXPECT_NEAR(modelview[n], m.m[n], 1e-4f) << n;
    }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    Frustum from_gl;
    extract_frustum(from_gl);
    Frustum expected = frustum_from_matrices(projection, modelview);
    for (int plane = 0; plane < 6; ++plane)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(from_gl.planes[plane][k], expected.planes[plane][k]);
}

TEST_F(SceneTest, LeavesFogBlendingTexturingAndArraysOffAndColourWhite) {
    auto world = std::make_unique<World>();
    static Game game;
    pose_player(game, {25, 10, 25}, 0, 0);
    render_scene(*world, game, models, screen, atlas, 60.0f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
    SDL_GL_SwapBuffers();
}

// In an empty world only the entities are drawn: the avatar stands where the
// camera puts it, below and left of the middle, the aim marker far ahead,
// and the rope's beads run from the hand to the anchor.
TEST_F(SceneTest, AvatarAndAimMarkerStandWhereTheCameraSeesThem) {
    auto world = std::make_unique<World>();
    static Game game;
    pose_player(game, {25, 10, 25}, 0.2f, 0.1f);
    // Aim 20 units along the view: the marker sits in the middle of the view.
    game.aim_point = {game.camera_pos.x + 0.4f * (game.aim_point.x - game.camera_pos.x),
                      game.camera_pos.y + 0.4f * (game.aim_point.y - game.camera_pos.y),
                      game.camera_pos.z + 0.4f * (game.aim_point.z - game.camera_pos.z)};
    Picture picture = draw(*world, game, true);
    keep_picture(picture, "scene_avatar.png");

    auto lit_near = [&](const Vec3& p, int radius) {
        float sx, sy;
        if (!project(game, screen, p, sx, sy)) return false;
        for (int y = int(sy) - radius; y <= int(sy) + radius; ++y)
            for (int x = int(sx) - radius; x <= int(sx) + radius; ++x)
                if (x >= 0 && y >= 0 && x < view_width && y < view_height && picture.brightness(x, y) > 30)
                    return true;
        return false;
    };
    EXPECT_TRUE(lit_near(game.head_pos, 2));
    EXPECT_TRUE(lit_near(game.hip_pos, 2));
    EXPECT_TRUE(lit_near(game.hand_pos[0], 2));
    EXPECT_TRUE(lit_near(game.leg_root[1], 2));
    EXPECT_TRUE(lit_near(game.aim_point, 2));
    // Nothing else is drawn: the corners and the top stay black.
    EXPECT_EQ(picture.brightness(5, 5), 0);
    EXPECT_EQ(picture.brightness(view_width - 5, view_height - 5), 0);
    EXPECT_EQ(picture.brightness(view_width / 2, 10), 0);

    int lit = 0;
    for (int y = 0; y < view_height; ++y)
        for (int x = 0; x < view_width; ++x) lit += picture.brightness(x, y) > 0;
    game.swinging = true;
    game.swing_anchor = {game.hand_pos[0].x + 6.0f, game.hand_pos[0].y + 4.0f,
                         game.hand_pos[0].z - 12.0f};
    Picture swinging = draw(*world, game, true);
    keep_picture(swinging, "scene_rope.png");
    int lit_swinging = 0;
    for (int y = 0; y < view_height; ++y)
        for (int x = 0; x < view_width; ++x) lit_swinging += swinging.brightness(x, y) > 0;
    EXPECT_GT(lit_swinging, lit + 200);
    Vec3 mid{(game.hand_pos[0].x + game.swing_anchor.x) * 0.5f,
             (game.hand_pos[0].y + game.swing_anchor.y) * 0.5f,
             (game.hand_pos[0].z + game.swing_anchor.z) * 0.5f};
    float sx, sy;
    ASSERT_TRUE(project(game, screen, mid, sx, sy));
    bool bead = false;
    for (int y = int(sy) - 4; y <= int(sy) + 4; ++y)
        for (int x = int(sx) - 4; x <= int(sx) + 4; ++x) bead = bead || swinging.brightness(x, y) > 30;
    EXPECT_TRUE(bead);
}

TEST_F(SceneTest, BallsOfUnknownKindAreNotDrawn) {
    auto world = std::make_unique<World>();
    static Game game;
    pose_player(game, {25, 10, 25}, 0, 0);
    game.aim_point = {25, -500, 25};  // out of view
    Picture without = draw(*world, game, true);
    game.ball_count = 3;
    game.balls[0] = {ShotBall, {22, 11, 10}, {}};
    game.balls[1] = {Seeker, {30, 11, 10}, {}};
    game.balls[2] = {7, {26, 16, 10}, {}};
    Picture with = draw(*world, game, true);
    float sx, sy;
    ASSERT_TRUE(project(game, screen, game.balls[0].pos, sx, sy));
    EXPECT_GT(with.brightness(int(sx), int(sy)), 30);
    ASSERT_TRUE(project(game, screen, game.balls[1].pos, sx, sy));
    EXPECT_GT(with.brightness(int(sx), int(sy)), 30);
    EXPECT_GT(with.brightness(int(sx) + 12, int(sy)), 30);  // a seeker is four times wider
    ASSERT_TRUE(project(game, screen, game.balls[2].pos, sx, sy));
    EXPECT_EQ(with.brightness(int(sx), int(sy)), without.brightness(int(sx), int(sy)));
}

// A raised hand drawn by GL ends on the hand, not on its mirror image.
TEST_F(SceneTest, RaisedAndLevelHandsAreDrawnEndingOnTheHand) {
    static Game game;
    game.camera_pos = {0, 0, 8};  // looking along -z at the origin
    const Vec3 root{0, 0, 0};
    const Vec3 ends[] = {{1.2f, 1.4f, 0.3f}, {-1.5f, 0.0f, -0.2f}, {0.4f, -1.6f, 0.5f}};
    for (const Vec3& end : ends) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        apply_camera(game, screen, screen.field_of_view);
        draw_limb(models, root, end, true);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        Picture p = read_back_buffer(view_width, view_height);
        SDL_GL_SwapBuffers();
        float sx, sy;
        ASSERT_TRUE(project(game, screen, end, sx, sy));
        EXPECT_GT(p.brightness(int(sx), int(sy)), 30) << end.x << "," << end.y;
        Vec3 mirror{-end.x, -end.y, end.z};
        ASSERT_TRUE(project(game, screen, mirror, sx, sy));
        EXPECT_EQ(p.brightness(int(sx), int(sy)), 0) << end.x << "," << end.y;
    }
}
