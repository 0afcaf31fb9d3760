#include "app/video.h"
#include "pose.h"
#include "window_support.h"
#include "render/dashboard.h"
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
        ASSERT_TRUE(open_window(screen, view_width, view_height));
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
        build_world_meshes(*world);
        return world;
    }

    Picture draw(const World& world, const Game& game, const ViewOptions& options = ViewOptions()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(world, game, models, screen, options);
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
    Picture picture = draw(*world, game);
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
    Picture swinging = draw(*world, game);
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
    Picture without = draw(*world, game);
    game.ball_count = 3;
    game.balls[0] = {ShotBall, {22, 11, 10}, {}};
    game.balls[1] = {Seeker, {30, 11, 10}, {}};
    game.balls[2] = {7, {26, 16, 10}, {}};
    Picture with = draw(*world, game);
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

namespace {

// Eye-space distance along the view axis of each pixel, from the depth
// buffer (perspective near 1, far 1000); the cleared background reads 1000.
std::vector<float> read_eye_depth(int width, int height) {
    std::vector<float> depth(size_t(width) * height);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::vector<float> eye(depth.size());
    const double n = 1.0, f = 1000.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double z = 2.0 * depth[size_t(height - 1 - y) * width + x] - 1.0;
            eye[size_t(y) * width + x] = float(2.0 * n * f / (f + n - z * (f - n)));
        }
    }
    return eye;
}

int differing_pixels(const Picture& a, const Picture& b) {
    int n = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        n += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    return n;
}

}  // namespace

