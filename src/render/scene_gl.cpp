#include "render/scene.h"

void render_scene(const World&, const Game&, const Models&, const Screen&, const Atlas2D&, float) {}
