// The pause screen: whether the menu is wanted, how far it has come in, the
// still image behind it, and the menu with its three buttons.
#pragma once

#include "render/draw2d.h"
#include "render/screen.h"
#include "sim/input.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct PauseState {
    bool pause_open = false;  // the menu is wanted
    float pause_fade = 0.0f;  // 0 gone (the game runs) .. 100 fully in
    // The last running frame, RGBA, bottom row first.
    std::unique_ptr<uint8_t[]> frozen_frame;
    int frame_width = 0, frame_height = 0;
};

// Fades the menu out and allocates the still image for the window's size.
void reset_pause_state(PauseState& pause, const Screen& screen);

// Escape toggles the menu; captures or redraws the still image; moves the
// fade by 5 * rate.
void pause_overlay_step(PauseState& pause, const Input& input, float rate);

// Draws the three buttons and acts on a click.
void draw_pause_menu(PauseState& pause, const Input& input, const Atlas2D& atlas,
                     const Screen& screen, bool& quit_requested);
