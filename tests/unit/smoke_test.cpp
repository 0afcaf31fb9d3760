#include "sim/game.h"

#include <gtest/gtest.h>

TEST(Game, PlayerStartsAtCentre) {
    static Game game;
    place_player(game);
    EXPECT_EQ(game.player_pos.x, 25.0f);
    EXPECT_EQ(game.camera_pos.y, 10.0f);
}
