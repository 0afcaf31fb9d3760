// The simulation's rules and outcomes against hand-built worlds and plain references, and random play.
#include "sim/actions.h"
#include "sim/balls.h"
#include "sim/player.h"
#include "sim/update.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

// Now and then a lattice value, where faces, edges and corners lie.
static float awkward(float v) {
    const int k = std::rand() % 6;
    return k == 0 ? std::floor(v) : k == 1 ? std::floor(v) + 0.5f : k == 2 ? std::nextafter(std::floor(v), 1e9f) : v;
}

// Vertical, level, nearly level, along z or anything.
static Vec3 random_direction() {
    const int k = std::rand() % 5;
    const float y = k == 1 || k == 3 ? 0.0f : between(-1, 1) * (k == 2 ? 1e-6f : 1.0f);
    const Vec3 d = vec3(k % 3 == 0 ? 0.0f : between(-1, 1), y, k == 0 ? 0.0f : between(-1, 1));
    return length(d) == 0.0f ? vec3(1, 0, 0) : normalize(d);
}

// View rays, short awkward segments, segments along the floor's top and almost in a ground triangle's plane.
TEST(SimClip, MatchesThePlainRule) {
    int hits = 0;
    for (unsigned seed : {3u, 11u}) {
        auto world = generated_world(seed);
        std::srand(seed * 77 + 1);
        for (int i = 0; i < 16000; ++i) {
            Vec3 s = vec3(awkward(between(-10, 60)), awkward(between(-1, 26)), awkward(between(-10, 60)));
            Vec3 e = s + random_direction() * between(0.0f, 3.0f);
            if (i % 16 == 0) {
                s = vec3(between(-60, 110), between(0, 26), between(-60, 110));
                e = s + random_direction() * 50.0f;
            } else if (i % 4 == 1) {
                s = vec3(between(0, 50), std::rand() % 2 ? 1.0f : std::nextafter(1.0f, 2.0f), between(0, 50));
                e = vec3(s.x + between(-3, 3), std::rand() % 2 ? 1.0f : std::nextafter(1.0f, 0.0f), s.z + between(-3, 3));
            } else if (i % 4 == 2) {
                const int k = std::rand() % chunk_count;
                const CollisionList& l = world->terrain_collision[k];
                const int t = std::rand() % l.triangle_count;
                const Vec3 a = vec3_at(l.corner_a.get(), t), u = vec3_at(l.corner_b.get(), t) - a;
                const Vec3 w = vec3_at(l.corner_c.get(), t) - a;
                const Vec3 lift = triangle_plane_normal(a, a + u, a + w) * ((std::rand() % 3) * between(-1e-5f, 1e-5f));
                s = a + u * between(-3, 3) + w * between(-3, 3) + lift + vec3(k / 10 * 5.0f, 0, k % 10 * 5.0f);
                e = s + u * between(-4, 4) + w * between(-4, 4) - lift * 2.0f;
            } else if (i % 4 == 3) {
                e = vec3(awkward(e.x), awkward(e.y), awkward(e.z));
            }
            Vec3 fast = e, plain = e;
            const bool hit = plain_clip(*world, s, plain);
            hits += hit;
            ASSERT_TRUE(clip_segment(*world, s, fast) == hit && std::memcmp(&fast, &plain, sizeof fast) == 0)
                << s.x << " " << s.y << " " << s.z << " -> " << e.x << " " << e.y << " " << e.z;
        }
    }
    EXPECT_GT(hits, 3200);
}

