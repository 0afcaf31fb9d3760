#include "sim/actions.h"

#include "sim/balls.h"
#include "sim/vecmath.h"
#include "world/mesh.h"

#include <cmath>

namespace {

constexpr float shaping_radius = 5.0f;
constexpr float shot_speed = 0.75f;
constexpr float fly_push = 0.025f;

// True when some copy of lattice index i (i, i + 50, i - 50) may lie within
// the shaping radius of t along one axis. Exact: |dt| >= 5 makes every
// distance through this index at least 5.
bool within_reach(float t, int i) {
    return std::fabs(t - static_cast<float>(i)) < shaping_radius ||
           std::fabs(t - static_cast<float>(i + world_size)) < shaping_radius ||
           std::fabs(t - static_cast<float>(i - world_size)) < shaping_radius;
}

float ring_distance(float tx, float tz, int i, int j) {
    const float dxs[3] = {tx - static_cast<float>(i), tx - static_cast<float>(i + world_size),
                          tx - static_cast<float>(i - world_size)};
    const float dzs[3] = {tz - static_cast<float>(j), tz - static_cast<float>(j + world_size),
                          tz - static_cast<float>(j - world_size)};
    float d = 6.0f;
    for (float dx : dxs) {
        for (float dz : dzs) d = std::fmin(d, std::sqrt(dx * dx + dz * dz));
    }
    return d;
}

void set_block(World& world, Vec3 q, uint8_t value) {
    int x, y, z;
    if (!block_cell(q, x, y, z)) return;
    world.block_grid[x][y][z] = value;
    uint8_t chunks[chunk_count] = {};
    mark_column_chunks(chunks, x, z);
    build_block_meshes(world, chunks);
    build_collision_lists(world, chunks);
}

void shoot(Game& game, Vec3 view) {
    if (game.ball_count >= max_balls) return;
    Vec3 from = game.hand_pos[0];
    // A hand resting on the aim point has no direction to it: shoot along the view.
    Vec3 dir = normalize(game.aim_point - from);
    if (!is_finite(dir)) dir = view;
    add_ball(game, ShotBall, from, dir * shot_speed);
}

void fly(Game& game, float speed) {
    game.flying = true;
    Vec3 dir = normalize(game.aim_point - game.camera_pos);
    if (!is_finite(dir)) return;  // aim point at the eye: no push
    game.player_vel = game.player_vel + dir * (fly_push * speed);
}

}  // namespace

float wrap_coordinate(float v, float period) {
    float r = std::fmod(v, period);
    if (r < 0.0f) r += period;
    if (r >= period) r -= period;  // a tiny negative plus period rounds to period
    return r + 0.0f;               // -0 becomes +0
}

bool block_cell(Vec3 q, int& x, int& y, int& z) {
    if (!is_finite(q)) return false;
    // Reduce while still a float: floor of a huge coordinate does not fit an int.
    x = static_cast<int>(wrap_coordinate(std::floor(q.x), static_cast<float>(world_size)));
    y = static_cast<int>(wrap_coordinate(std::floor(q.y), static_cast<float>(world_levels)));
    z = static_cast<int>(wrap_coordinate(std::floor(q.z), static_cast<float>(world_size)));
    return true;
}

void shape_ground(World& world, float x, float z, bool raise, float speed) {
    float tx = wrap_coordinate(x, static_cast<float>(world_size));
    float tz = wrap_coordinate(z, static_cast<float>(world_size));
    if (!std::isfinite(tx) || !std::isfinite(tz)) return;
    for (int i = 0; i < world_size; ++i) {
        if (!within_reach(tx, i)) continue;
        for (int j = 0; j < world_size; ++j) {
            if (!within_reach(tz, j)) continue;
            float d = ring_distance(tx, tz, i, j);
            if (!(d < shaping_radius)) continue;
            float change = (shaping_radius - d) * 0.01f * speed;
            float& h = world.terrain_height[i][j];
            if (raise) {
                h = h + change;
                if (h > 25.0f) h = 25.0f;
            } else {
                h = h - change;
                if (h < 0.0f) h = 0.0f;
            }
        }
    }
    build_terrain_meshes(world);
    build_water_meshes(world);  // water the new ground hides, or no longer hides
    build_open_block_meshes(world);  // and the same for block faces
    build_collision_lists(world);
}

void apply_action(Game& game, World& world, const Input& input, Vec3 view, float speed) {
    const int32_t button = input.mouse_button_state[button_left];
    const bool held = button == input_held, pressed = button == input_pressed;
    const int32_t type = game.action_type;

    if (held && (type == RaiseGround || type == LowerGround)) {
        shape_ground(world, game.aim_point.x, game.aim_point.z, type == RaiseGround, speed);
    }
    if (held && type == RemoveBlock) set_block(world, game.aim_point + view * 0.25f, 0);
    if (held && type == Swing && !game.swinging) {
        game.swing_anchor = game.aim_point;
        game.swing_length = length(game.aim_point - game.player_pos);
        game.swinging = true;
    }
    if (pressed && type == SpawnBlock) set_block(world, game.aim_point - view * 0.25f, 1);
    if (!(held && type == Swing)) game.swinging = false;
    if (pressed && type == ShootBall) shoot(game, view);
    game.flying = false;
    if (held && type == Fly) fly(game, speed);
}
