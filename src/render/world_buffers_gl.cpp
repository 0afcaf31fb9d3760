#include "render/world_buffers.h"

#include "render/gl_procs.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int vertex_floats = 5;
constexpr int vertex_bytes = vertex_floats * 4;
// The most vertices one draw takes: the browser's GL turns quads into
// triangles through a list of 16-bit indices.
constexpr int max_draw_vertices = 65536;

// Where chunks are put together before they are sent: room for a set's worth
// of ordinary chunks in one call, and at least for the largest chunk.
float staging[1 << 18];
static_assert(sizeof staging / vertex_bytes >= max_chunk_grid_faces * 4, "a chunk fits");

// A stretch of room vertices for a mesh of count, with spare room where
// chunks change size, in whole quads: a chunk that outgrows its room has the
// whole set laid out and sent again (and the driver's storage made anew).
// Drawn a slot a call, the spare room is never drawn, so it is generous;
// in runs its empty quads are drawn too, so it is kept small.
int room_for(int count, bool fixed_size, bool baked) {
    if (fixed_size) return count;
    const int spare = baked ? count / 8 + 32 : count / 2 + 64;
    return (count + spare + 3) / 4 * 4;
}

void lay_out(MeshSetCopy& copy, const ChunkMesh* meshes, bool baked) {
    copy.baked = baked;
    int total = 0;
    for (int c = 0; c < chunk_count; ++c) {
        copy.room[c] = room_for(meshes[c].vertex_count, copy.fixed_size, baked);
        copy.first_x[c] = total;
        total += copy.room[c];
    }
    copy.total = total;
    int at = 0;
    for (int p = 0; p < chunk_count; ++p) {
        const int c = run_chunk(true, p);
        copy.first_z[c] = at;
        at += copy.room[c];
    }
    if (copy.buffer == 0 || copy.context != gl_procs.context) {
        GLuint name = 0;
        gl_procs.gen_buffers(1, &name);
        copy.buffer = name;
        copy.context = gl_procs.context;
    }
    gl_procs.bind_buffer(GL_ARRAY_BUFFER, copy.buffer);
    gl_procs.buffer_data(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(total) * 2 * vertex_bytes, nullptr,
                         copy.fixed_size ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    std::fill(copy.held_x, copy.held_x + chunk_count, 0u);
    std::fill(copy.held_z, copy.held_z + chunk_count, 0u);
}

// Chunk c's stretch, interleaved and moved to its place in the copy.
void stage_chunk(float* out, const ChunkMesh& mesh, int c, int room, bool baked) {
    const float ox = baked ? static_cast<float>(c / chunks_per_axis * chunk_size) : 0.0f;
    const float oz = baked ? static_cast<float>(c % chunks_per_axis * chunk_size) : 0.0f;
    const float* v = mesh.vertices.get();
    const float* t = mesh.texcoords.get();
    for (int n = 0; n < mesh.vertex_count; ++n, v += 3, t += 2, out += vertex_floats) {
        out[0] = v[0] + ox;
        out[1] = v[1];
        out[2] = v[2] + oz;
        out[3] = t[0];
        out[4] = t[1];
    }
    std::fill(out, out + static_cast<size_t>(room - mesh.vertex_count) * vertex_floats, 0.0f);
}

// Sends the stale chunks of one order, neighbours in one call each.
void send_order(MeshSetCopy& copy, const ChunkMesh* meshes, bool z_major) {
    uint32_t* held = z_major ? copy.held_z : copy.held_x;
    const int32_t* first = z_major ? copy.first_z : copy.first_x;
    const int base = z_major ? copy.total : 0;
    size_t staged = 0;
    int start = 0;
    auto send = [&] {
        if (staged == 0) return;
        gl_procs.buffer_sub_data(GL_ARRAY_BUFFER, static_cast<GLintptr>(start) * vertex_bytes,
                                 static_cast<GLsizeiptr>(staged * 4), staging);
        staged = 0;
    };
    for (int p = 0; p < chunk_count; ++p) {
        const int c = run_chunk(z_major, p);
        if (held[c] == meshes[c].revision + 1) {
            send();
            continue;
        }
        const size_t floats = static_cast<size_t>(copy.room[c]) * vertex_floats;
        if (staged + floats > sizeof staging / sizeof staging[0]) send();
        if (staged == 0) start = base + first[c];
        stage_chunk(staging + staged, meshes[c], c, copy.room[c], copy.baked);
        staged += floats;
        held[c] = meshes[c].revision + 1;
    }
    send();
}

void draw_vertices(int start, int count) {
    const uintptr_t at = static_cast<uintptr_t>(start) * vertex_bytes;
    glVertexPointer(3, GL_FLOAT, vertex_bytes, reinterpret_cast<const void*>(at));
    glTexCoordPointer(2, GL_FLOAT, vertex_bytes, reinterpret_cast<const void*>(at + 12));
    // From 0: the browser's GL takes the first vertex of a quad draw from
    // the pointers alone.
    glDrawArrays(GL_QUADS, 0, count);
}

}  // namespace

Handover handover_for(const RunPlan& plan, bool baked) {
    Handover handover;
    handover.baked = baked;
    for (int n = 0; n < plan.count; ++n) (plan.runs[n].z_major ? handover.z_major : handover.x_major) = true;
    return handover;
}

void sync_mesh_copy(MeshSetCopy& copy, const ChunkMesh* meshes, const Handover& handover) {
    bool fresh = copy.buffer == 0 || copy.context != gl_procs.context || copy.baked != handover.baked;
    for (int c = 0; c < chunk_count && !fresh; ++c) fresh = meshes[c].vertex_count > copy.room[c];
    if (fresh) lay_out(copy, meshes, handover.baked);
    else gl_procs.bind_buffer(GL_ARRAY_BUFFER, copy.buffer);
    if (handover.x_major) send_order(copy, meshes, false);
    if (handover.z_major) send_order(copy, meshes, true);
}

void draw_chunk_run(const MeshSetCopy& copy, const ChunkMesh* meshes, const ChunkRun& run) {
    const int32_t* first = run.z_major ? copy.first_z : copy.first_x;
    const int base = run.z_major ? copy.total : 0;
    int start = -1, end = 0;
    bool bound = false;  // at the first draw: most chunks of some sets are empty
    for (int p = run.first; p <= run.last; ++p) {
        const int c = run_chunk(run.z_major, p);
        const int count = meshes[c].vertex_count;
        if (count == 0) continue;
        const int from = base + first[c];
        if (start >= 0 && from + count - start > max_draw_vertices) {
            draw_vertices(start, end - start);
            start = -1;
        }
        if (!bound) gl_procs.bind_buffer(GL_ARRAY_BUFFER, copy.buffer), bound = true;
        if (start < 0) start = from;
        end = from + count;
    }
    if (start >= 0) draw_vertices(start, end - start);
}

void end_chunk_runs() {
    if (gl_has_buffers()) gl_procs.bind_buffer(GL_ARRAY_BUFFER, 0);
}
