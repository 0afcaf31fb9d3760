#include "world/generate.h"

void generate_world(World&) {}
void fill_smoothed_map(float (&)[world_size][world_size], float (&)[world_size][world_size],
                       float, float, int) {}