// One ground tile over (0..1, 0..1) at height 0. Only the free side pushes: faces to the radius in front
// of the plane, edges to the radius from their nearest point; a centre on a corner leaves along the normal.
TEST(SimCollision, SpherePushOut) {
    CollisionList tile;
    set_list(tile, {ground_quad(0, 0, 0.0f)});
    const struct { Vec3 p; float radius; bool faces, edges, pushed; Vec3 after; } rows[] = {
        {vec3(0.3f, 0.0f, 0.6f), 1.25f, true, false, true, vec3(0.3f, 1.25f, 0.6f)},
        {vec3(0.3f, 1.25f, 0.6f), 1.25f, true, true, false, vec3(0.3f, 1.25f, 0.6f)},
        {vec3(0.5f, -0.01f, 0.5f), 1.25f, true, true, false, vec3(0.5f, -0.01f, 0.5f)},  // the solid side
        {vec3(0.3f, 0.2f, 0.2f), 0.3f, false, true, false, vec3(0.3f, 0.2f, 0.2f)},
        {vec3(0.3f, 0.2f, 0.2f), 0.3f, true, false, true, vec3(0.3f, 0.3f, 0.2f)},
        {vec3(1.5f, 0.3f, 0.5f), 1.25f, true, false, false, vec3(1.5f, 0.3f, 0.5f)},
        {vec3(1.2f, 0.1f, 0.5f), 0.4f, false, true, true, vec3(1.0f, 0.0f, 0.5f) + normalize(vec3(0.2f, 0.1f, 0)) * 0.4f},
        {vec3(1.0f, 0.0f, 1.0f), 1.25f, true, true, true, vec3(1.0f, 1.25f, 1.0f)},
    };
    for (const auto& row : rows) {
        Vec3 p = row.p;
        EXPECT_EQ(collide_sphere_with_list(p, row.radius, tile, row.faces, row.edges), row.pushed) << row.p.x;
        EXPECT_LT(length(p - row.after), 1e-5f) << row.p.x << " " << row.p.y << " " << row.p.z;
    }
}

// Non-finite ends clip and push nothing; the plain rule SimClip holds the clip to never meets them.
TEST(SimCollision, NonFiniteEndsDoNothing) {
    auto world = new_world();
    set_flat_ground(*world, 1.0f);
    Vec3 e = vec3(INFINITY, 0, 0), p = vec3(NAN, 0.5f, 1.0f);
    EXPECT_FALSE(clip_segment(*world, vec3(0, 2, 0), e) || e.x != INFINITY || e.y != 0.0f);
    EXPECT_FALSE(collide_sphere(*world, p, 1.25f));
}

// Each row runs the move alone, in open space or standing on flat ground at 0 (a rope hangs 1000 up, holding
// the body 0.1 into the ground): the velocity and highest rise it ends with. Forward is -z, right +x.
TEST(SimPlayer, MovementOutcomes) {
    const float n = NAN, d = 0.1725f / std::sqrt(2.0f), fly = std::pow(0.95f, 20.0f), fall = -0.02f / 0.09f;
    const struct { const char* name; bool ground, flying, rope; std::vector<int> keys; Vec3 vel;
                   float speed, rise; int updates; Vec3 want; float top; } rows[] = {
        {"walk", true, false, false, {key_w}, {}, 1, 0, 300, {0, -0.01f, -0.1725f}, n},
        {"diagonal", true, false, false, {key_up, key_d}, {}, 1, 0, 300, {d, -0.01f, -d}, n},
        {"double speed", true, false, false, {key_s}, {}, 2, 0, 200, {0, -0.02f, 0.03f * 0.84f / 0.16f}, n},
        {"half speed", true, false, false, {key_left}, {}, 0.5f, 0, 900, {-0.0075f * 0.96f / 0.04f, -0.005f, 0}, n},
        {"jump", true, false, false, {key_space}, {}, 1, 0, 60, {n, n, n}, 4.86f},
        {"jump at half speed", true, false, false, {key_space}, {}, 0.5f, 0, 120, {n, n, n}, 4.86f},
        {"fall at double speed", false, false, false, {key_down}, {}, 2, 0, 300, {0, fall, 0.1575f}, n},
        {"walk in the air", false, false, false, {key_w}, {}, 1, 0, 300, {0, fall, -0.1725f}, n},
        {"ground rising 0.05 each", true, false, false, {}, {}, 1, 0.05f, 40, {0, 0.05f * 0.91f - 0.01f, 0}, n},
        {"flying on the ground", true, true, false, {}, {0.2f, -0.1f, 0}, 1, 0, 20, {0.2f * fly, 0, 0}, n},
        {"flying upwards", false, true, false, {}, {0, 1, 0}, 1, 0, 20, {0, fly, 0}, n},
        {"flying and walking", false, true, false, {key_d}, {}, 1, 0, 300, {0.015f * 0.95f / 0.05f, 0, 0}, n},
        {"rope on the ground", true, false, true, {}, {0.2f, 0, 0}, 1, 0, 20, {0.2f * fly, -0.01f, 0}, n},
    };
    for (const auto& row : rows) {
        auto world = new_world();
        auto game = new_game();
        game->player_pos = vec3(25.3f, 1.25f, 25.6f);
        if (row.ground) set_flat_ground(*world, 0.0f);
        for (int i = 0; i < 5 && row.ground; ++i) move_player(*game, *world, Intent{}, 1.0f);
        game->player_vel = row.vel;
        game->swinging = row.rope;
        game->swing_anchor = game->player_pos + vec3(0.0f, 1000.0f, 0.0f);
        game->swing_length = 1000.1f;
        Input input;
        for (int key : row.keys) input.key_state[key] = input_held;
        float top = 0.0f;
        for (int u = 1; u <= row.updates; ++u) {
            if (row.rise > 0.0f) set_flat_ground(*world, row.rise * static_cast<float>(u));
            game->flying = row.flying;
            move_player(*game, *world, read_intent(input), row.speed);
            top = std::fmax(top, game->player_pos.y - 1.25f);
        }
        const float got[4] = {game->player_vel.x, game->player_vel.y, game->player_vel.z, top};
        const float want[4] = {row.want.x, row.want.y, row.want.z, row.top};
        const float tolerance = row.rope ? 3e-3f : 2e-4f, rise_tolerance = row.speed == 1.0f ? 0.01f : 0.15f;
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(std::isnan(want[i]) || std::fabs(got[i] - want[i]) < (i == 3 ? rise_tolerance : tolerance))
                << row.name << " " << i << ": " << got[i] << " for " << want[i];
    }
    for (int on_blocks = 0; on_blocks < 2; ++on_blocks) {  // a step of three radii lands on a chunk's first triangle, away from 0
        auto world = new_world();
        auto game = new_game();
        set_flat_ground(*world, 3.0f);
        if (on_blocks) std::swap(world->terrain_collision, world->block_collision);
        game->player_pos = vec3(25.8f, 4.25f, 25.7f), game->player_vel = vec3(0.0f, -3.75f, 0.0f);
        move_player(*game, *world, Intent{}, 1.0f);
        EXPECT_NEAR(game->player_pos.y, 4.25f, 1e-3f) << on_blocks;
    }
}

