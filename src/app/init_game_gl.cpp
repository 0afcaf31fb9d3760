#include "app/init_game.h"

#include "render/world_texture.h"
#include "world/generate.h"
#include "world/mesh.h"

#include <cstdio>

void init_game(Titles& titles, World& world, Game& game, Models& models,
               const Settings& settings) {
    std::snprintf(titles.title_text, sizeof titles.title_text, "%s", "Quillmoor");
    titles.version_number = 0.1f;
    init_atlas_tiles(world, "Media/worldtexture.png", settings.mipmapping);
    models = build_models();
    scale_models(models);
    generate_world(world, game.chance);
    build_world_meshes(world);
    place_player(game);
}
