#include "render/hud.h"

#include <cstdio>

namespace {

const char* const action_labels[7] = {
    "actiontype_raiseground", "actiontype_lowerground", "actiontype_spawnblock",
    "actiontype_removeblock", "actiontype_swing",       "actiontype_shootball",
    "actiontype_fly",
};

}  // namespace

const char* action_label(int action_type) {
    if (action_type < 0 || action_type > 6) return "";
    return action_labels[action_type];
}

void format_fps_line(char* out, size_t size, float fps) {
    std::snprintf(out, size, "%s%f", "frames per second: ", static_cast<double>(fps));
}
