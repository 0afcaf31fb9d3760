#include "sim/player.h"

#include "sim/collision.h"
#include "sim/vecmath.h"

#include <cmath>

namespace {

constexpr float walk_push = 0.015f;
constexpr float jump_velocity = 0.75f;
constexpr float arm_length = 1.95f;
constexpr float leg_length = 2.0f;
constexpr float step_distance = 2.0f;
constexpr float joint_offset = 0.4f;
constexpr float pitch_limit = 1.5707964f;
constexpr float view_ray_length = 50.0f;

// 1 when either of the two keys for one direction is down.
float down(const Input& input, int arrow, int letter) {
    return key_is_down(input, arrow) || key_is_down(input, letter) ? 1.0f : 0.0f;
}

Vec3 heading(float angle) { return vec3(std::cos(angle), 0.0f, std::sin(angle)); }

// Pulls p back onto the rope's sphere. At the anchor itself there is no
// direction to pull along, so p stays where it is.
void hold_rope(Game& game) {
    Vec3 out = game.player_pos - game.swing_anchor;
    float scale = game.swing_length / length(out);
    if (!std::isfinite(scale)) return;
    game.player_pos = game.swing_anchor + out * scale;
}

}  // namespace

Intent read_intent(const Input& input) {
    float forward = down(input, key_up, key_w);
    float back = down(input, key_down, key_s);
    float left = down(input, key_left, key_a);
    float right = down(input, key_right, key_d);
    float side = right - left, ahead = forward - back;
    Intent intent;
    intent.move_angle = std::atan2(side, ahead) - quarter_turn;
    intent.move_strength = std::fmin(std::sqrt(side * side + ahead * ahead), 1.0f);
    intent.jump = key_is_down(input, key_space);
    return intent;
}

void select_action(Game& game, const Input& input) {
    int type = game.action_type;
    if (input.key_state[key_q] == input_pressed) --type;
    if (input.key_state[key_e] == input_pressed) ++type;
    game.action_type = wrap_index(type, action_type_count);
}

void move_player(Game& game, const World& world, const Intent& intent, float speed) {
    Vec3 old = game.player_pos;
    float a = game.player_yaw + intent.move_angle;
    game.player_vel.x += std::cos(a) * intent.move_strength * walk_push * speed;
    game.player_vel.z += std::sin(a) * intent.move_strength * walk_push * speed;
    if (intent.jump && game.on_ground) game.player_vel.y = jump_velocity;

    game.player_pos = game.player_pos + game.player_vel * speed;
    float dy = game.player_vel.y * speed;
    if (game.swinging) hold_rope(game);
    bool contact = collide_moving_sphere(world, old, game.player_pos, player_radius);

    // Standing means the collision pushed the body up against its own motion.
    game.on_ground = contact && game.player_pos.y > old.y + dy && !game.swinging && !game.flying;

    Vec3 d = (game.player_pos - old) / speed;
    float keep_xz, keep_y, pull;
    if (game.on_ground) {
        keep_xz = 1.0f - 0.08f * speed;
        keep_y = 1.0f - 0.09f * speed;
        pull = 0.01f * speed;
    } else if (game.flying) {
        keep_xz = 1.0f - 0.05f * speed;
        keep_y = 1.0f - 0.05f * speed;
        pull = 0.0f;
    } else if (game.swinging) {
        keep_xz = 1.0f - 0.05f * speed;
        keep_y = 1.0f - 0.05f * speed;
        pull = 0.01f * speed;
    } else {
        keep_xz = 1.0f - 0.08f * speed;
        keep_y = 1.0f - 0.09f * speed;
        pull = 0.02f * speed;
    }
    game.player_vel.x = d.x * keep_xz;
    game.player_vel.z = d.z * keep_xz;
    game.player_vel.y = d.y * keep_y - pull;
}

void place_body(Game& game, const World& world) {
    game.player_facing = game.player_yaw - quarter_turn;
    const Vec3 pos = game.player_pos;
    game.chest_pos = pos + vec3(0.0f, 1.25f, 0.0f);
    game.head_pos = game.chest_pos + vec3(0.0f, 0.4f, 0.0f);
    game.hip_pos = pos + vec3(0.0f, 0.25f, 0.0f);
    const float sides[2] = {game.player_facing + quarter_turn, game.player_facing - quarter_turn};

    for (int i = 0; i < 2; ++i) {
        Vec3 root = vec3(pos.x + joint_offset * std::cos(sides[i]), game.chest_pos.y - 0.1f,
                         pos.z + joint_offset * std::sin(sides[i]));
        game.arm_root[i] = root;
        // An aim point at the shoulder itself gives no direction: reach forward.
        Vec3 reach = normalize(game.aim_point - root);
        if (!is_finite(reach)) reach = heading(game.player_facing);
        game.hand_pos[i] = root + reach * arm_length;
        clip_segment(world, root, game.hand_pos[i]);
    }

    for (int i = 0; i < 2; ++i) {
        Vec3 root = vec3(pos.x + joint_offset * std::cos(sides[i]), game.hip_pos.y - 0.1f,
                         pos.z + joint_offset * std::sin(sides[i]));
        game.leg_root[i] = root;
        Vec3& foot = game.foot_pos[i];
        bool step = !game.foot_planted[i] || !(foot.y < root.y) || length(root - foot) > step_distance;
        if (!step) continue;
        foot = root - vec3(0.0f, leg_length, 0.0f);
        game.foot_planted[i] = clip_segment(world, root, foot);
    }
}

void mouse_look(Game& game, const Input& input, float speed) {
    if (input.mouse_in_window) {
        // A missing or absurd window size would turn the view into NaN.
        float w = input.view_width, h = input.view_height;
        if (w > 0.0f) {
            float yaw = game.player_yaw + speed * ((static_cast<float>(input.mouse_x) - w / 2.0f) / w) * 0.105f;
            if (std::isfinite(yaw)) game.player_yaw = yaw;
        }
        if (h > 0.0f) {
            float pitch = game.player_pitch + speed * ((static_cast<float>(input.mouse_y) - h / 2.0f) / h) * 0.075f;
            if (std::isfinite(pitch)) game.player_pitch = pitch;
        }
    }
    if (game.player_pitch < -quarter_turn) game.player_pitch = -pitch_limit;
    if (game.player_pitch > quarter_turn) game.player_pitch = pitch_limit;
}

Vec3 view_direction(const Game& game) {
    float h = game.player_yaw - quarter_turn;
    float p = game.player_pitch;
    return vec3(std::cos(h) * std::cos(p), -std::sin(p), std::sin(h) * std::cos(p));
}

Vec3 place_view(Game& game, const World& world, const Input& input) {
    Vec3 v = view_direction(game);
    if (input.mouse_button_state[button_right] == input_held) {
        game.camera_pos = vec3(game.player_pos.x, game.head_pos.y, game.player_pos.z);
    } else {
        Vec3 shoulder = vec3(std::cos(game.player_yaw), 1.0f, std::sin(game.player_yaw));
        game.camera_pos = game.player_pos + shoulder - v * 5.0f;
    }
    game.aim_point = game.camera_pos + v * view_ray_length;
    clip_segment(world, game.camera_pos, game.aim_point);
    return v;
}
