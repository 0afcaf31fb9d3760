#include "render/scene.h"

#include "render/chunk_runs.h"
#include "render/entities.h"
#include "render/gl_quality.h"
#include "render/hud.h"
#include "render/matrix.h"
#include "render/gl_procs.h"
#include "render/world_buffers.h"
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

// The meshes of one set at chunk i, at the current matrix: from the set's
// copy in GL (chunk-local), or from client arrays when there is none.
void draw_slot_mesh(const MeshSetCopy* copy, const ChunkMesh* meshes, int i) {
    if (copy != nullptr) draw_chunk(*copy, meshes, i);
    else draw_mesh(meshes[i]);
}

// The sets a frame draws, and their copies in GL (all null for client
// arrays).
struct FrameSets {
    const ChunkMesh *terrain, *blocks, *falling, *water;
    MeshSetCopy *terrain_copy = nullptr, *block_copy = nullptr, *falling_copy = nullptr,
                *water_copy = nullptr;
};

// An open view draws the sets without what lies wholly under the ground.
FrameSets frame_sets(const World& world, bool open_view, bool buffers) {
    FrameSets sets = {world.terrain_meshes, open_view ? world.open_block_meshes : world.block_meshes,
                      world.falling_meshes, open_view ? world.open_water_meshes : world.water_meshes};
    if (buffers) {
        sets.terrain_copy = &world.terrain_copy;
        sets.block_copy = open_view ? &world.open_block_copy : &world.block_copy;
        sets.falling_copy = &world.falling_copy;
        sets.water_copy = open_view ? &world.open_water_copy : &world.water_copy;
    }
    return sets;
}

// The water is translucent: three quarters of its colour over what lies
// behind it.
void begin_water() {
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.75f);
}

void end_water() {
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void draw_solid_slots(const World& world, const FrameSets& sets, const Slot* slots, int count,
                      bool ground_first) {
    for (int n = 0; n < count; ++n) {
        int cx = slots[n].cx, cz = slots[n].cz;
        int i = slot_mesh_index(cx, cz);
        glPushMatrix();
        glTranslatef(slot_size * static_cast<float>(cx), 0.0f, slot_size * static_cast<float>(cz));
        if (ground_first) draw_slot_mesh(sets.terrain_copy, sets.terrain, i);
        draw_slot_mesh(sets.block_copy, sets.blocks, i);
        if (!ground_first) draw_slot_mesh(sets.terrain_copy, sets.terrain, i);
        glTranslatef(0.0f, -world.fall_offset, 0.0f);
        draw_slot_mesh(sets.falling_copy, sets.falling, i);
        glPopMatrix();
    }
}

void draw_water_slots(const FrameSets& sets, const SlotCulling& culling, int pcx, int pcz) {
    begin_water();
    for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
        for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
            if (!water_slot_visible(culling, cx, cz)) continue;
            glPushMatrix();
            glTranslatef(slot_size * static_cast<float>(cx), 0.0f,
                         slot_size * static_cast<float>(cz));
            draw_slot_mesh(sets.water_copy, sets.water, slot_mesh_index(cx, cz));
            glPopMatrix();
        }
    }
    end_water();
}

// The orders a plan's runs draw from.
void orders_of(const RunPlan& plan, bool& x_major, bool& z_major) {
    x_major = z_major = false;
    for (int n = 0; n < plan.count; ++n) (plan.runs[n].z_major ? z_major : x_major) = true;
}

void translate_to_copy(const ChunkRun& run) {
    const float copy_size = slot_size * 10.0f;
    glTranslatef(copy_size * static_cast<float>(run.copy_x), 0.0f,
                 copy_size * static_cast<float>(run.copy_z));
}

// The plans are a frame's worth, kept between frames so that drawing
// allocates nothing.
RunPlan solid_plan, water_plan;

