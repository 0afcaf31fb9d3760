#include "gl_support.h"
#include "render/scene.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

// The drawing as the game does it (beyond the fog and buried water skipped,
// nearest first, ground before blocks) against the plain one (all in listed
// order, blocks first), on one world seen from all around, above the ceiling,
// below the ground and from a negative position: they differ only where two
// surfaces tie in the depth buffer, as along the water's edge (0.06% at most).
TEST(SceneOrder, CheaperDrawingKeepsThePlainPicture) {
    Screen screen;
    ASSERT_TRUE(open_window(screen, 640, 480));
    Models models = build_models();
    scale_models(models);
    auto world = std::make_unique<World>();
    static Game game;
    init_atlas_tiles(*world, "Media/worldtexture.png", false);
    std::srand(77), generate_world(*world), build_world_meshes(*world), world->fall_offset = 0.5f;
    auto draw = [&](const ViewOptions& options) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_world_view(*world, game, models, screen, options);
        return read_pixels(0, 0);
    };
    ViewOptions plain;
    plain.skip_beyond_fog = false, plain.solid_order = SlotOrder::listed;
    plain.ground_first = false, plain.skip_buried_water = false;
    const float views[][5] = {{25, 10, 25, 0, 0},       {25, 6, 25, 2.9f, 0.35f},
                              {-37, 4, -12, -1, -0.4f}, {12, 30, 40, 2.4f, 0.5f},
                              {25, 3, 25, 4.0f, 0.3f},  {130, 3, -260, 3.9f, 0.02f}};
    for (const auto& v : views) {
        for (int i = 0; i < 2; ++i)  // the game's own update poses avatar and camera
            game.player_pos = {v[0], v[1], v[2]}, game.player_yaw = v[3], game.player_pitch = v[4],
            update_game(game, *std::make_unique<World>(), Input(), 1.0f);
        const std::vector<uint8_t> drawn = draw(ViewOptions()), reference = draw(plain);
        int differing = 0;
        for (size_t i = 0; i < drawn.size(); i += 4)
            differing += !std::equal(&drawn[i], &drawn[i] + 3, &reference[i]);
        EXPECT_LE(differing, 640 * 480 / 1000) << "view at " << v[0] << "," << v[1] << "," << v[2];
    }
    SDL_Quit();
}
