// The balls: seekers home in, keep apart and are pushed off the body; shot balls stop dead where they
// meet the world; removals keep the order.
#include "sim/balls.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

// At most five seekers; one spawned 90 away arrives after about 880 updates and hovers; one 1.0 away
// is set to 1.35.
TEST(SimBalls, SeekersSpawnArriveAndArePushedOff) {
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
}

// Seekers closer than 2 are set exactly 2 apart; two on one point (seeker 3 waits where seeker 2 moves
// to) part along x; one on the player's centre stays finite. A seeker near a shot ball and a lost one
// are removed, the later records move down in order and the next one still takes its turn.
TEST(SimBalls, SeekersPartAndRemovalsKeepTheOrder) {
    auto world = new_world();
    auto game = new_game();
    game->player_pos = vec3(25.0f, 12.5f, 25.0f);
    for (Vec3 p : {vec3(70.0f, 30.0f, 25.4f), vec3(70.3f, 30.5f, 25.8f), vec3(70.0f, 12.5f, 25.0f), vec3(70.0f - 0.1f, 12.5f, 25.0f), game->player_pos})
        add_ball(*game, Seeker, p, Vec3{});
    update_balls(*game, *world, 1.0f);
    ASSERT_TRUE(all_finite(*game));
    EXPECT_NEAR(length(game->balls[0].pos - game->balls[1].pos), 2.0f, 1e-5f);
    EXPECT_NEAR(game->balls[2].pos.x, 70.9f, 1e-5f);
    EXPECT_NEAR(game->balls[3].pos.x, 68.8f, 1e-5f);
    EXPECT_GT(length(game->balls[4].pos - game->player_pos), 0.5f);

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
}

// One thrown up under a block stops against its underside; one thrown up in the open falls back and
// stops on the ground.
TEST(SimBalls, ShotBallsStopWhereTheyMeetTheWorld) {
    auto world = new_world();
    auto game = new_game();
    world->block_grid[25][8][25] = 1;
    build_world_meshes(*world);
    add_ball(*game, ShotBall, vec3(25.3f, 7.0f, 25.6f), vec3(0.0f, 0.75f, 0.0f));
    add_ball(*game, ShotBall, vec3(30.3f, 5.0f, 25.6f), vec3(0.0f, 0.3f, 0.0f));
    float top = 0.0f;
    for (int i = 0; i < 200; ++i, top = std::fmax(top, game->balls[1].pos.y)) update_balls(*game, *world, 1.0f);
    EXPECT_GT(top, 9.0f);
    EXPECT_FLOAT_EQ(game->balls[0].pos.y, 8.0f);
    EXPECT_TRUE(game->balls[1].pos.y == 0.0f && std::fabs(game->balls[1].pos.x - 30.3f) < 1e-5f);
    EXPECT_EQ(length(game->balls[0].vel) + length(game->balls[1].vel), 0.0f);
}
