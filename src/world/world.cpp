#include "world/world.h"

void set_atlas_tiles(World&) {}
