#include "pinned_scenes.h"

#include "app/video.h"
#include "render/dashboard.h"
#include "render/world_texture.h"
#include "sim/update.h"
#include "world/generate.h"
#include "world/mesh.h"
#include "world/settle.h"
#include "world/water.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

void open_rig(SceneRig& rig) {
    Settings settings;
    settings.screen_width = pinned_width;
    settings.screen_height = pinned_height;
    settings.aspect_ratio = float(pinned_width) / pinned_height;
    settings.mipmapping = true;
    rig.renderer.world_texture = 0;
    if (setup_video(settings, rig.screen) != 0 || !load_dashboard(rig.atlas, "Media/dashboard.png") ||
        (rig.renderer.world_texture = load_world_texture("Media/worldtexture.png", true)) == 0) {
        std::fprintf(stderr, "GL benchmarks: no window, or Media/ did not load\n");
        std::abort();
    }
    rig.models = build_models();
    scale_models(rig.models);
}

std::unique_ptr<World> make_pinned_world(unsigned seed, int steps) {
    auto made = std::make_unique<World>();
    World& world = *made;
    set_atlas_tiles(world);
    Chance chance = seeded_chance(seed);
    generate_world(world, chance);
    build_world_meshes(world);
    for (int step = 0; step < steps; ++step) {
        animate_water(world, 1.0f);
        advance_falling(world, 1.0f);
    }
    return made;
}

void fresh_renderer(SceneRig& rig) {
    const uint32_t texture = rig.renderer.world_texture;
    rig.renderer = Renderer();
    rig.renderer.world_texture = texture;
}

void pose_pinned_view(Game& game, int view) {
    // The player's x, y, z, yaw and pitch.
    constexpr float views[pinned_view_count][5] = {{25, 10, 25, 0, 0}, {25, 6, 25, 0.785f, 0.1f},
                                                   {25, 30, 25, 2.0f, 0.7f}, {-37, 4, -12, -1.0f, -0.4f},
                                                   {130, 3, -260, 3.9f, 0.02f}};
    const float* v = views[view];
    game = Game();
    game.player_pos = {v[0], v[1], v[2]};
    game.player_yaw = v[3];
    game.player_pitch = v[4];
    update_game(game, *std::make_unique<World>(), Input(), 1.0f);
    game.ball_count = 0;
}

std::vector<uint8_t> read_frame() {
    std::vector<uint8_t> rgba(size_t(pinned_width) * pinned_height * 4), flipped(rgba.size());
    glReadPixels(0, 0, pinned_width, pinned_height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t row = size_t(pinned_width) * 4;
    for (int y = 0; y < pinned_height; ++y) std::copy_n(&rgba[(pinned_height - 1 - y) * row], row, &flipped[y * row]);
    for (size_t i = 3; i < flipped.size(); i += 4) flipped[i] = 255;
    return flipped;
}
