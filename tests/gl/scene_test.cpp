// The 3D view of a generated world: the ways of handing it to GL and the
// repetition that must not change the picture, and its fog.
#include "gl_support.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <algorithm>
#include <cmath>
#include <memory>

static int differing_pixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4) n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

// The 8 x 8 patches (of 4,800) where the mean of a channel differs by more than 6 steps.
static int differing_patches(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::vector<int> sums(80 * 60 * 4);
    for (size_t i = 0; i < a.size(); ++i) sums[(i / 4 / 640 / 8 * 80 + i / 4 % 640 / 8) * 4 + i % 4] += a[i] - b[i];
    int n = 0;
    for (size_t p = 0; p < sums.size(); p += 4) n += std::max({std::abs(sums[p]), std::abs(sums[p + 1]), std::abs(sums[p + 2])}) > 64 * 6;
    return n;
}

struct Scene : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        models = build_models();
        scale_models(models);
        renderer.world_texture = load_world_texture("Media/worldtexture.png", false);
        set_atlas_tiles(*world);
        Chance chance = seeded_chance(20261206);
        generate_world(*world, chance);
        build_world_meshes(*world);
    }
    // The game's own update on an empty world poses the avatar and camera; the
    // second aims the arms at the first one's aim point. No seekers: they do not wrap.
    void pose(float x, float y, float z, float yaw, float pitch) {
        *game = Game();
        for (int i = 0; i < 2; ++i) {
            game->player_pos = {x, y, z};
            game->player_yaw = yaw;
            game->player_pitch = pitch;
            update_game(*game, *std::make_unique<World>(), Input(), 1.0f);
        }
        game->ball_count = 0;
    }
    std::vector<uint8_t> draw(WorldDraw way) {
        renderer.world_draw = way;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(renderer, *world, *game, models, screen);
        return read_pixels(0, 0);
    }
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
    Models models;
    Renderer renderer;
};

// Drawing a slot a call from the copies in GL buffers changes no pixel of the drawing from memory, also after
// the world changed; runs of chunks only where texels and edges round a step apart. 50 units back in x and 100 on in z,
// negative coordinates included, the same world is seen.
TEST_F(Scene, EveryWayAndEveryRepeatShowTheSameWorld) {
    // The player's x, y, z, yaw and pitch: inside the box, outside it and above the ceiling.
    const float views[][5] = {
        {25, 10, 25, 0, 0}, {-37, 4, -12, -1, -0.4f}, {130, 3, -260, 3.9f, 0.02f}, {12, 30, 40, 2.4f, 0.5f},
        {25, 3, 25, 4.0f, 0.3f}};
    for (const float* v : views) {
        pose(v[0], v[1], v[2], v[3], v[4]);
        const std::vector<uint8_t> picture = draw(WorldDraw::slots_from_buffers);
        EXPECT_EQ(differing_pixels(picture, draw(WorldDraw::client_arrays)), 0) << v[0];
        EXPECT_LT(differing_patches(picture, draw(WorldDraw::chunk_runs)), 100) << v[0];
        EXPECT_GT(differing_pixels(picture, std::vector<uint8_t>(picture.size())), 640 * 480 / 4) << v[0];
        pose(v[0] - 50, v[1], v[2] + 100, v[3], v[4]);
        EXPECT_LT(differing_pixels(picture, draw(WorldDraw::slots_from_buffers)), 640 * 480 / 40) << v[0];  // texels round apart
    }
    // Raised ground, seen from under it: every copy is sent again.
    std::fill(&world->terrain_height[0][0], &world->terrain_height[0][0] + 2500, 6.0f);
    build_world_meshes(*world);
    pose(25, 0, 25, 0.5f, 0.3f);  // the eye about 2.5 up, over the floor
    const std::vector<uint8_t> picture = draw(WorldDraw::client_arrays);
    EXPECT_EQ(differing_pixels(picture, draw(WorldDraw::slots_from_buffers)), 0);
    EXPECT_LT(differing_patches(picture, draw(WorldDraw::chunk_runs)), 100);
    float fog[2];  // the fog the drawing used: the repeated world dissolves from the eye to 125 away
    glGetFloatv(GL_FOG_START, &fog[0]), glGetFloatv(GL_FOG_END, &fog[1]);
    EXPECT_TRUE(fog[0] == 0.1f && fog[1] == 125.0f) << fog[0] << " " << fog[1];
}
