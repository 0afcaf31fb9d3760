// The browser has no glDrawPixels: the still image goes into a texture when
// it is captured and is drawn as one quad over the window, sampled texel for
// pixel.
#include "app/pause.h"

#include <GL/gl.h>
#include <GL/glu.h>

void capture_still_image(PauseState& pause) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, pause.frame_width, pause.frame_height, GL_RGBA, GL_UNSIGNED_BYTE,
                 pause.frozen_frame.get());

    if (pause.still_texture == 0) glGenTextures(1, &pause.still_texture);
    glBindTexture(GL_TEXTURE_2D, pause.still_texture);
    // Nearest texels and clamped edges: the only kind a texture of any size
    // may be in WebGL, and the one that keeps every pixel as it was.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pause.frame_width, pause.frame_height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pause.frozen_frame.get());
}

void redraw_still_image(PauseState& pause) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    // Window pixels with y up, as the image's rows run from the bottom.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float w = static_cast<float>(pause.frame_width);
    const float h = static_cast<float>(pause.frame_height);
    gluOrtho2D(0.0, w, 0.0, h);

    const float vertices[8] = {0, 0, w, 0, w, h, 0, h};
    const float texcoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pause.still_texture);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, texcoords);
    glDrawArrays(GL_QUADS, 0, 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
}
