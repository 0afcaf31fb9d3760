#include "sim/balls.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct Balls : ::testing::Test {
    std::unique_ptr<World> world = new_world();
    std::unique_ptr<Game> game = new_game();
    void SetUp() override { game->player_pos = vec3(25.0f, 12.5f, 25.0f); }

    float distance_to_player(int i) const { return length(game->balls[i].pos - game->player_pos); }
    void check_counts() const {
        int kinds[2] = {0, 0};
        for (int i = 0; i < game->ball_count; ++i) ++kinds[game->balls[i].kind];
        EXPECT_EQ(kinds[ShotBall], game->ball_kind_count[ShotBall]);
        EXPECT_EQ(kinds[Seeker], game->ball_kind_count[Seeker]);
    }
};

TEST_F(Balls, SeekersSpawnNinetyAwayUpToFive) {
    std::srand(7);
    for (int i = 0; i < 8; ++i) spawn_seeker(*game);
    ASSERT_EQ(game->ball_count, max_seekers);
    EXPECT_EQ(game->ball_kind_count[Seeker], max_seekers);
    for (int i = 0; i < game->ball_count; ++i) {
        const Ball& b = game->balls[i];
        EXPECT_EQ(b.kind, Seeker);
        EXPECT_EQ(b.pos.y, 12.5f);
        EXPECT_NEAR(std::hypot(b.pos.x - 25.0f, b.pos.z - 25.0f), 90.0f, 1e-4f);
    }
    EXPECT_NE(game->balls[0].pos.x, game->balls[1].pos.x);
}

TEST_F(Balls, SeekerArrivesAfterAbout880Updates) {
    add_ball(*game, Seeker, vec3(115.0f, 12.5f, 25.0f), Vec3{});
    int updates = 0;
    while (distance_to_player(0) > 2.0f + 1e-3f && updates < 2000) {
        update_balls(*game, *world, 1.0f);
        ++updates;
    }
    EXPECT_NEAR(updates, 880, 2);
    // Then it hovers at the player's reach instead of entering the body.
    for (int i = 0; i < 50; ++i) update_balls(*game, *world, 1.0f);
    EXPECT_GT(distance_to_player(0), 1.3f);
}

TEST_F(Balls, SeekerOneAwayIsPushedTo1_35) {
    add_ball(*game, Seeker, vec3(26.0f, 12.5f, 25.0f), Vec3{});
    update_balls(*game, *world, 1.0f);
    EXPECT_NEAR(distance_to_player(0), 1.35f, 1e-6f);
    EXPECT_EQ(game->player_pos.x, 25.0f);  // the player is not pushed
}

TEST_F(Balls, MeetingSeekersAreSetExactlyTwoApart) {
    add_ball(*game, Seeker, vec3(70.0f, 12.5f, 25.0f), Vec3{});
    add_ball(*game, Seeker, vec3(70.3f, 13.0f, 25.4f), Vec3{});
    update_balls(*game, *world, 1.0f);
    EXPECT_NEAR(length(game->balls[0].pos - game->balls[1].pos), 2.0f, 1e-5f);
}

TEST_F(Balls, SeekersOnOnePointPartInsteadOfTurningNaN) {
    add_ball(*game, Seeker, vec3(70.0f, 12.5f, 25.0f), Vec3{});
    add_ball(*game, Seeker, vec3(70.0f, 12.5f, 25.0f), Vec3{});
    update_balls(*game, *world, 1.0f);
    ASSERT_TRUE(all_finite(*game));
    EXPECT_NEAR(length(game->balls[0].pos - game->balls[1].pos), 2.0f, 1e-5f);
    EXPECT_EQ(game->ball_count, 2);
}

TEST_F(Balls, SeekerOnThePlayersCentreStaysFinite) {
    add_ball(*game, Seeker, game->player_pos, Vec3{});
    for (int i = 0; i < 3; ++i) {
        update_balls(*game, *world, 1.0f);
        ASSERT_TRUE(all_finite(*game));
    }
    EXPECT_EQ(game->ball_count, 1);
    EXPECT_GT(distance_to_player(0), 0.5f);
}

