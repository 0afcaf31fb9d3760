#include "world/water.h"

void animate_water(World&, float) {}
