// The renderer's culling on the CPU against what GL itself draws through the game's camera.
#include "gl_support.h"
#include "render/chunk_runs.h"
#include "render/frustum.h"
#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

float square(float v) { return v * v; }
float side(const float q[4], Vec3 p) { return q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3]; }

// Which of the points GL keeps when it draws each as a point: its feedback of the clipped points.
std::vector<bool> drawn_by_gl(const std::vector<Vec3>& points) {
    std::vector<float> feedback(points.size() * 6);
    glFeedbackBuffer(GLsizei(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    for (size_t i = 0; i < points.size(); ++i) {
        glPassThrough(float(i));
        glBegin(GL_POINTS), glVertex3f(points[i].x, points[i].y, points[i].z), glEnd();
    }
    const int n = glRenderMode(GL_RENDER);
    std::vector<bool> drawn(points.size());
    for (int k = 0; k < n; k += feedback[k] == GL_PASS_THROUGH_TOKEN ? 2 : 4)
        if (feedback[k] == GL_POINT_TOKEN) drawn[size_t(feedback[k - 1])] = true;
    return drawn;
}

}  // namespace

using Camera = GlTest;

// A point the frustum holds is drawn and one it does not is not; a slot showing any drawn point of its column
// is drawn, and one skipped for the fog lies wholly past its end. A call a slot draws the solid pass's slots
// nearest the eye first.
TEST_F(Camera, CullingAgreesWithWhatGlDraws) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1), level(-0.17f, 0.17f), pitch(-1.55f, 1.55f), yaw(0, 6.3f), xz(-300, 300);
    int culled = 0, skipped = 0, shown = 0;
    for (int n = 0; n < 16; ++n) {
        Game game;  // half the views near level, where fog skips
        game.camera_pos = {xz(random), 30 * unit(random), xz(random)};
        game.player_pitch = n % 2 ? pitch(random) : level(random), game.player_yaw = yaw(random);
        const Vec3 eye = game.camera_pos;
        apply_camera(game, screen, screen.field_of_view);
        float projection[16], modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection), glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        const int pcx = slot_of(eye.x + 1), pcz = slot_of(eye.z - 3);
        const SlotCulling all = make_slot_culling(projection, modelview, false, 125),
                          fog = make_slot_culling(projection, modelview, true, 125);
        std::vector<Vec3> points;
        for (int k = 0; k < 4000; ++k)
            points.push_back({slot_size * (pcx - slot_radius + 41 * unit(random)), 25 * unit(random),
                              slot_size * (pcz - slot_radius + 41 * unit(random))});
        const std::vector<bool> drawn = drawn_by_gl(points);
        for (size_t k = 0; k < points.size(); ++k) {
            const Vec3 p = points[k];
            float nearest = 1e9f;
            for (const auto& plane : all.frustum.planes) nearest = std::min(nearest, side(plane, p));
            if (std::fabs(nearest) < 1e-2f) continue;
            ASSERT_EQ(nearest > 0, drawn[k]) << n << ": " << p.x << " " << p.y << " " << p.z;
            if (!drawn[k]) continue;
            const int cx = slot_of(p.x), cz = slot_of(p.z), water = p.y < 5;
            const float depth = modelview[2] * p.x + modelview[6] * p.y + modelview[10] * p.z + modelview[14];
            shown++;
            ASSERT_TRUE(solid_slot_visible(all, cx, cz) && (!water || water_slot_visible(all, cx, cz)));
            ASSERT_TRUE(depth <= -125 || (solid_slot_visible(fog, cx, cz) && (!water || water_slot_visible(fog, cx, cz))));
        }
        int kept = 0;
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
                culled += !solid_slot_visible(all, cx, cz);
                kept += solid_slot_visible(fog, cx, cz);
                EXPECT_TRUE(solid_slot_visible(fog, cx, cz) || !water_slot_visible(fog, cx, cz));  // water lies inside
                if (solid_slot_visible(fog, cx, cz) || !solid_slot_visible(all, cx, cz)) continue;
                skipped++;
                for (int corner = 0; corner < 8; ++corner) {  // the column, with room for falling blocks
                    const float x = slot_size * (cx + corner % 2), y = corner & 2 ? 26.0f : -1.0f, z = slot_size * (cz + corner / 4);
                    EXPECT_LT(modelview[2] * x + modelview[6] * y + modelview[10] * z + modelview[14], -125.0f);
                }
            }
        }
        static RunPlan plan;  // a call a slot: each slot kept, at its place, nearest the eye first
        plan_slot_runs(fog, false, pcx, pcz, eye.x, eye.z, plan);
        auto distance = [&](const ChunkRun& r) { return square((r.slot_x + .5f) * 5 - eye.x) + square((r.slot_z + .5f) * 5 - eye.z); };
        ASSERT_EQ(plan.count, kept);
        for (int k = 0; k < plan.count; ++k) {
            const ChunkRun& run = plan.runs[k];
            ASSERT_TRUE(solid_slot_visible(fog, run.slot_x, run.slot_z) && run.first == slot_mesh_index(run.slot_x, run.slot_z) &&
                        (k == 0 || distance(plan.runs[k - 1]) <= distance(run)));
        }
        for (bool water : {false, true}) {  // runs of chunks hold each slot kept once, and nothing outside the window
            plan_chunk_runs(fog, water, pcx, pcz, eye.x, eye.z, plan);
            std::vector<int> held(41 * 41);
            for (const ChunkRun& run : std::vector<ChunkRun>(plan.runs, plan.runs + plan.count))
                for (int p = run.first, c = run_chunk(run.z_major, p); p <= run.last; c = run_chunk(run.z_major, ++p)) {
                    const int i = run.slot_x + c / 10 - pcx + 20, k = run.slot_z + c % 10 - pcz + 20;
                    ASSERT_TRUE(i >= 0 && i <= 40 && k >= 0 && k <= 40 && ++held[i * 41 + k] == 1) << i << " " << k;
                }
            for (int s = 0; s < 41 * 41; ++s)
                ASSERT_TRUE(held[s] || !(water ? water_slot_visible : solid_slot_visible)(fog, pcx - 20 + s / 41, pcz - 20 + s % 41));
        }
    }
    EXPECT_TRUE(culled > 16 * 200 && skipped > 10 && shown > 1000) << culled << " " << skipped << " " << shown;
}
