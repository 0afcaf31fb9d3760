#include "sim/balls.h"

#include "sim/collision.h"
#include "sim/vecmath.h"

#include <cmath>

namespace {

constexpr float spawn_distance = 90.0f;
constexpr float spawn_height = 12.5f;
constexpr float seeker_speed = 0.1f;
constexpr float seeker_radius = 1.0f;
constexpr float seeker_spacing = 2.0f;
constexpr float player_reach = 2.0f;
constexpr float shot_reach = 1.25f;
constexpr float lost_distance = 100.0f;

// Moves a flying shot ball; one that meets the world stays there for good.
void move_shot_ball(Ball& ball, const World& world, float speed) {
    if (ball.vel.x == 0.0f && ball.vel.y == 0.0f && ball.vel.z == 0.0f) return;
    Vec3 old = ball.pos;
    ball.pos = ball.pos + ball.vel * speed;
    if (clip_segment(world, old, ball.pos)) {
        ball.vel = Vec3{};
    } else {
        ball.vel.y -= 0.01f * speed;
    }
}

// Sets seeker i and every other seeker closer than the spacing exactly the
// spacing apart around their midpoint, pair by pair in index order.
void keep_apart(Game& game, int i) {
    Vec3& pos = game.balls[i].pos;
    for (int j = 0; j < game.ball_count; ++j) {
        if (j == i || game.balls[j].kind != Seeker) continue;
        Vec3& other = game.balls[j].pos;
        float e = length(pos - other);
        if (!(e < seeker_spacing)) continue;
        Vec3 mid = (pos + other) / 2.0f;
        // Two seekers on one point have no line between them: part them along x.
        Vec3 u = (pos - other) / e;
        if (!is_finite(u)) u = vec3(1.0f, 0.0f, 0.0f);
        pos = mid + u;
        other = mid - u;
    }
}

bool near_shot_ball(const Game& game, int i) {
    const Vec3 pos = game.balls[i].pos;
    for (int j = 0; j < game.ball_count; ++j) {
        if (j == i || game.balls[j].kind != ShotBall) continue;
        if (length(pos - game.balls[j].pos) < shot_reach) return true;
    }
    return false;
}

// One seeker's turn. Returns false when the record was removed.
bool move_seeker(Game& game, const World& world, int i, float speed) {
    const Vec3 player = game.player_pos;
    Ball& ball = game.balls[i];
    const Vec3 from = ball.pos;
    float d = length(ball.pos - player);
    if (d > lost_distance) {
        remove_ball(game, i);
        return false;
    }

    // A seeker on the player's centre has arrived: it stops rather than
    // dividing by its zero distance.
    Vec3 vel = (player - ball.pos) * seeker_speed / d;
    ball.vel = is_finite(vel) ? vel : Vec3{};
    ball.pos = ball.pos + ball.vel * speed;

    keep_apart(game, i);
    bool hit = near_shot_ball(game, i);

    if (d < player_reach) {
        Vec3 away = (ball.pos - player) / d;
        if (!is_finite(away)) away = vec3(0.0f, 1.0f, 0.0f);
        ball.pos = (player + ball.pos) / 2.0f + away;
    }
    collide_moving_sphere(world, from, ball.pos, seeker_radius);

    if (hit) {
        remove_ball(game, i);
        return false;
    }
    return true;
}

}  // namespace

bool add_ball(Game& game, int32_t kind, Vec3 pos, Vec3 vel) {
    if (game.ball_count >= max_balls || (kind != ShotBall && kind != Seeker)) return false;
    Ball& ball = game.balls[game.ball_count];
    ball.kind = kind;
    ball.pos = pos;
    ball.vel = vel;
    ++game.ball_count;
    ++game.ball_kind_count[kind];
    return true;
}

void remove_ball(Game& game, int i) {
    --game.ball_kind_count[game.balls[i].kind];
    for (int j = i + 1; j < game.ball_count; ++j) game.balls[j - 1] = game.balls[j];
    --game.ball_count;
}

void spawn_seeker(Game& game) {
    if (game.ball_kind_count[Seeker] >= max_seekers) return;
    int k = next_chance(game.chance) % 36000;
    float a = static_cast<float>(k) * 0.01f * 0.0174532925f;
    Vec3 pos = vec3(game.player_pos.x + spawn_distance * std::cos(a), spawn_height,
                    game.player_pos.z + spawn_distance * std::sin(a));
    add_ball(game, Seeker, pos, Vec3{});
}

void update_balls(Game& game, const World& world, float speed) {
    int i = 0;
    while (i < game.ball_count) {
        Ball& ball = game.balls[i];
        if (ball.kind == ShotBall) {
            move_shot_ball(ball, world, speed);
        } else if (ball.kind == Seeker) {
            if (!move_seeker(game, world, i, speed)) continue;
        }
        ++i;
    }
}
