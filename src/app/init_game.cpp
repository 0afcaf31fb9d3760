#include "app/init_game.h"

#include "world/generate.h"
#include "world/mesh.h"

#include <cstdio>

void init_game(Titles& titles, World& world, Game& game, Models& models) {
    std::snprintf(titles.title_text, sizeof titles.title_text, "%s", "Quillmoor");
    titles.version_number = 0.1f;
    set_atlas_tiles(world);
    models = build_models();
    scale_models(models);
    generate_world(world, game.chance);
    build_world_meshes(world);
    place_player(game);
}
