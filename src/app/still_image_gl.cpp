#include "app/pause.h"

#include <GL/gl.h>

// RGBA rows are whole 4-byte words, so alignment 4 adds no padding and the
// buffer's size is exactly width * height * 4.

void capture_still_image(PauseState& pause) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, pause.frame_width, pause.frame_height, GL_RGBA, GL_UNSIGNED_BYTE,
                 pause.frozen_frame.get());
}

void redraw_still_image(PauseState& pause) {
    // The image must arrive unchanged; every drawing operation leaves these
    // off, this only makes sure of it.
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glDrawPixels(pause.frame_width, pause.frame_height, GL_RGBA, GL_UNSIGNED_BYTE,
                 pause.frozen_frame.get());
}
