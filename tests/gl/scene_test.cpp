// The 3D view of a generated world: its camera, the culling and ordering that
// must not change the picture, the repeated world, water and the limbs.
#include "gl_support.h"
#include "render/entities.h"
#include "render/matrix.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <cmath>
#include <memory>

// Views as the player's x, y, z, yaw and pitch.
static const float views[][5] = {{25, 10, 25, 0, 0}, {-37, 4, -12, -1, -0.4f}, {130, 3, -260, 3.9f, 0.02f}};

static int differing_pixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 4) n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

struct Scene : GlTest {
    void SetUp() override {
        GlTest::SetUp();
        models = build_models(), scale_models(models);
        init_atlas_tiles(*world, "Media/worldtexture.png", false);
        std::srand(20261206), generate_world(*world), build_world_meshes(*world);
    }
    // The game's own update on an empty world poses the avatar and camera; the
    // second aims the arms at the first one's aim point. No seekers: they do not wrap.
    void pose(float x, float y, float z, float yaw, float pitch) {
        *game = Game();
        for (int i = 0; i < 2; ++i) {
            game->player_pos = {x, y, z}, game->player_yaw = yaw, game->player_pitch = pitch;
            update_game(*game, *std::make_unique<World>(), Input(), 1.0f);
        }
        game->ball_count = 0;
    }
    std::vector<uint8_t> draw(const ViewOptions& options = ViewOptions()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(*world, *game, models, screen, options);
        return read_pixels(0, 0);
    }
    std::unique_ptr<World> world = std::make_unique<World>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
    Models models;
};

TEST_F(Scene, GlCameraIsTheCpuFrustum) {
    pose(-12.5f, 14, 73.25f, -2.1f, 0.3f);
    apply_camera(*game, screen, screen.field_of_view);
    Frustum gl;
    extract_frustum(gl);
    const Vec3 c = game->camera_pos;
    const Mat4 look = mat4_multiply(mat4_rotate(to_degrees(0.3f), 1, 0, 0), mat4_rotate(to_degrees(-2.1f), 0, 1, 0));
    const Mat4 projection = mat4_perspective(45, 640.0 / 480, 1, 1000), view = mat4_multiply(look, mat4_translate(-c.x, -c.y, -c.z));
    const Frustum cpu = frustum_from_matrices(projection.m, view.m);
    for (int i = 0; i < 24; ++i)
        EXPECT_NEAR(gl.planes[i / 4][i % 4], cpu.planes[i / 4][i % 4], 1e-4f * (1 + std::fabs(cpu.planes[i / 4][i % 4])));
}

// Skipping the slots beyond the fog changes no pixel, and 50 units back in x
// and 100 on in z, negative coordinates included, the same world is seen.
TEST_F(Scene, FogSkipAndWrappingKeepThePicture) {
    ViewOptions all_slots;
    all_slots.skip_beyond_fog = false;
    for (const float* v : views) {
        pose(v[0], v[1], v[2], v[3], v[4]);
        const std::vector<uint8_t> picture = draw();
        EXPECT_EQ(differing_pixels(picture, draw(all_slots)), 0) << v[0];
        EXPECT_GT(differing_pixels(picture, std::vector<uint8_t>(picture.size())), 640 * 480 / 4) << v[0];
        pose(v[0] - 50, v[1], v[2] + 100, v[3], v[4]);
        EXPECT_LT(differing_pixels(picture, draw()), 640 * 480 / 40) << v[0];  // texels round apart
    }
}

// Falling blocks in the cells of settled ones make two meshes of a slot
// coincide, so a change of order within a slot shows in whole faces; a
// pixel on the edge two slots share may tie in depth and go either way.
TEST_F(Scene, NearestFirstOrderGivesTheListedPicture) {
    for (int n = 0; n < 400; ++n) {
        const int x = std::rand() % world_size, y = 1 + std::rand() % (world_levels - 2), z = std::rand() % world_size;
        world->falling_grid[x][y][z] = 1, world->block_grid[x][y][z] |= n % 4 == 0;
    }
    build_block_meshes(*world), build_falling_meshes(*world);
    world->fall_offset = 0.5f;
    ViewOptions listed, nearest;
    listed.solid_order = SlotOrder::listed, nearest.solid_order = SlotOrder::nearest_first;
    for (const float* v : views) {
        pose(v[0], v[1], v[2], v[3], v[4]);
        EXPECT_LE(differing_pixels(draw(listed), draw(nearest)), 2) << v[0];
    }
}

// Where water covers the ground, each channel is the water's drawn alone
// over black plus a quarter of the ground's.
TEST_F(Scene, WaterBlendsOverTheGround) {
    pose(25, 10, 25, 0, 0);
    const std::vector<uint8_t> both = draw();
    auto other = std::make_unique<World>();
    std::swap(world->water_meshes, other->water_meshes);
    const std::vector<uint8_t> ground = draw();
    std::swap(world->water_meshes, other->water_meshes), std::swap(world->block_meshes, other->block_meshes);
    std::swap(world->terrain_meshes, other->terrain_meshes), std::swap(world->falling_meshes, other->falling_meshes);
    const std::vector<uint8_t> water = draw();
    int covered = 0, blended = 0;
    for (size_t i = 0; i < both.size(); ++i)
        if (i % 4 != 3 && both[i] != ground[i] && water[i] != 0)
            ++covered, blended += std::fabs(both[i] - (water[i] + ground[i] / 4.0)) <= 2.5;
    EXPECT_GT(covered, 640 * 480 / 10);
    EXPECT_GT(blended, covered * 9 / 10);
}

// A limb raised, level or lowered ends on the hand, not on its mirror image.
// From (0, 0, 8) a point (x, y, z) shows 579.4 (240 / tan 22.5 degrees)
// times x / (8 - z) right of the middle, and as much above.
TEST_F(Scene, LimbEndsOnTheHand) {
    game->camera_pos = {0, 0, 8};
    glEnableClientState(GL_VERTEX_ARRAY), glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const Vec3& end : {Vec3{1.2f, 1.4f, 0.3f}, Vec3{-1.5f, 0, -0.2f}, Vec3{0.4f, -1.6f, 0.5f}}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        apply_camera(*game, screen, screen.field_of_view);
        draw_limb(models, Vec3{}, end, true);
        for (float side : {1.0f, -1.0f}) {
            const float s = 579.4f * side / (8 - end.z);
            const std::vector<uint8_t> p = read_pixels(int(320 + s * end.x), int(240 + s * end.y), 1, 1);
            EXPECT_EQ(p[0] + p[1] + p[2] > 30, side > 0) << end.x << "," << end.y;
        }
    }
}
