// Block settling: falling blocks drop one level per step and every block is
// re-decided as resting or falling by the support it is connected to (level
// 0, the ground, or face contact with resting blocks). The fall clock paces
// the steps.
#pragma once

#include "world/world.h"

// One settling step over the whole world. Does not rebuild meshes; marks
// the chunks whose meshes it made stale in settled_block_chunks and
// settled_falling_chunks.
void settle_blocks(World& world);

// Advances fall_offset by 0.1 * speed and runs every step that becomes due,
// each followed by the block, falling-block and collision rebuilds of the
// chunks it changed.
void advance_falling(World& world, float speed);
