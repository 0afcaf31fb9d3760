// The avatar posed by hand for the rendering tests and benchmarks, without
// running the game's update.
#pragma once

#include "sim/game.h"

#include <cmath>

// Poses the avatar as the game update does for a player standing at player
// with the given yaw and pitch: body points, limbs hanging or aimed at the
// view ray's far end, and the over-the-shoulder camera.
inline void pose_player(Game& g, const Vec3& player, float yaw, float pitch) {
    const float quarter = 1.570796325f;
    g.player_pos = player;
    g.player_yaw = yaw;
    g.player_pitch = pitch;
    g.player_facing = yaw - quarter;
    g.chest_pos = {player.x, player.y + 1.25f, player.z};
    g.head_pos = {player.x, player.y + 1.65f, player.z};
    g.hip_pos = {player.x, player.y + 0.25f, player.z};
    float h = yaw - quarter;
    Vec3 v{std::cos(h) * std::cos(pitch), -std::sin(pitch), std::sin(h) * std::cos(pitch)};
    g.camera_pos = {player.x + std::cos(yaw) - 5.0f * v.x, player.y + 1.0f - 5.0f * v.y,
                    player.z + std::sin(yaw) - 5.0f * v.z};
    g.aim_point = {g.camera_pos.x + 50.0f * v.x, g.camera_pos.y + 50.0f * v.y,
                   g.camera_pos.z + 50.0f * v.z};
    for (int i = 0; i < 2; ++i) {
        float side = g.player_facing + (i == 0 ? quarter : -quarter);
        g.arm_root[i] = {player.x + 0.4f * std::cos(side), g.chest_pos.y - 0.1f,
                         player.z + 0.4f * std::sin(side)};
        Vec3 d{g.aim_point.x - g.arm_root[i].x, g.aim_point.y - g.arm_root[i].y,
               g.aim_point.z - g.arm_root[i].z};
        float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        g.hand_pos[i] = {g.arm_root[i].x + 1.95f * d.x / len, g.arm_root[i].y + 1.95f * d.y / len,
                         g.arm_root[i].z + 1.95f * d.z / len};
        g.leg_root[i] = {player.x + 0.4f * std::cos(side), g.hip_pos.y - 0.1f,
                         player.z + 0.4f * std::sin(side)};
        g.foot_pos[i] = {g.leg_root[i].x, g.leg_root[i].y - 1.9f, g.leg_root[i].z};
    }
}
