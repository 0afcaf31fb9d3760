// The game state: the player, the avatar's body, the camera and aim point, the
// selected action, the balls and the run's chance. update_game is its only
// writer during play; the renderer reads it after each update.
//
// Angles are radians; velocities are world units per reference frame of
// 1/60 s. Positions are never wrapped into the world's 50-unit period.
#pragma once

#include "world/chance.h"

#include <cstdint>

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

enum ActionType : int32_t {
    RaiseGround = 0,
    LowerGround = 1,
    SpawnBlock = 2,
    RemoveBlock = 3,
    Swing = 4,
    ShootBall = 5,
    Fly = 6,
};
constexpr int action_type_count = 7;

enum BallKind : int32_t {
    ShotBall = 0,
    Seeker = 1,
};

struct Ball {
    int32_t kind = ShotBall;  // a BallKind; other values are skipped
    Vec3 pos;
    Vec3 vel;  // per reference frame
};

constexpr int max_balls = 1000;
constexpr int max_seekers = 5;

struct Game {
    // Player: the centre of a collision sphere of radius 1.25.
    Vec3 player_pos;
    Vec3 player_vel;
    float player_yaw = 0.0f;     // driven by the mouse, never wrapped
    float player_pitch = 0.0f;   // within +-pi/2, positive looks down
    float player_facing = 0.0f;  // yaw - pi/2 before this update's mouse turn
    bool on_ground = false;      // the last move ended standing on something
    bool flying = false;         // the fly action pushed during the last update
    bool swinging = false;       // the rope is attached
    Vec3 swing_anchor;
    float swing_length = 0.0f;

    // Avatar body, recomputed every update; index 0 is the right side.
    Vec3 chest_pos, head_pos, hip_pos;
    Vec3 arm_root[2], hand_pos[2];
    Vec3 leg_root[2], foot_pos[2];
    bool foot_planted[2] = {false, false};

    // View.
    Vec3 camera_pos;
    Vec3 aim_point;  // first surface on the 50-unit view ray, or its far end

    int32_t action_type = RaiseGround;  // an ActionType, 0..6

    // Live balls are balls[0 .. ball_count-1], in creation order.
    Ball balls[max_balls];
    int32_t ball_count = 0;
    int32_t ball_kind_count[2] = {0, 0};  // live balls per BallKind

    // Seeded at start-up, drawn on by world generation and then by the
    // seeker spawns: the game's only source of chance.
    Chance chance;
};

// Start values of a new game: everything zero except the player and camera,
// which stand at (25, 10, 25), and the chance, which is left as it is.
void place_player(Game& game);
