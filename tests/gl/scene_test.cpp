// The 3D view of a generated world: the culling, ordering, burial and
// repetition that must not change the picture, and its fog.
#include "gl_support.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <cmath>
#include <memory>

static int differing_pixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4) n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

struct Scene : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        models = build_models();
        scale_models(models);
        init_atlas_tiles(*world, "Media/worldtexture.png", false);
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
    std::vector<uint8_t> draw(const ViewOptions& options) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(*world, *game, models, screen, options);
        return read_pixels(0, 0);
    }
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
    Models models;
};

// Skipping the slots beyond the fog, and drawing from the world's copies in GL buffers (also after the world
// changed), change no pixel; drawing the slots nearest first, each slot's ground before its blocks, and leaving
// out the block faces and water under the ground, only where two faces tie in depth. 50 units back in x and
// 100 on in z, negative coordinates included, the same world is seen.
TEST_F(Scene, FogSkipOrderAndWrappingKeepThePicture) {
    ViewOptions all_slots, plain_order, all_faces;
    all_slots.skip_beyond_fog = false, all_slots.world_draw = WorldDraw::client_arrays;  // the older way, exactly
    all_faces.skip_buried = false, all_faces.world_draw = WorldDraw::client_arrays;
    plain_order.solid_order = SlotOrder::listed;
    plain_order.ground_first = false;
    // The player's x, y, z, yaw and pitch: inside the box, outside it and above the ceiling.
    const float views[][5] = {
        {25, 10, 25, 0, 0}, {-37, 4, -12, -1, -0.4f}, {130, 3, -260, 3.9f, 0.02f}, {12, 30, 40, 2.4f, 0.5f},
        {25, 3, 25, 4.0f, 0.3f}};
    for (const float* v : views) {
        pose(v[0], v[1], v[2], v[3], v[4]);
        const std::vector<uint8_t> picture = draw(ViewOptions());
        EXPECT_EQ(differing_pixels(picture, draw(all_slots)), 0) << v[0];
        EXPECT_LE(differing_pixels(picture, draw(plain_order)), 3) << v[0];
        // What lies under the ground shows only where it ties in depth with the ground along its edge.
        EXPECT_LE(differing_pixels(picture, draw(all_faces)), 640 * 480 / 1000) << v[0];
        EXPECT_GT(differing_pixels(picture, std::vector<uint8_t>(picture.size())), 640 * 480 / 4) << v[0];
        pose(v[0] - 50, v[1], v[2] + 100, v[3], v[4]);
        EXPECT_LT(differing_pixels(picture, draw(ViewOptions())), 640 * 480 / 40) << v[0];  // texels round apart
    }
    // Seen from under the ground, which it does not hide from there, everything below it is drawn.
    std::fill(&world->terrain_height[0][0], &world->terrain_height[0][0] + 2500, 6.0f);
    build_world_meshes(*world);
    pose(25, 0, 25, 0.5f, 0.3f);  // the eye about 2.5 up, over the floor
    EXPECT_EQ(differing_pixels(draw(ViewOptions()), draw(all_faces)), 0);
    float fog[2];  // the fog the drawing used: the repeated world dissolves from the eye to 125 away
    glGetFloatv(GL_FOG_START, &fog[0]), glGetFloatv(GL_FOG_END, &fog[1]);
    EXPECT_TRUE(fog[0] == 0.1f && fog[1] == 125.0f) << fog[0] << " " << fog[1];
}
