#include "render/scene.h"

#include "render/gl_procs.h"
#include "render/gl_quality.h"
#include "render/hud.h"
#include "render/matrix.h"
#include "world/mesh.h"

#include <GL/glu.h>

#include <cmath>

namespace {

// Empty chunks are common (open air); a draw of nothing is skipped.
void draw_mesh(const ChunkMesh& mesh) {
    if (mesh.vertex_count == 0) return;
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.get());
    glTexCoordPointer(2, GL_FLOAT, 0, mesh.texcoords.get());
    glDrawArrays(GL_QUADS, 0, mesh.vertex_count);
}

void set_fog() {
    static const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_START, fog_start);
    glFogf(GL_FOG_END, fog_end);
    set_fog_hint();
    glEnable(GL_FOG);
}

// One set as a frame draws it: its meshes, and its copy in GL (null for
// client arrays).
struct SetToDraw {
    const ChunkMesh* meshes;
    MeshSetCopy* copy;
};

// The sets a frame draws. An open view draws the sets without what lies
// wholly under the ground.
struct FrameSets {
    SetToDraw terrain, blocks, falling, water;
};

FrameSets frame_sets(Renderer& r, const World& world, bool open_view, bool buffers) {
    auto set = [&](const ChunkMesh* meshes, MeshSetCopy& copy) {
        return SetToDraw{meshes, buffers ? &copy : nullptr};
    };
    return {set(world.terrain_meshes, r.terrain_copy),
            open_view ? set(world.open_block_meshes, r.open_block_copy)
                      : set(world.block_meshes, r.block_copy),
            set(world.falling_meshes, r.falling_copy),
            open_view ? set(world.open_water_meshes, r.open_water_copy)
                      : set(world.water_meshes, r.water_copy)};
}

void sync(const SetToDraw& set, const Handover& handover) {
    if (set.copy != nullptr) sync_mesh_copy(*set.copy, set.meshes, handover);
}

// A run of a set at the current matrix: from the set's copy in GL, or, a
// call a slot, from client arrays when there is none.
void draw_run(const SetToDraw& set, const ChunkRun& run) {
    if (set.copy != nullptr) draw_chunk_run(*set.copy, set.meshes, run);
    else draw_mesh(set.meshes[run.first]);
}

void translate_to(const ChunkRun& run) {
    glTranslatef(slot_size * static_cast<float>(run.slot_x), 0.0f,
                 slot_size * static_cast<float>(run.slot_z));
}

// Each run's ground, then its blocks, then its falling blocks lowered by the
// fall so far.
void draw_solids(const World& world, const FrameSets& sets, const RunPlan& plan) {
    for (int n = 0; n < plan.count; ++n) {
        const ChunkRun& run = plan.runs[n];
        glPushMatrix();
        translate_to(run);
        draw_run(sets.terrain, run);
        draw_run(sets.blocks, run);
        glTranslatef(0.0f, -world.fall_offset, 0.0f);
        draw_run(sets.falling, run);
        glPopMatrix();
    }
}

// The water is translucent: three quarters of its colour over what lies
// behind it.
void draw_water(const FrameSets& sets, const RunPlan& plan) {
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.75f);
    for (int n = 0; n < plan.count; ++n) {
        glPushMatrix();
        translate_to(plan.runs[n]);
        draw_run(sets.water, plan.runs[n]);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Whether the eye sees the ground from above and from beyond the near plane:
// the block faces and water quads wholly below the ground are then left out,
// for the ground hides them, yet llvmpipe would still rasterise and
// depth-test them.
bool open_view_of(const World& world, const Game& game, const Screen& screen) {
    // The farthest point of the near plane from the eye (the near plane lies
    // 1 unit ahead): ground farther than that is never cut away by it.
    const float half_height = std::tan(screen.field_of_view * 0.5f * 3.14159265f / 180.0f);
    const float half_width = half_height * screen.aspect_ratio;
    const float near_corner = std::sqrt(1.0f + half_height * half_height + half_width * half_width);
    const Vec3 eye = game.camera_pos;
    return ground_clear_of(world, eye.x, eye.y, eye.z, near_corner * 1.01f);
}

}  // namespace

void apply_camera(const Game& game, const Screen& screen, float fov_degrees) {
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov_degrees, screen.aspect_ratio, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(to_degrees(game.player_pitch), 1.0f, 0.0f, 0.0f);
    glRotatef(to_degrees(game.player_yaw), 0.0f, 1.0f, 0.0f);
    glTranslatef(-game.camera_pos.x, -game.camera_pos.y, -game.camera_pos.z);
}

void draw_world_view(Renderer& r, const World& world, const Game& game, const Models& models,
                     const Screen& screen) {
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, r.world_texture);
    // The 2D passes of the previous frame may have left another colour, and
    // the texture is modulated by it.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    apply_camera(game, screen, screen.field_of_view);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // Slots wholly past the fog's end are not drawn: they could only paint
    // black over black.
    const SlotCulling culling = make_slot_culling(projection, modelview, true, fog_end);
    set_fog();

    const bool buffers = r.world_draw != WorldDraw::client_arrays && gl_has_buffers();
    const bool runs = buffers && r.world_draw == WorldDraw::chunk_runs;
    const FrameSets sets = frame_sets(r, world, open_view_of(world, game, screen), buffers);
    const int pcx = slot_of(game.player_pos.x), pcz = slot_of(game.player_pos.z);
    const Vec3 eye = game.camera_pos;
    auto plan = runs ? plan_chunk_runs : plan_slot_runs;

    // The solids nearest first, then the entities, then the water, each pass
    // with its copies brought up to date first.
    plan(culling, false, pcx, pcz, eye.x, eye.z, r.solid_plan);
    const Handover solid = handover_for(r.solid_plan, runs);
    sync(sets.terrain, solid), sync(sets.blocks, solid), sync(sets.falling, solid);
    draw_solids(world, sets, r.solid_plan);
    if (buffers) end_chunk_runs();
    draw_entities(r.models_copy, game, models);

    plan(culling, true, pcx, pcz, eye.x, eye.z, r.water_plan);
    sync(sets.water, handover_for(r.water_plan, runs));
    draw_water(sets, r.water_plan);
    if (buffers) end_chunk_runs();

    glDisable(GL_FOG);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

void render_scene(Renderer& renderer, const World& world, const Game& game, const Models& models,
                  const Screen& screen, Atlas2D& atlas, float fps) {
    draw_world_view(renderer, world, game, models, screen);
    draw_hud(atlas, screen, fps, game.action_type);
}
