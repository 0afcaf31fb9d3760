#include "world/world.h"

namespace {

// Corner order: (s from, t to), (s to, t to), (s to, t from), (s from, t from).
void set_tile(AtlasTile& tile, float t_from, float t_to) {
    const float s_from = 0.0625f, s_to = 0.1875f;
    const float st[8] = {s_from, t_to, s_to, t_to, s_to, t_from, s_from, t_from};
    for (int i = 0; i < 8; ++i) tile.st[i] = st[i];
}

}  // namespace

void set_atlas_tiles(World& world) {
    set_tile(world.tile_water, 0.0625f, 0.1875f);
    set_tile(world.tile_terrain, 0.3125f, 0.4375f);
    set_tile(world.tile_falling, 0.5625f, 0.6875f);
    set_tile(world.tile_blocks, 0.8125f, 0.9375f);
}
