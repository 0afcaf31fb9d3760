#include "render/scene.h"

// In the browser every call is a round trip through the browser's command
// buffer and Emscripten's emulation of the fixed pipeline: runs of chunks
// make a pass a few dozen calls instead of about a thousand.
const WorldDraw default_world_draw = WorldDraw::chunk_runs;
