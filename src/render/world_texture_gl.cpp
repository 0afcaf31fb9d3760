#include "render/world_texture.h"

uint32_t load_world_texture(const char*, bool) { return 0; }
void init_atlas_tiles(World& world, const char* path, bool mipmapping) {
    world.world_texture = load_world_texture(path, mipmapping);
    set_atlas_tiles(world);
}
