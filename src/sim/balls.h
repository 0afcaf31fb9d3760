// The balls: shot balls that fly under a pull and stop dead where they meet
// the world, and seekers that spawn far away, home in on the player, keep
// apart, are pushed off the player's body and vanish near any shot ball or
// far from the player. All live in Game::balls in creation order.
#pragma once

#include "sim/game.h"
#include "world/world.h"

// Appends a ball and counts it. False (nothing added) when the array is full.
bool add_ball(Game& game, int32_t kind, Vec3 pos, Vec3 vel);

// Removes live record i, shifting the later records down in order.
void remove_ball(Game& game, int i);

// Tops the seekers up by one: while fewer than max_seekers live, draws an
// angle from game.chance, a number % 36000 in hundredths of a degree, and, if
// there is room, adds a seeker 90 units from the player at height 12.5.
void spawn_seeker(Game& game);

// Moves every live ball one update, removing the seekers that are hit or
// lost; the order of the remaining records is kept.
void update_balls(Game& game, const World& world, float speed);
