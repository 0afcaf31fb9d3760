// One-time game initialisation: titles, models, the generated world with its
// atlas tiles and meshes, and the player's start. Plain logic: the renderer
// loads the world texture itself.
#pragma once

#include "render/models.h"
#include "sim/game.h"
#include "world/world.h"

struct Titles {
    char title_text[256] = {};
    float version_number = 0.0f;
};

void init_game(Titles& titles, World& world, Game& game, Models& models);
