// The GL entry points past OpenGL 1.1, which Windows' opengl32 does not
// export: looked up through SDL after each window's context is made (the
// browser's GL gives them directly). Include only from platform files.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

struct GlProcs {
    // The buffer objects of OpenGL 1.5 or GL_ARB_vertex_buffer_object; all
    // null when the driver offers neither.
    PFNGLGENBUFFERSPROC gen_buffers = nullptr;
    PFNGLBINDBUFFERPROC bind_buffer = nullptr;
    PFNGLBUFFERDATAPROC buffer_data = nullptr;
    PFNGLBUFFERSUBDATAPROC buffer_sub_data = nullptr;
    // Counts the contexts the entry points were loaded for: GL names made
    // under an earlier count went with that context.
    uint32_t context = 0;
};

// The one set, for the current context.
extern GlProcs gl_procs;

// Loads gl_procs for the context just made current, and counts it. Call
// after every SDL_SetVideoMode that makes a GL context.
void load_gl_procs();

inline bool gl_has_buffers() { return gl_procs.buffer_sub_data != nullptr; }
