// The two HUD lines over the running game: the frame rate and the label of
// the selected action.
#pragma once

#include "render/draw2d.h"

// Label of an action type 0..6, for example "actiontype_fly".
const char* action_label(int action_type);

// Draws both lines in the top-left corner. Called last by render_scene.
void draw_hud(const Atlas2D& atlas, const Screen& screen, float fps, int action_type);
