// The pause screen: whether the menu is wanted, how far it has come in, the
// still image behind it, and the menu with its three buttons. The decisions
// and the layout are pure (pause.cpp); pause_overlay.cpp has the still image
// read and redrawn and draws the buttons.
#pragma once

#include "render/draw2d.h"
#include "render/screen.h"
#include "sim/input.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct PauseState {
    bool pause_open = false;  // the menu is wanted
    float pause_fade = 0.0f;  // 0 gone (the game runs) .. 100 fully in, steps of 5
    // The last running frame, RGBA, bottom row first, frame_width x
    // frame_height pixels; allocated once by reset_pause_state.
    std::unique_ptr<uint8_t[]> frozen_frame;
    int frame_width = 0, frame_height = 0;
    uint32_t still_texture = 0;  // the browser build's copy of it as a GL texture
};

// Bytes of a still image of width x height RGBA pixels, in integer
// arithmetic so that no large window can come out short.
size_t frozen_frame_bytes(int width, int height);

// What the overlay step has to do with the still image in this pass.
struct PauseStep {
    bool capture = false;  // read the freshly rendered frame into frozen_frame
    bool redraw = false;   // draw frozen_frame over the window
};

// The state part of the overlay step: Escape toggles pause_open (a capture
// only when opening from a running game), the redraw is due when the fade
// was not 0 before this pass, then the fade moves 5 * rate towards 100 or 0
// and is held in [0, 100] (NaN becomes 0).
PauseStep advance_pause(PauseState& pause, bool escape_pressed, float rate);

// Menu layout: centre x of the button column, and the first button's
// centre y, sliding from below the window (fade 0) to its place (fade 100).
int menu_column_x(const Screen& screen);
int menu_first_button_y(const Screen& screen, float pause_fade);
constexpr int menu_button_spacing = 50;
constexpr int menu_button_width = 300;
constexpr int menu_button_height = 15;

// A button's rectangle: (x, y) is its corner, or its centre when centred.
struct ButtonRect {
    int left = 0, top = 0, width = 0, height = 0;
};
ButtonRect button_rect(int x, int y, int width, int height, bool centred);

// True when the pointer is on the button or within 13 pixels of it on any
// side.
bool button_hovered(const ButtonRect& rect, int mouse_x, int mouse_y);

// Pen position of a label centred on its button.
void button_label_pen(const ButtonRect& rect, const char* label, int& pen_x, int& pen_y);

// Drawing (pause_overlay.cpp, through still_image_gl.cpp and draw2d_gl.cpp).

// Menu gone, not wanted; allocates the still image for the window's size.
void reset_pause_state(PauseState& pause, const Screen& screen);

// Escape toggles the menu; captures the back buffer when opening from a
// running game, otherwise redraws the still image while the menu shows;
// moves the fade by 5 * rate. Call once per pass after pace_frame.
void pause_overlay_step(PauseState& pause, const Input& input, float rate);

// Reads the back buffer into frozen_frame (still_image_gl.cpp, or
// still_image_web.cpp where the browser keeps it as a texture too).
void capture_still_image(PauseState& pause);

// Draws frozen_frame over the whole window, pixel for pixel. Depth test,
// fog, texturing, blending and the alpha test are left off.
void redraw_still_image(PauseState& pause);

// Draws a panel button with its label; true when the left button was
// pressed over it in this pass.
bool menu_button(Atlas2D& atlas, const Screen& screen, const Input& input, int x, int y,
                 int width, int height, bool centred, bool hover, const char* label);

// Draws the three buttons and acts on a click: "Resume game" closes the
// menu, "Exit" sets quit_requested, "Save screenshot" writes the still
// image to the working directory at once.
void draw_pause_menu(PauseState& pause, const Input& input, Atlas2D& atlas,
                     const Screen& screen, bool& quit_requested);