// The world from its buffers (sets with their copies), in runs: the solid
// pass nearest first (or as listed), each run's ground before its blocks
// (or after), the falling blocks lowered; then the entities; then the water
// in the listed order.
void draw_world_runs(const World& world, const Game& game, const Models& models,
                     const SlotCulling& culling, const FrameSets& sets, const ViewOptions& options) {
    const int pcx = slot_of(game.player_pos.x), pcz = slot_of(game.player_pos.z);
    const Vec3 eye = game.camera_pos;
    plan_chunk_runs(culling, false, pcx, pcz, eye.x, eye.z,
                    options.solid_order == SlotOrder::nearest_first, true, solid_plan);
    // The water is sent every pass, so in the x-major order alone: a few
    // more calls, half the bytes.
    plan_chunk_runs(culling, true, pcx, pcz, eye.x, eye.z, false, false, water_plan);
    bool x_major, z_major;
    orders_of(solid_plan, x_major, z_major);
    const bool falling = any_vertex(sets.falling);
    sync_mesh_copy(*sets.terrain_copy, sets.terrain, x_major, z_major, true, true);
    sync_mesh_copy(*sets.block_copy, sets.blocks, x_major, z_major, false, true);
    if (falling) sync_mesh_copy(*sets.falling_copy, sets.falling, x_major, z_major, false, true);
    for (int n = 0; n < solid_plan.count; ++n) {
        const ChunkRun& run = solid_plan.runs[n];
        glPushMatrix();
        translate_to_copy(run);
        if (options.ground_first) draw_chunk_run(*sets.terrain_copy, sets.terrain, run);
        draw_chunk_run(*sets.block_copy, sets.blocks, run);
        if (!options.ground_first) draw_chunk_run(*sets.terrain_copy, sets.terrain, run);
        if (falling) {
            glTranslatef(0.0f, -world.fall_offset, 0.0f);
            draw_chunk_run(*sets.falling_copy, sets.falling, run);
        }
        glPopMatrix();
    }
    end_chunk_runs();
    draw_entities(game, models);

    orders_of(water_plan, x_major, z_major);
    sync_mesh_copy(*sets.water_copy, sets.water, x_major, z_major, true, true);
    begin_water();
    for (int n = 0; n < water_plan.count; ++n) {
        glPushMatrix();
        translate_to_copy(water_plan.runs[n]);
        draw_chunk_run(*sets.water_copy, sets.water, water_plan.runs[n]);
        glPopMatrix();
    }
    end_water();
    end_chunk_runs();
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

void draw_world_view(const World& world, const Game& game, const Models& models,
                     const Screen& screen, const ViewOptions& options) {
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, world.world_texture);
    // The 2D passes of the previous frame may have left another colour, and
    // the texture is modulated by it.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    apply_camera(game, screen, screen.field_of_view);
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    const SlotCulling culling =
        make_slot_culling(projection, modelview, options.skip_beyond_fog, fog_end);
    set_fog();

    // The farthest point of the near plane from the eye (the near plane lies
    // 1 unit ahead): ground farther than that is never cut away by it, so
    // from above it hides all that lies below it.
    const float half_height = std::tan(screen.field_of_view * 0.5f * 3.14159265f / 180.0f);
    const float half_width = half_height * screen.aspect_ratio;
    const float near_corner = std::sqrt(1.0f + half_height * half_height + half_width * half_width);
    const Vec3 eye = game.camera_pos;
    const bool open_view = options.skip_buried &&
                           ground_clear_of(world, eye.x, eye.y, eye.z, near_corner * 1.01f);

    const bool buffers = options.world_draw != WorldDraw::client_arrays && gl_has_buffers();
    const FrameSets sets = frame_sets(world, open_view, buffers);
    if (buffers && options.world_draw == WorldDraw::chunk_runs) {
        draw_world_runs(world, game, models, culling, sets, options);
    } else {
        if (buffers) {
            sync_mesh_copy(*sets.terrain_copy, sets.terrain, true, false, true, false);
            sync_mesh_copy(*sets.block_copy, sets.blocks, true, false, false, false);
            sync_mesh_copy(*sets.falling_copy, sets.falling, true, false, false, false);
        }
        int pcx = slot_of(game.player_pos.x);
        int pcz = slot_of(game.player_pos.z);
        // The slots to draw, in drawing order; one frame's worth, kept between
        // frames so that drawing allocates nothing.
        static Slot slots[slot_window_count];
        int count = solid_slots_in_order(culling, pcx, pcz, game.camera_pos.x, game.camera_pos.z,
                                         options.solid_order, slots);
        draw_solid_slots(world, sets, slots, count, options.ground_first);
        end_chunk_runs();
        draw_entities(game, models);
        if (buffers) sync_mesh_copy(*sets.water_copy, sets.water, true, false, true, false);
        draw_water_slots(sets, culling, pcx, pcz);
        end_chunk_runs();
    }

    glDisable(GL_FOG);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

void render_scene(const World& world, const Game& game, const Models& models,
                  const Screen& screen, Atlas2D& atlas, float fps) {
    draw_world_view(world, game, models, screen, ViewOptions());
    draw_hud(atlas, screen, fps, game.action_type);
}
