// The GL state that only asks for quality: the shading model, the fog hint,
// and multisampling with smoothed edges. Desktop GL takes all of it. The
// browser's WebGL rejects the hints, and its fixed-function emulation shades
// smoothly anyway and ignores the rest (multisampling there is the context's,
// asked for when the window opens), so the browser's twin makes no calls.
#pragma once

// Smooth shading, and with antialiasing multisampling and smoothed lines and
// polygons at their best hints. Call once, after the window opens.
void set_quality_state(bool antialiasing);

// Leaves the fog's quality to the driver. Call where the fog is set up.
void set_fog_hint();
