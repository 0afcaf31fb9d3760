#include "sim/update.h"

#include "sim/actions.h"
#include "sim/balls.h"
#include "sim/player.h"
#include "world/settle.h"
#include "world/water.h"

#include <cmath>

void update_game(Game& game, World& world, const Input& input, float speed) {
    // The velocity is the displacement divided by speed: a zero or NaN
    // factor would turn the player into NaN for good.
    if (std::isnan(speed)) speed = 1.0f;
    speed = std::fmin(std::fmax(speed, 0.2f), 2.0f);

    animate_water(world, speed);
    advance_falling(world, speed);

    Intent intent = read_intent(input);
    select_action(game, input);
    move_player(game, world, intent, speed);
    place_body(game, world);
    mouse_look(game, input, speed);
    const Vec3 view = place_view(game, world, input);

    apply_action(game, world, input, view, speed);

    spawn_seeker(game);
    update_balls(game, world, speed);
}
