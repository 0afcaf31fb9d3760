#include "render/gl_procs.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

GlProcs gl_procs;

namespace {

// The context's version is at least major.minor.
bool version_at_least(int major, int minor) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int have_major = 0, have_minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &have_major, &have_minor) != 2) return false;
    return have_major > major || (have_major == major && have_minor >= minor);
}

// Whole words of the extension string only: a name may be the start of another.
bool has_extension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = list; at != nullptr && (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return true;
    }
    return false;
}

template <typename Proc>
void load(Proc& proc, const char* name, const char* suffix) {
    char full[64];
    std::snprintf(full, sizeof full, "%s%s", name, suffix);
    proc = reinterpret_cast<Proc>(SDL_GL_GetProcAddress(full));
}

}  // namespace

void load_gl_procs() {
    const uint32_t context = gl_procs.context + 1;
    gl_procs = GlProcs();
    gl_procs.context = context;
    const char* suffix = version_at_least(1, 5) ? "" : has_extension("GL_ARB_vertex_buffer_object") ? "ARB" : nullptr;
    if (suffix == nullptr) return;
    GlProcs found;
    found.context = context;
    load(found.gen_buffers, "glGenBuffers", suffix);
    load(found.bind_buffer, "glBindBuffer", suffix);
    load(found.buffer_data, "glBufferData", suffix);
    load(found.buffer_sub_data, "glBufferSubData", suffix);
    // All or none, so that gl_has_buffers answers for the set.
    if (found.gen_buffers && found.bind_buffer && found.buffer_data && found.buffer_sub_data) gl_procs = found;
}
