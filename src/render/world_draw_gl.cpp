#include "render/scene.h"

// On the desktop the driver runs the vertex work itself, per vertex and
// not per call: runs would send it more vertices (whole rows of chunks) and
// change the picture, so each slot keeps its own call.
const WorldDraw default_world_draw = WorldDraw::slots_from_buffers;
