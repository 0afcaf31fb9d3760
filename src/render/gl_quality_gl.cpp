#include "render/gl_quality.h"

#include <GL/gl.h>
#include <GL/glext.h>  // GL_MULTISAMPLE, past Windows' GL 1.1

void set_quality_state(bool antialiasing) {
    glShadeModel(GL_SMOOTH);
    if (antialiasing) {
        glEnable(GL_MULTISAMPLE);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POLYGON_SMOOTH);
    }
}

void set_fog_hint() {
    glHint(GL_FOG_HINT, GL_DONT_CARE);
}