TEST_F(Balls, SeekerNearARestingShotBallIsRemoved) {
    add_ball(*game, ShotBall, vec3(50.0f, 12.5f, 25.0f), Vec3{});
    add_ball(*game, Seeker, vec3(51.3f, 12.5f, 25.0f), Vec3{});  // 1.2 away after its move
    add_ball(*game, Seeker, vec3(51.4f, 16.0f, 25.0f), Vec3{});  // out of reach
    update_balls(*game, *world, 1.0f);
    ASSERT_EQ(game->ball_count, 2);
    EXPECT_EQ(game->balls[0].kind, ShotBall);
    EXPECT_EQ(game->balls[0].pos.x, 50.0f);
    EXPECT_EQ(game->balls[1].kind, Seeker);
    EXPECT_NEAR(game->balls[1].pos.y, 16.0f, 0.1f);
    check_counts();
}

TEST_F(Balls, RemovalKeepsTheOrderAndVisitsTheNextRecord) {
    add_ball(*game, ShotBall, vec3(1.0f, 1.0f, 1.0f), Vec3{});
    add_ball(*game, Seeker, vec3(200.0f, 12.5f, 25.0f), Vec3{});  // lost: over 100 away
    add_ball(*game, ShotBall, vec3(2.0f, 2.0f, 2.0f), vec3(0.5f, 0.0f, 0.0f));
    add_ball(*game, Seeker, vec3(60.0f, 12.5f, 25.0f), Vec3{});
    add_ball(*game, ShotBall, vec3(3.0f, 3.0f, 3.0f), Vec3{});
    update_balls(*game, *world, 1.0f);
    ASSERT_EQ(game->ball_count, 4);
    EXPECT_EQ(game->balls[0].pos.x, 1.0f);
    EXPECT_EQ(game->balls[1].pos.x, 2.5f);  // moved in the same pass
    EXPECT_EQ(game->balls[1].vel.y, -0.01f);
    EXPECT_EQ(game->balls[2].kind, Seeker);
    EXPECT_NEAR(game->balls[2].pos.x, 59.9f, 1e-5f);
    EXPECT_EQ(game->balls[3].pos.x, 3.0f);
    check_counts();
}

TEST_F(Balls, ShotBallFallsAndStopsWhereItMeetsTheGround) {
    set_flat_ground(*world, 0.0f);
    add_ball(*game, ShotBall, vec3(25.3f, 5.0f, 25.6f), vec3(0.0f, 0.3f, 0.0f));
    float top = 0.0f;
    for (int i = 0; i < 200; ++i) {
        update_balls(*game, *world, 1.0f);
        top = std::fmax(top, game->balls[0].pos.y);
    }
    EXPECT_GT(top, 9.0f);
    EXPECT_EQ(game->balls[0].pos.y, 0.0f);
    EXPECT_EQ(game->balls[0].vel.y, 0.0f);
    EXPECT_NEAR(game->balls[0].pos.x, 25.3f, 1e-5f);
}

TEST_F(Balls, ShotBallSticksUnderABlock) {
    set_list(world->block_collision[5 * 10 + 5], cube_quads(0, 8, 0));  // cell (25, 8, 25)
    add_ball(*game, ShotBall, vec3(25.3f, 7.0f, 25.6f), vec3(0.0f, 0.75f, 0.0f));
    for (int i = 0; i < 10; ++i) update_balls(*game, *world, 1.0f);
    EXPECT_FLOAT_EQ(game->balls[0].pos.y, 8.0f);
    EXPECT_EQ(game->balls[0].vel.y, 0.0f);
}

TEST_F(Balls, FullArrayTakesNoSpawn) {
    for (int i = 0; i < max_balls; ++i) add_ball(*game, ShotBall, vec3(0.0f, 0.0f, 0.0f), Vec3{});
    EXPECT_FALSE(add_ball(*game, ShotBall, vec3(0.0f, 0.0f, 0.0f), Vec3{}));
    spawn_seeker(*game);
    EXPECT_EQ(game->ball_count, max_balls);
    EXPECT_EQ(game->ball_kind_count[Seeker], 0);
    check_counts();
}

}  // namespace
