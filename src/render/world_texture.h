// Loading the world texture atlas into GL.
#pragma once

#include "world/world.h"

// Loads the image at path into a GL texture (with mipmaps when asked).
// Returns the texture name, or 0 when the image cannot be used.
uint32_t load_world_texture(const char* path, bool mipmapping);

// Loads the world texture into world.world_texture and sets the atlas tiles.
void init_atlas_tiles(World& world, const char* path, bool mipmapping);
