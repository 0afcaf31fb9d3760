#include "render/hud.h"

const char* action_label(int) { return ""; }
