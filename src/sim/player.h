// The player's share of the update: movement intent and action selection,
// the move with its rope and collision, the velocity taken from the
// displacement, the avatar's body with its planted feet, mouse look, and the
// camera with its aim point. update_game calls these in this order.
#pragma once

#include "sim/game.h"
#include "sim/input.h"
#include "world/world.h"

// A quarter turn as the game writes it; as a float it is 1.5707964.
constexpr float quarter_turn = 1.570796325f;
constexpr float player_radius = 1.25f;

// What the movement keys ask for in this update.
struct Intent {
    float move_angle = 0.0f;     // relative to the yaw; forward is -quarter_turn
    float move_strength = 0.0f;  // 0 or 1: a diagonal is not faster
    bool jump = false;
};

Intent read_intent(const Input& input);

// Q steps action_type down and E up (pressed this pass), wrapping in 0..6.
void select_action(Game& game, const Input& input);

// Walks, jumps, moves by the velocity, holds the rope's length, collides
// with the world, then sets on_ground and the new damped velocity from the
// displacement. Reads flying and swinging as the previous update left them.
void move_player(Game& game, const World& world, const Intent& intent, float speed);

// Places the chest, head, hip, arms (towards the previous aim_point) and
// legs (feet stay planted until the body steps away from them).
void place_body(Game& game, const World& world);

// Turns by the pointer's offset from the middle of the view, then holds the
// pitch within a quarter turn either way.
void mouse_look(Game& game, const Input& input, float speed);

// The unit view direction for the current yaw and pitch.
Vec3 view_direction(const Game& game);

// The camera (at the head while the right button is held, else over the
// shoulder) and the aim point: the first surface on the 50-unit view ray.
// Returns the view direction it aimed along, which the actions use too.
Vec3 place_view(Game& game, const World& world, const Input& input);