// The camera starts at (26, 11, 30) aiming 50 along -z, moves to the head while the right button is held, and
// aims no deeper than the ground; the clocks and the pointer's turn and tilt follow the speed factor, held in
// [0.2, 2]; the pitch stops at a quarter turn. A foot stays until the hip is over 2 from it, and over nothing is
// never planted. A broken speed leaves nothing non-finite.
TEST(SimPlayer, ViewBodyAndGuards) {
    auto world = new_world(), empty = new_world();
    auto game = new_game();
    Input input = centred_input();
    update_game(*game, *world, input, 1.0f);
    EXPECT_LT(length(game->camera_pos - vec3(26.0f, 11.0f, 30.0f)), 1e-5f);
    EXPECT_LT(length(game->aim_point - vec3(26.0f, 11.0f, -20.0f)), 1e-4f);
    input.mouse_button_state[button_right] = input_held;
    update_game(*game, *world, input, 1.0f);
    EXPECT_LT(length(game->camera_pos - (game->player_pos + vec3(0.0f, 1.65f, 0.0f))), 1e-6f);
    set_flat_ground(*world, 0.0f);
    game->player_pitch = 0.5f;
    update_game(*game, *world, input, 1.0f);
    EXPECT_NEAR(game->aim_point.y, 0.0f, 1e-5f);
    input.mouse_x = 600, input.mouse_y = 450;  // a quarter of the view right of and below the middle
    for (float speed : {1.0f, 5.0f, 0.01f, NAN, 0.0f, -1.0f, INFINITY, 1e-30f}) {
        const float water = world->water_phase, yaw = game->player_yaw, pitch = game->player_pitch;
        update_game(*game, *world, input, speed);
        const float factor = std::isnan(speed) ? 1.0f : std::fmin(std::fmax(speed, 0.2f), 2.0f);
        EXPECT_NEAR(world->water_phase - water, 0.025f * factor, 1e-6f) << speed;
        EXPECT_NEAR(game->player_yaw - yaw, 0.25f * 0.105f * factor, 1e-6f) << speed;
        EXPECT_NEAR(game->player_pitch - pitch, 0.25f * 0.075f * factor, 1e-6f) << speed;
    }
    const float q = 1.5707964f;  // a quarter turn
    const struct { int y; bool inside; float size, pitch; } pitches[] = {
        {599, true, 800, q}, {-100000, true, 800, -q}, {599, false, 800, -q}, {599, true, 0, -q}};
    for (auto p : pitches) {
        input.mouse_y = p.y;
        input.mouse_in_window = p.inside;
        input.view_width = input.view_height = p.size;
        for (int i = 0; i < 200; ++i) mouse_look(*game, input, 2.0f);
        EXPECT_EQ(game->player_pitch, p.pitch) << p.y;
    }
    game->player_pos = vec3(25.3f, 1.25f, 25.6f);
    game->player_vel = Vec3{};
    input = Input{};
    input.key_state[key_w] = input_held;
    int steps = 0;
    for (int i = 0; i < 80; ++i) {
        move_player(*game, *world, read_intent(input), 1.0f);
        const Vec3 before = game->foot_pos[0];
        place_body(*game, *world);
        ASSERT_TRUE(game->foot_planted[0] && std::fabs(game->foot_pos[0].y) < 1e-6f);
        if (i == 0 || before.z == game->foot_pos[0].z) continue;
        EXPECT_GT(length(game->leg_root[0] - before), 2.0f);
        ++steps;
    }
    EXPECT_GE(steps, 3);
    auto air = new_game();
    place_body(*air, *empty);
    EXPECT_TRUE(!air->foot_planted[1] && air->foot_pos[1].y == air->leg_root[1].y - 2.0f);
    EXPECT_TRUE(all_finite(*game));
}

