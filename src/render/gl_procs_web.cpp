// The browser's GL (Emscripten's emulation over WebGL) always has buffer
// objects, and declares them for direct calls: taken as they are, without a
// lookup by name.
#define GL_GLEXT_PROTOTYPES
#include "render/gl_procs.h"

GlProcs gl_procs;

void load_gl_procs() {
    gl_procs.gen_buffers = glGenBuffers;
    gl_procs.bind_buffer = glBindBuffer;
    gl_procs.buffer_data = glBufferData;
    gl_procs.buffer_sub_data = glBufferSubData;
    ++gl_procs.context;
}
