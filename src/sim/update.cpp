#include "sim/update.h"

void update_game(Game&, World&, const Input&, float) {}