// The cone: a lattice point d < 5 from the aim, through the nearest of its copies, moves by (5 - d) * 0.01 a
// unit of speed, held in [0, 25]; a non-finite aim changes nothing.
TEST(SimActions, GroundConeAcrossTheSeams) {
    const struct { float x, z; bool raise; float speed, start; int i, k; float d; } rows[] = {
        {10, 10, true, 1, 1, 10, 10, 0}, {10, 13, true, 2, 1, 10, 10, 3}, {14, 10, false, 0.5f, 1, 10, 10, 4},
        {15, 10, true, 1, 1, 10, 10, 5}, {10, 6, false, 1, 1, 13, 10, 5}, {49.5f, 0.5f, true, 1, 1, 0, 0, std::sqrt(0.5f)},
        {0.5f, 49.5f, true, 1.5f, 1, 49, 0, std::sqrt(2.5f)}, {47, 2, false, 1, 1, 0, 49, std::sqrt(18.0f)},
        {-990, 1010, true, 1, 1, 10, 10, 0}, {10, 10, true, 2, 24.95f, 10, 10, 0}, {10, 10, false, 2, 0.05f, 10, 10, 0},
        {NAN, 10, true, 1, 1, 10, 10, 9}, {10, INFINITY, false, 1, 1, 10, 10, 9}};
    for (const auto& r : rows) {
        auto w = new_world();
        std::fill(&w->terrain_height[0][0], &w->terrain_height[0][0] + 2500, r.start);
        shape_ground(*w, r.x, r.z, r.raise, r.speed);
        const float change = r.d < 5 ? (5 - r.d) * 0.01f * r.speed * (r.raise ? 1 : -1) : 0;
        EXPECT_FLOAT_EQ(w->terrain_height[r.i][r.k], std::fmin(std::fmax(r.start + change, 0.0f), 25.0f)) << r.x << " " << r.z;
    }
    const float wraps[][2] = {{49.5f, 49.5f}, {-0.5f, 49.5f}, {50, 0}, {-0.0f, 0}, {-1e-10f, 0}, {-125, 25}};
    for (auto c : wraps) EXPECT_TRUE(wrap_coordinate(c[0], 50) == c[1] && !std::signbit(wrap_coordinate(c[0], 50))) << c[0];
    EXPECT_TRUE(wrap_coordinate(-3.0e30f, 50.0f) >= 0.0f && wrap_coordinate(-3.0e30f, 50.0f) < 50.0f);
}

