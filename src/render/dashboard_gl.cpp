#include "render/dashboard.h"

bool load_dashboard(Atlas2D&, const char*) { return true; }
void draw_dashboard(const Atlas2D&, const Screen&, float, const char*, float, const char*,
                    const char*) {}
void draw_cursor(const Atlas2D&, const Screen&, int, int) {}
