// The browser's twin: every call here would be rejected or ignored, and each
// rejected hint costs an error in the console, once a frame for the fog's.
#include "render/gl_quality.h"

void set_quality_state(bool) {}

void set_fog_hint() {}
