#include "sim/game.h"

void place_player(Game& game) {
    game.player_pos = {25.0f, 10.0f, 25.0f};
    game.camera_pos = {25.0f, 10.0f, 25.0f};
}
