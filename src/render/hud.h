// The two HUD lines over the running game: the frame rate and the label of
// the selected action, each boxed in a plain panel in the top-left corner.
#pragma once

#include "render/draw2d.h"

#include <cstddef>

constexpr int hud_text_centre_x = 160;

// Label of an action type 0..6, for example "actiontype_fly"; "" for any
// other value.
const char* action_label(int action_type);

// "frames per second: " followed by fps with six decimals.
void format_fps_line(char* out, size_t size, float fps);

// Draws both lines through draw2d (hud_draw.cpp). Called last by render_scene; leaves the 2D state of
// draw_text (depth test off, texturing, blending and arrays off).
void draw_hud(Atlas2D& atlas, const Screen& screen, float fps, int action_type);