// Shaping, removal and the rope act while the button is held (from the second update of a press), placing
// and shooting once per press; every edit reaches the meshes and lists in the same update.
TEST(SimActions, PressAndHold) {
    auto w = new_world();
    auto game = new_game();
    set_atlas_tiles(*w);
    w->block_grid[25][5][20] = w->block_grid[10][24][10] = w->block_grid[10][0][10] = 1;
    w->block_grid[39][0][40] = 1;  // the shaping below buries its top, which the ground at 0.99 leaves open
    std::fill(&w->terrain_height[0][0], &w->terrain_height[0][0] + 2500, 0.99f);
    build_world_meshes(*w);
    Input input;
    auto use = [&](int32_t type, int32_t button, Vec3 aim, Vec3 view = vec3(0.0f, 0.0f, -1.0f)) {
        game->action_type = type;
        game->aim_point = aim;
        input.mouse_button_state[button_left] = button;
        apply_action(*game, *w, input, view, 1.0f);
    };
    const Vec3 face = vec3(25.5f, 5.5f, 21.0f), ahead = vec3(0, 0, -1), down = vec3(0, -1, 0);  // the block's +z face
    const struct { int32_t type, button; Vec3 aim, view; int x, y, z; uint8_t block; } edits[] = {
        {RemoveBlock, input_pressed, face, ahead, 25, 5, 20, 1}, {SpawnBlock, input_held, face, ahead, 25, 5, 21, 0},
        {SpawnBlock, input_pressed, face, ahead, 25, 5, 21, 1},                    // fills the cell in front
        {RemoveBlock, input_held, vec3(25.5f, 5.5f, 22.0f), ahead, 25, 5, 21, 0},  // digs the cell beyond
        {SpawnBlock, input_pressed, vec3(-0.5f, 2.5f, 3.0f), ahead, 49, 2, 3, 1},
        {RemoveBlock, input_held, vec3(10.5f, 0.1f, -39.5f), down, 10, 24, 10, 0}};  // below level 0 is level 24
    for (const auto& e : edits) {
        use(e.type, e.button, e.aim, e.view);
        EXPECT_EQ(w->block_grid[e.x][e.y][e.z], e.block) << e.x << " " << e.y << " " << e.z;
    }
    EXPECT_EQ(w->block_grid[25][5][20] + w->block_grid[10][0][10], 2);
    use(RaiseGround, input_pressed, vec3(40.0f, 0.0f, 40.0f));
    use(RaiseGround, input_held, vec3(40.0f, 0.0f, 40.0f));
    use(LowerGround, input_held, vec3(42.0f, 0.0f, 40.0f));
    EXPECT_FLOAT_EQ(w->terrain_height[40][40], 0.99f + 0.05f - 0.03f);
    EXPECT_EQ(derived_mismatch(*w), "");
    use(Swing, input_pressed, vec3(25.0f, 20.0f, 15.0f));
    EXPECT_FALSE(game->swinging);
    use(Swing, input_held, vec3(25.0f, 20.0f, 15.0f));
    use(Swing, input_held, vec3(0.0f, 0.0f, 0.0f));  // the rope keeps its anchor
    EXPECT_TRUE(game->swinging && game->swing_anchor.y == 20.0f && game->swing_length == std::sqrt(200.0f));
    use(Fly, input_held, vec3(25.0f, 10.0f, 15.0f));  // another action drops the rope
    use(Fly, input_held, game->camera_pos);            // aim at the eye: no push
    EXPECT_TRUE(game->flying && !game->swinging);
    EXPECT_FLOAT_EQ(game->player_vel.z, -0.025f);
    use(Fly, input_up, vec3(25.0f, 10.0f, 15.0f));
    EXPECT_FALSE(game->flying);
    game->hand_pos[0] = vec3(25.4f, 11.0f, 25.0f);
    use(ShootBall, input_pressed, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_held, vec3(25.4f, 11.0f, 15.0f));
    use(ShootBall, input_pressed, game->hand_pos[0], down);  // along the view instead
    ASSERT_TRUE(game->ball_count == 2 && game->ball_kind_count[ShotBall] == 2);
    EXPECT_LT(length(game->balls[0].vel - vec3(0.0f, 0.0f, -0.75f)) + length(game->balls[1].vel - down * 0.75f), 1e-6f);
    EXPECT_EQ(game->balls[0].pos.x, 25.4f);
}

