// The window as obtained: size, depth and the projection's constants. Set
// once by the video set-up and read by every piece of drawing and layout.
#pragma once

struct Screen {
    float width = 0.0f, height = 0.0f;  // pixels
    int bpp = 0;                        // bits per pixel of the surface
    float aspect_ratio = 0.0f;          // width / height
    float field_of_view = 45.0f;        // vertical, degrees
};
