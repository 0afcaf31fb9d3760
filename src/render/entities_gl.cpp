#include "render/entities.h"

#include "render/limb.h"
#include "render/gl_procs.h"
#include "render/matrix.h"

namespace {

// Binds the models' copy in GL, making it first if this context has none
// yet, where GL has buffer objects. The models draw from it until
// unbind_model_copy.
void bind_model_copy(ModelsCopy& copy, const Models& models) {
    if (!gl_has_buffers()) return;
    if (copy.buffer != 0 && copy.context == gl_procs.context) {
        gl_procs.bind_buffer(GL_ARRAY_BUFFER, copy.buffer);
        return;
    }
    GLuint name = 0;
    gl_procs.gen_buffers(1, &name);
    copy.buffer = name;
    copy.context = gl_procs.context;
    constexpr int most = sphere_vertex_count * 2 + limb_vertex_count;
    float vertices[most * 5];
    int n = 0;
    for (const Model* model : {&models.sphere_model, &models.limb_model, &models.big_sphere_model}) {
        for (int v = 0; v < model->vertex_count && n < most; ++v, ++n) {
            for (int k = 0; k < 3; ++k) vertices[n * 5 + k] = model->positions[v * 3 + k];
            for (int k = 0; k < 2; ++k) vertices[n * 5 + 3 + k] = model->texcoords[v * 2 + k];
        }
    }
    gl_procs.bind_buffer(GL_ARRAY_BUFFER, copy.buffer);
    gl_procs.buffer_data(GL_ARRAY_BUFFER, n * 20, vertices, GL_STATIC_DRAW);
}

// One of the three models: from their copy in GL, bound, or from client
// arrays where GL has no buffer objects.
void draw_model(const Models& models, const Model& model) {
    if (!gl_has_buffers()) {
        glVertexPointer(3, GL_FLOAT, 0, model.positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, model.texcoords.data());
        glDrawArrays(GL_TRIANGLES, 0, model.vertex_count);
        return;
    }
    uintptr_t at = 0;
    if (&model != &models.sphere_model) at += static_cast<uintptr_t>(models.sphere_model.vertex_count) * 20;
    if (&model == &models.big_sphere_model) at += static_cast<uintptr_t>(models.limb_model.vertex_count) * 20;
    glVertexPointer(3, GL_FLOAT, 20, reinterpret_cast<const void*>(at));
    glTexCoordPointer(2, GL_FLOAT, 20, reinterpret_cast<const void*>(at + 12));
    glDrawArrays(GL_TRIANGLES, 0, model.vertex_count);
}

// Client arrays draw from memory again.
void unbind_model_copy() {
    if (gl_has_buffers()) gl_procs.bind_buffer(GL_ARRAY_BUFFER, 0);
}

void draw_model_at(const Models& models, const Model& model, const Vec3& at) {
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    draw_model(models, model);
    glPopMatrix();
}

// A model turned to the avatar's heading.
void draw_model_facing(const Models& models, const Model& model, const Vec3& at, float facing) {
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    glRotatef(to_degrees(-facing), 0.0f, 1.0f, 0.0f);
    draw_model(models, model);
    glPopMatrix();
}

// draw_limb with the models' copy already bound.
void draw_limb_bound(const Models& models, const Vec3& root, const Vec3& end, bool flip_when_raised) {
    LimbPose pose = limb_pose(root, end, flip_when_raised);
    glPushMatrix();
    glTranslatef(root.x, root.y, root.z);
    glRotatef(pose.yaw_degrees, 0.0f, 1.0f, 0.0f);
    if (pose.flipped) glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    draw_model(models, models.sphere_model);
    glRotatef(pose.upper_tilt_degrees, 1.0f, 0.0f, 0.0f);
    glRotatef(pose.upper_bend_degrees, 1.0f, 0.0f, 0.0f);
    draw_model(models, models.limb_model);
    glTranslatef(0.0f, -1.0f, 0.0f);
    glRotatef(pose.lower_fold_degrees, 1.0f, 0.0f, 0.0f);
    glRotatef(pose.lower_reach_degrees, 1.0f, 0.0f, 0.0f);
    draw_model(models, models.limb_model);
    glPopMatrix();
}

}  // namespace

void draw_limb(ModelsCopy& copy, const Models& models, const Vec3& root, const Vec3& end,
               bool flip_when_raised) {
    bind_model_copy(copy, models);
    draw_limb_bound(models, root, end, flip_when_raised);
    unbind_model_copy();
}

void draw_entities(ModelsCopy& copy, const Game& game, const Models& models) {
    bind_model_copy(copy, models);
    int ball_count = game.ball_count;
    if (ball_count < 0) ball_count = 0;
    if (ball_count > max_balls) ball_count = max_balls;
    for (int n = 0; n < ball_count; ++n) {
        const Ball& ball = game.balls[n];
        if (ball.kind == ShotBall) draw_model_at(models, models.sphere_model, ball.pos);
        else if (ball.kind == Seeker) draw_model_at(models, models.big_sphere_model, ball.pos);
    }

    draw_model_facing(models, models.sphere_model, game.head_pos, game.player_facing);

    // The torso is a limb turned over: its rod runs from a unit below the
    // chest up to the chest, its ball at the chest.
    glPushMatrix();
    glTranslatef(game.chest_pos.x, game.chest_pos.y - 1.0f, game.chest_pos.z);
    glRotatef(to_degrees(-game.player_facing), 0.0f, 1.0f, 0.0f);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    draw_model(models, models.limb_model);
    glPopMatrix();

    for (int i = 0; i < 2; ++i) draw_limb_bound(models, game.arm_root[i], game.hand_pos[i], true);
    draw_model_facing(models, models.sphere_model, game.hip_pos, game.player_facing);
    for (int i = 0; i < 2; ++i) draw_limb_bound(models, game.leg_root[i], game.foot_pos[i], false);

    draw_model_at(models, models.sphere_model, game.aim_point);

    if (game.swinging) {
        // 50 beads from the hand, the last one step short of the anchor.
        Vec3 bead = game.hand_pos[0];
        Vec3 step{(game.swing_anchor.x - bead.x) / 50.0f, (game.swing_anchor.y - bead.y) / 50.0f,
                  (game.swing_anchor.z - bead.z) / 50.0f};
        for (int k = 0; k < 50; ++k) {
            draw_model_at(models, models.sphere_model, bead);
            bead.x += step.x;
            bead.y += step.y;
            bead.z += step.z;
        }
    }
    unbind_model_copy();
}