// The generated world from the start: a walled box of blocks over rolling
// ground with pools of translucent water, fading into black, the avatar in
// the middle of the view.
TEST_F(SceneTest, GeneratedWorldFromTheStartCamera) {
    auto world = generated_world(20261206);
    ASSERT_NE(world->world_texture, 0u) << "Media/worldtexture.png did not load";
    ASSERT_TRUE(load_dashboard(atlas, "Media/dashboard.png"));
    static Game game;
    pose_player(game, {25, 10, 25}, 0.0f, 0.0f);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    render_scene(*world, game, models, screen, atlas, 62.5f);
    Picture picture = read_back_buffer(view_width, view_height);
    std::vector<float> eye = read_eye_depth(view_width, view_height);
    SDL_GL_SwapBuffers();
    keep_picture(picture, "scene_world.png");

    // Not one colour: textures, fog and water make many.
    std::vector<bool> seen(1 << 15);
    int colours = 0;
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        int key = (picture.rgb[i] >> 3) << 10 | (picture.rgb[i + 1] >> 3) << 5 | picture.rgb[i + 2] >> 3;
        colours += !seen[key];
        seen[key] = true;
    }
    EXPECT_GT(colours, 200);

    // Black fog: whatever lies past the fog's end is black, the near world
    // is not. The HUD's corner is left out.
    int far = 0, far_lit = 0, near = 0, near_dark = 0;
    for (int y = 0; y < view_height; ++y) {
        for (int x = 0; x < view_width; ++x) {
            if (x < 330 && y < 90) continue;
            float d = eye[size_t(y) * view_width + x];
            if (d > 127.0f) {
                ++far;
                far_lit += picture.brightness(x, y) != 0;
            } else if (d < 40.0f) {
                ++near;
                near_dark += picture.brightness(x, y) < 30;
            }
        }
    }
    EXPECT_GT(far, 1000);
    EXPECT_EQ(far_lit, 0);
    EXPECT_GT(near, view_width * view_height / 4);
    EXPECT_LT(near_dark, near / 50);

    // Translucent water: without the water meshes the picture changes where
    // water covers the ground; there the colour is the water drawn alone over
    // black plus a quarter of what lies beneath.
    auto dry = std::make_unique<World>();
    auto water_only = std::make_unique<World>();
    auto move_meshes = [](ChunkMesh (&to)[chunk_count], ChunkMesh (&from)[chunk_count]) {
        for (int i = 0; i < chunk_count; ++i) std::swap(to[i], from[i]);
    };
    move_meshes(dry->block_meshes, world->block_meshes);
    move_meshes(dry->terrain_meshes, world->terrain_meshes);
    move_meshes(dry->falling_meshes, world->falling_meshes);
    move_meshes(water_only->water_meshes, world->water_meshes);
    dry->world_texture = water_only->world_texture = world->world_texture;
    Picture under = draw(*dry, game);
    Picture water = draw(*water_only, game);
    move_meshes(world->water_meshes, water_only->water_meshes);
    keep_picture(under, "scene_world_dry.png");
    int covered = 0, blended = 0;
    for (int y = 0; y < view_height; ++y) {
        for (int x = 0; x < view_width; ++x) {
            if (x < 330 && y < 90) continue;
            const unsigned char* a = picture.at(x, y);
            const unsigned char* u = under.at(x, y);
            const unsigned char* w = water.at(x, y);
            if (a[0] == u[0] && a[1] == u[1] && a[2] == u[2]) continue;
            if (w[0] + w[1] + w[2] == 0) continue;  // hidden from the water by nothing drawn there
            ++covered;
            bool match = true;
            for (int c = 0; c < 3; ++c) match = match && std::abs(a[c] - (w[c] + u[c] / 4.0)) <= 2.5;
            blended += match;
        }
    }
    EXPECT_GT(covered, view_width * view_height / 20);
    EXPECT_GT(blended, covered * 9 / 10);

    // The avatar: what changes when it is taken away lies around the middle.
    static Game away;
    away = game;
    Vec3 elsewhere{game.player_pos.x, game.player_pos.y - 500.0f, game.player_pos.z};
    pose_player(away, elsewhere, 0.0f, 0.0f);
    away.camera_pos = game.camera_pos;
    away.aim_point = game.aim_point;
    std::swap(world->block_meshes, dry->block_meshes);
    std::swap(world->terrain_meshes, dry->terrain_meshes);
    std::swap(world->falling_meshes, dry->falling_meshes);
    Picture with_avatar = draw(*world, game);
    Picture without_avatar = draw(*world, away);
    int min_x = view_width, max_x = -1, min_y = view_height, max_y = -1;
    for (int y = 0; y < view_height; ++y) {
        for (int x = 0; x < view_width; ++x) {
            const unsigned char* a = with_avatar.at(x, y);
            const unsigned char* b = without_avatar.at(x, y);
            if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
            if (x < min_x) min_x = x;
            if (x > max_x) max_x = x;
            if (y < min_y) min_y = y;
            if (y > max_y) max_y = y;
        }
    }
    // Over the shoulder the body stands a little left of the middle, its
    // head in the upper half, its legs running out of the bottom.
    ASSERT_GE(max_x, 0) << "the avatar is nowhere in view";
    int centre_x = (min_x + max_x) / 2;
    EXPECT_GT(centre_x, view_width / 4);
    EXPECT_LT(centre_x, view_width / 2);
    EXPECT_GT(min_x, 0);
    EXPECT_LT(max_x, view_width * 3 / 4);
    EXPECT_GT(min_y, view_height / 5);
    EXPECT_LT(min_y, view_height / 2);
}

// Skipping slots beyond the fog changes no pixel, from several views.
TEST_F(SceneTest, FogSkipChangesNoPixel) {
    auto world = generated_world(77);
    static Game game;
    const struct {
        Vec3 player;
        float yaw, pitch;
    } views[] = {{{25, 10, 25}, 0.0f, 0.0f},    {{25, 6, 25}, 0.785f, 0.05f},
                 {{12, 30, 40}, 2.4f, 0.5f},    {{-37, 4, -12}, -0.8f, -0.3f},
                 {{130, 3, -260}, 3.9f, 0.02f}, {{25, 60, 25}, 0.785f, 0.2f}};
    int skipped_somewhere = 0;
    for (const auto& v : views) {
        pose_player(game, v.player, v.yaw, v.pitch);
        ViewOptions all_slots;
        all_slots.skip_beyond_fog = false;
        Picture all = draw(*world, game, all_slots);
        Picture skipped = draw(*world, game);
        EXPECT_EQ(differing_pixels(all, skipped), 0)
            << "view at " << v.player.x << "," << v.player.y << "," << v.player.z;
        float projection[16], modelview[16];
        apply_camera(game, screen, screen.field_of_view);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        SlotCulling with = make_slot_culling(projection, modelview, true, fog_end);
        SlotCulling without = make_slot_culling(projection, modelview, false, fog_end);
        int pcx = slot_of(v.player.x), pcz = slot_of(v.player.z);
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx)
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz)
                skipped_somewhere += solid_slot_visible(without, cx, cz) && !solid_slot_visible(with, cx, cz);
    }
    EXPECT_GT(skipped_somewhere, 20);  // the views do exercise the skip
}

