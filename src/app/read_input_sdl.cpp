#include "app/read_input.h"

void read_input(Input&, const Screen&) {}
void refresh_mouse_focus(Input&) {}