// At most five seekers; one spawned 90 away arrives after about 880 updates and hovers; one 1.0 away is set
// to 1.35. Seekers closer than 2 are set 2 apart; two on one point (seeker 3 waits where seeker 2 moves to)
// part along x. A seeker near a shot ball and a lost one go, the later records move down in order and the
// next still takes its turn. Shot balls stop dead under a block, and on the ground after rising in the open.
TEST(SimBalls, SeekersShotBallsAndRemovals) {
    auto world = new_world();
    auto game = new_game();
    game->player_pos = vec3(25.0f, 12.5f, 25.0f);
    for (int i = 0; i < 8; ++i) spawn_seeker(*game);
    ASSERT_EQ(game->ball_kind_count[Seeker] + game->ball_count, 2 * max_seekers);
    game->ball_count = 1;
    auto from_player = [&] { return length(game->balls[0].pos - game->player_pos); };
    int updates = 0;
    for (; from_player() > 2.0f + 1e-3f && updates < 2000; ++updates) update_balls(*game, *world, 1.0f);
    EXPECT_NEAR(updates, 880, 2);
    for (int i = 0; i < 50; ++i) update_balls(*game, *world, 1.0f);
    EXPECT_GT(from_player(), 1.3f);
    game->balls[0].pos = vec3(26.0f, 12.5f, 25.0f);
    update_balls(*game, *world, 1.0f);
    EXPECT_NEAR(from_player(), 1.35f, 1e-6f);

    game->ball_count = game->ball_kind_count[Seeker] = 0;
    for (Vec3 p : {vec3(70, 30, 25.4f), vec3(70.3f, 30.5f, 25.8f), vec3(70, 12.5f, 25), vec3(69.9f, 12.5f, 25),
                   game->player_pos})
        add_ball(*game, Seeker, p, Vec3{});
    update_balls(*game, *world, 1.0f);
    ASSERT_TRUE(all_finite(*game));
    EXPECT_NEAR(length(game->balls[0].pos - game->balls[1].pos), 2.0f, 1e-5f);
    EXPECT_NEAR(game->balls[2].pos.x, 70.9f, 1e-5f);
    EXPECT_NEAR(game->balls[3].pos.x, 68.8f, 1e-5f);
    EXPECT_GT(length(game->balls[4].pos - game->player_pos), 0.5f);
    game->ball_count = game->ball_kind_count[Seeker] = 0;  // set apart pair by pair, the first ends 1.2 from the second
    for (float x : {85.0f, 86.2f, 84.2f}) add_ball(*game, Seeker, vec3(x, 12.5f, 25.0f), Vec3{});
    update_balls(*game, *world, 1.0f);
    EXPECT_EQ(game->ball_count, 3);  // a seeker is no shot ball

    game->ball_count = game->ball_kind_count[Seeker] = 0;
    add_ball(*game, ShotBall, vec3(50.0f, 12.5f, 25.0f), Vec3{});
    add_ball(*game, Seeker, vec3(51.3f, 12.5f, 25.0f), Vec3{});   // 1.2 from it after its move
    add_ball(*game, Seeker, vec3(200.0f, 12.5f, 25.0f), Vec3{});  // over 100 away
    add_ball(*game, ShotBall, vec3(2.0f, 2.0f, 2.0f), vec3(0.5f, 0.0f, 0.0f));
    add_ball(*game, Seeker, vec3(51.4f, 16.0f, 25.0f), Vec3{});   // out of reach
    update_balls(*game, *world, 1.0f);
    ASSERT_EQ(game->ball_count, 3);
    EXPECT_TRUE(game->ball_kind_count[ShotBall] == 2 && game->ball_kind_count[Seeker] == 1);
    EXPECT_TRUE(game->balls[0].pos.x == 50.0f && game->balls[1].pos.x == 2.5f && game->balls[1].vel.y == -0.01f);
    EXPECT_TRUE(game->balls[2].kind == Seeker && game->balls[2].pos.x < 51.4f);

    game->ball_count = game->ball_kind_count[Seeker] = game->ball_kind_count[ShotBall] = 0;
    world->block_grid[25][8][25] = 1;
    build_world_meshes(*world);
    add_ball(*game, ShotBall, vec3(25.3f, 7.0f, 25.6f), vec3(0.0f, 0.75f, 0.0f));
    add_ball(*game, ShotBall, vec3(30.3f, 5.0f, 25.6f), vec3(0.0f, 0.3f, 0.0f));
    for (int i = 0; i < 200; ++i) update_balls(*game, *world, 1.0f);
    EXPECT_FLOAT_EQ(game->balls[0].pos.y, 8.0f);
    EXPECT_TRUE(game->balls[1].pos.y == 0.0f && std::fabs(game->balls[1].pos.x - 30.3f) < 1e-5f);
    EXPECT_EQ(length(game->balls[0].vel) + length(game->balls[1].vel), 0.0f);
}

