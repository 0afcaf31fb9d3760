// What sets the platforms apart, a few lines each: the page in a browser,
// Windows, and Linux. The shared platform files read these facts rather than
// keeping a copy of themselves per platform; a call that one platform alone
// has sits in its twin file (host_web.cpp) or behind an #ifdef of a line or
// two. A new platform adds its block here.
#pragma once

#include "app/controls.h"
#include "render/scene.h"

#if defined(__EMSCRIPTEN__)
// The browser's SDL asks the Gamepad API only when the pad is read, so it is
// read as it stands each pass, in that API's standard layout: the right stick
// on axes 2 and 3, the triggers as buttons 6 and 7, start as 9 and the d-pad
// as 12 to 15.
constexpr bool platform_polls_pads = true;
constexpr PadLayout platform_pad_layout = {0, 1, 2, 3, {-1, -1}, 0, 2, 4, 5, 9, {6, 7}, 12};
// The page shows the canvas, and hands over input, whenever the game yields,
// not at the swap: a wait inside the pass would show half-drawn frames and
// clear the one the pause screen captures. So the pass waits after the swap.
constexpr bool platform_waits_after_swap = true;
// Every draw call is a round trip through the browser's command buffer and
// Emscripten's emulation of the fixed pipeline: runs of chunks make a pass a
// few dozen calls instead of about a thousand.
constexpr WorldDraw platform_world_draw = WorldDraw::chunk_runs;

#elif defined(_WIN32)
// SDL 1.2 queues a pad's changes as events and numbers a standard pad as the
// driver does: the right stick's x on axis 4 and y on 3, both triggers on
// axis 2, start as 7 and the d-pad as the hat.
constexpr bool platform_polls_pads = false;
constexpr PadLayout platform_pad_layout = {0, 1, 4, 3, {2, -1}, 0, 2, 4, 5, 7, {-1, -1}, -1};
// The window shows a frame at the swap, so the pass waits before it.
constexpr bool platform_waits_after_swap = false;
// The driver runs the vertex work itself, per vertex and not per call: runs
// would send it more vertices (whole rows of chunks) and change the picture,
// so each slot keeps its own call.
constexpr WorldDraw platform_world_draw = WorldDraw::slots_from_buffers;

#else
// As on Windows, but in the kernel's order: the right stick on axes 3 and 4,
// the triggers on 2 and 5, resting at -1.
constexpr bool platform_polls_pads = false;
constexpr PadLayout platform_pad_layout = {0, 1, 3, 4, {2, 5}, 0, 2, 4, 5, 7, {-1, -1}, -1};
constexpr bool platform_waits_after_swap = false;
constexpr WorldDraw platform_world_draw = WorldDraw::slots_from_buffers;
#endif
