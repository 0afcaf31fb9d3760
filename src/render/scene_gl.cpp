#include "render/scene.h"

#include "render/entities.h"
#include "render/gl_quality.h"
#include "render/hud.h"
#include "render/matrix.h"
#include "world/mesh.h"

#include <GL/gl.h>
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

void draw_solid_slots(const World& world, const ChunkMesh* block_meshes, const Slot* slots,
                      int count, bool ground_first) {
    for (int n = 0; n < count; ++n) {
        int cx = slots[n].cx, cz = slots[n].cz;
        int i = slot_mesh_index(cx, cz);
        glPushMatrix();
        glTranslatef(slot_size * static_cast<float>(cx), 0.0f, slot_size * static_cast<float>(cz));
        const ChunkMesh& ground = world.terrain_meshes[i];
        const ChunkMesh& blocks = block_meshes[i];
        draw_mesh(ground_first ? ground : blocks);
        draw_mesh(ground_first ? blocks : ground);
        glTranslatef(0.0f, -world.fall_offset, 0.0f);
        draw_mesh(world.falling_meshes[i]);
        glPopMatrix();
    }
}

void draw_water_slots(const ChunkMesh* meshes, const SlotCulling& culling, int pcx, int pcz) {
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.75f);
    for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
        for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
            if (!water_slot_visible(culling, cx, cz)) continue;
            glPushMatrix();
            glTranslatef(slot_size * static_cast<float>(cx), 0.0f,
                         slot_size * static_cast<float>(cz));
            draw_mesh(meshes[slot_mesh_index(cx, cz)]);
            glPopMatrix();
        }
    }
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
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

    int pcx = slot_of(game.player_pos.x);
    int pcz = slot_of(game.player_pos.z);
    // The slots to draw, in drawing order; one frame's worth, kept between
    // frames so that drawing allocates nothing.
    static Slot slots[slot_window_count];
    int count = solid_slots_in_order(culling, pcx, pcz, game.camera_pos.x, game.camera_pos.z,
                                     options.solid_order, slots);
    draw_solid_slots(world, open_view ? world.open_block_meshes : world.block_meshes, slots, count,
                     options.ground_first);
    draw_entities(game, models);
    draw_water_slots(open_view ? world.open_water_meshes : world.water_meshes, culling, pcx, pcz);

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