// Reference judge: does the path from s to e cross a surface inside one of its triangles (barycentric, a little
// tolerance either way)? For a body only an entry from the open side counts; for a segment any crossing short
// of its end.
static bool crosses(const World& world, Vec3 s, Vec3 e, bool body) {
    auto chunk = [](float p, float q, int side) { return (int)std::floor((side < 0 ? std::fmin(p, q) : std::fmax(p, q)) / 5) + side; };
    for (int cx = chunk(s.x, e.x, -1); cx <= chunk(s.x, e.x, 1); ++cx)
        for (int cz = chunk(s.z, e.z, -1); cz <= chunk(s.z, e.z, 1); ++cz) {
            const Vec3 off = vec3(5.0f * (float)cx, 0.0f, 5.0f * (float)cz);
            const int k = wrapped_chunk_index(cx, cz);
            for (const CollisionList* list : {&world.block_collision[k], &world.terrain_collision[k]})
                for (int t = 0; t < list->triangle_count; ++t) {
                    Vec3 a = vec3_at(list->corner_a.get(), t) + off, n = vec3_at(list->normals.get(), t);
                    Vec3 u = vec3_at(list->corner_b.get(), t) + off - a, v = vec3_at(list->corner_c.get(), t) + off - a;
                    double d0 = dot(n, s - a), d1 = dot(n, e - a);
                    if (body ? !(d0 <= 1e-5 && d1 > 1e-3) : !(d0 * d1 < 0 && std::fmin(std::fabs(d0), std::fabs(d1)) > 1e-4)) continue;
                    Vec3 w = s + (e - s) * (float)(d0 / (d0 - d1)) - a;
                    double uu = dot(u, u), uv = dot(u, v), vv = dot(v, v), wu = dot(w, u), wv = dot(w, v);
                    double den = uu * vv - uv * uv, p = (vv * wu - uv * wv) / den, q = (uu * wv - uv * wu) / den;
                    if (p >= -1e-5 && q >= -1e-5 && p + q <= 1 + 1e-5) return true;
                }
        }
    return false;
}

// Random play of the whole update on generated worlds: after every update nothing is non-finite and the ball
// counts add up. 5 worlds x 2,000 updates by default; QUILL_SOAK_SEEDS and QUILL_SOAK_UPDATES set the long run.
TEST(SimSoak, RandomPlayKeepsEveryInvariant) {
    const char *seeds_set = std::getenv("QUILL_SOAK_SEEDS"), *updates_set = std::getenv("QUILL_SOAK_UPDATES");
    const int seeds = seeds_set && std::atoi(seeds_set) > 0 ? std::atoi(seeds_set) : 5;
    const int updates = updates_set && std::atoi(updates_set) > 0 ? std::atoi(updates_set) : 2000;
    for (int seed = 1; seed <= seeds; ++seed) {
        auto world = generated_world(static_cast<unsigned>(seed));
        auto game = new_game(static_cast<unsigned>(seed) * 7919u);
        std::mt19937 rng(static_cast<unsigned>(seed));
        auto chance = [&](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; };
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        // A toggle presses for one pass, then holds until the next releases.
        auto toggle = [&](int32_t& state, double p) {
            const bool flip = chance(p);
            state = state == input_up ? (flip ? input_pressed : input_up) : flip ? input_up : input_held;
        };
        Input input = centred_input();  // 800 x 600
        float speed = 1.0f;
        for (int u = 0; u < updates; ++u) {
            for (int key : {key_w, key_a, key_s, key_d, key_up, key_down, key_left, key_right, key_space, key_q, key_e})
                toggle(input.key_state[key], 0.03);
            for (int button : {button_left, button_right}) toggle(input.mouse_button_state[button], 0.04);
            if (chance(0.1)) input.mouse_x = chance(0.1) ? pick(-800, 1600) : pick(300, 500);
            if (chance(0.1)) input.mouse_y = chance(0.1) ? pick(-600, 1200) : pick(225, 375);
            input.mouse_in_window = !chance(0.05);
            if (chance(0.05)) speed = std::uniform_real_distribution<float>(0.2f, 2.0f)(rng);
            update_game(*game, *world, input, speed);
            int kinds[2] = {0, 0};
            for (int i = 0; i < game->ball_count; ++i) ++kinds[game->balls[i].kind == Seeker];
            ASSERT_TRUE(kinds[0] == game->ball_kind_count[0] && kinds[1] == game->ball_kind_count[1] && all_finite(*game))
                << "seed " << seed << ", update " << u;
        }
    }
}

