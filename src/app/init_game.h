// One-time game initialisation: titles, world texture, models, the generated
// world with its meshes, and the player's start.
#pragma once

#include "app/settings.h"
#include "render/models.h"
#include "sim/game.h"
#include "world/world.h"

struct Titles {
    char title_text[256] = {};
    float version_number = 0.0f;
};

void init_game(Titles& titles, World& world, Game& game, Models& models,
               const Settings& settings);
