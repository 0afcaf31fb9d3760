#include "world/settle.h"

void settle_blocks(World&) {}
void advance_falling(World&, float) {}