// While no surface moved, no body, view ray, limb or ball passed through one, at any speed, in random play
// under the ceiling with hands and feet busy.
TEST(SimCrossing, NoBodyOrSegmentCrossesASurfaceInRandomPlay) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        auto chance = [&](float p) { return std::uniform_real_distribution<float>(0, 1)(rng) < p; };
        auto world = generated_world(seed);
        for (auto& row : world->terrain_height)
            for (float& h : row) h = std::fmin(h + 17.0f, 21.0f);  // near the ceiling
        build_world_meshes(*world);
        auto game = new_game(seed), last = std::make_unique<Game>();
        const Game& g = *game;
        game->player_pos = game->camera_pos = vec3(11.0f, 23.0f, 20.0f);
        auto surfaces = [&] { return std::string((const char*)world->block_grid, sizeof world->block_grid) +
                                     std::string((const char*)world->terrain_height, sizeof world->terrain_height); };
        for (int u = 0; u < 700; ++u) {
            const int dy = (int)(rng() % 61) - 30, dx = (int)(rng() % 81) - 40;
            Input input{{}, {}, 320 + dx, 240 + dy, true, 640.0f, 480.0f};  // near the middle of a 640 x 480 view
            for (int key : {key_w, key_a, key_d, key_space}) input.key_state[key] = chance(0.5f) ? input_held : 0;
            input.key_state[key_e] = chance(0.02f) ? input_pressed : 0;
            input.mouse_button_state[button_left] = chance(0.1f) ? input_pressed : chance(0.8f) ? input_held : 0;
            input.mouse_button_state[button_right] = chance(0.3f) ? input_held : 0;
            const float speed = chance(0.5f) ? 2.0f : 0.2f + 1.8f * (float)(rng() % 1000) / 1000.0f;
            const std::string before = surfaces();
            *last = *game;
            update_game(*game, *world, input, speed);
            if (surfaces() != before) continue;  // an edit or a settling step moved the surfaces
            ASSERT_FALSE(crosses(*world, last->player_pos, g.player_pos, true)) << seed << " " << u;
            ASSERT_FALSE(crosses(*world, g.camera_pos, g.aim_point, false)) << seed << " " << u;
            for (int i = 0; i < 2; ++i) {
                ASSERT_FALSE(crosses(*world, g.arm_root[i], g.hand_pos[i], false)) << seed << " " << u;
                const bool placed = std::memcmp(&g.foot_pos[i], &last->foot_pos[i], sizeof(Vec3)) != 0;  // else planted
                EXPECT_FALSE(placed && crosses(*world, g.leg_root[i], g.foot_pos[i], false)) << seed << " " << u;
            }
            // Balls keep their order; only a removed seeker shifts the rest.
            const int seekers = last->ball_kind_count[Seeker];
            if (g.ball_kind_count[Seeker] < seekers + (seekers < max_seekers ? 1 : 0)) continue;
            for (int i = 0; i < last->ball_count; ++i)
                ASSERT_FALSE(crosses(*world, last->balls[i].pos, g.balls[i].pos, last->balls[i].kind == Seeker)) << seed << " " << u << " ball " << i;
        }
    }
}

// What a run decides: the world's own state, then the game's, field by field, with its live balls and chance.
static std::string run_bytes(const Game& g, const World& w) {
    std::string s = world_bytes(w);
    for (Vec3 p : game_vectors(g)) s += bytes_of(p);
    s += bytes_of(g.player_yaw, g.player_pitch, g.player_facing, g.swing_length, g.on_ground, g.flying, g.swinging,
                  g.foot_planted, g.action_type, g.ball_count, g.ball_kind_count, g.chance);
    return s.append(reinterpret_cast<const char*>(g.balls), sizeof(Ball) * static_cast<size_t>(g.ball_count));
}

// A run is its seed, inputs and steps alone: two games of one seed advanced in turn each end byte for byte as
// one advanced alone, flying off along -z through the walls' openings past seekers lost and spawned anew.
TEST(SimRun, InterleavedGamesEndAsOneAlone) {
    struct { std::unique_ptr<Game> game = new_game(7); std::unique_ptr<World> world = generated_world(7); } run[3];
    int spawns = 0;
    for (const auto& [first, last] : {std::pair{0, 0}, {1, 2}}) {  // game 0 alone, then games 1 and 2 in turn
        for (int u = 0; u < 1000; ++u) {
            Input in = centred_input();
            in.key_state[key_e] = u < 12 && u % 2 ? input_pressed : input_up;  // to Fly
            in.mouse_button_state[button_left] = input_held;
            spawns += run[first].game->ball_kind_count[Seeker] < max_seekers;
            for (int i = first; i <= last; ++i) update_game(*run[i].game, *run[i].world, in, u % 3 ? 1.6f : 0.7f);
        }
    }
    EXPECT_GT(spawns, 60);  // 46 in each pass
    for (int i : {1, 2}) EXPECT_TRUE(run_bytes(*run[i].game, *run[i].world) == run_bytes(*run[0].game, *run[0].world));
}