// The world repeats: a player 50 units away in x and z, at negative
// coordinates, sees the same picture up to rounding at a few edges.
TEST_F(SceneTest, NegativePositionSeesTheWrappedWorld) {
    auto world = generated_world(5);
    static Game game;
    pose_player(game, {25, 10, 25}, 0.5f, 0.1f);
    Picture here = draw(*world, game);
    pose_player(game, {-25, 10, -75}, 0.5f, 0.1f);
    Picture there = draw(*world, game);
    EXPECT_LT(differing_pixels(here, there), view_width * view_height / 100);
    EXPECT_GT(differing_pixels(here, draw(*world, Game())), view_width * view_height / 4);
}

// Drawing the solid pass nearest first gives the picture of the listed
// order, from views all around, at negative coordinates, from the avatar's
// head and above the ceiling, with falling blocks drawn half a level down.
// Falling blocks placed in the cells of settled ones make the two meshes of
// a slot coincide, so any change to the order within a slot would show in
// whole faces. A pixel on the shared edge of two slots may tie in depth and
// go to the other slot (see SlotOrder); the views allow two such pixels.
TEST_F(SceneTest, NearestFirstOrderGivesTheListedPicture) {
    static Game game;
    const struct {
        Vec3 player;
        float yaw, pitch;
        bool first_person;
    } views[] = {{{25, 10, 25}, 0.0f, 0.0f, false},      {{25, 6, 25}, 2.9f, 0.35f, false},
                 {{-37, 4, -12}, -1.0f, -0.4f, false},   {{-3.5f, 3, 71}, 4.4f, 1.2f, false},
                 {{12, 8, 40}, 0.7f, -0.9f, true},       {{130, 3, -260}, 3.9f, 0.02f, true},
                 {{25, 30, 25}, 2.0f, 0.7f, false}};
    int differing = 0, views_drawn = 0;
    for (unsigned seed : {77u, 5u, 20261206u}) {
        auto world = generated_world(seed);
        ASSERT_NE(world->world_texture, 0u) << "Media/worldtexture.png did not load";
        std::srand(seed);
        for (int n = 0; n < 400; ++n) {
            int x = std::rand() % world_size, y = 1 + std::rand() % (world_levels - 2);
            int z = std::rand() % world_size;
            world->falling_grid[x][y][z] = 1;
            if (n % 4 == 0) world->block_grid[x][y][z] = 1;
        }
        build_block_meshes(*world);
        build_falling_meshes(*world);
        world->fall_offset = seed == 5u ? 0.0f : 0.5f;
        for (const auto& v : views) {
            pose_player(game, v.player, v.yaw, v.pitch);
            if (v.first_person) game.camera_pos = game.head_pos;
            ViewOptions listed, nearest;
            listed.solid_order = SlotOrder::listed;
            nearest.solid_order = SlotOrder::nearest_first;
            Picture a = draw(*world, game, listed);
            Picture b = draw(*world, game, nearest);
            int d = differing_pixels(a, b);
            differing += d;
            views_drawn += 1;
            EXPECT_LE(d, 2) << "seed " << seed << " view at " << v.player.x << "," << v.player.z;
        }
    }
    EXPECT_EQ(views_drawn, 21);
    EXPECT_LE(differing, 2);
}
