// The renderer's culling on the CPU, against clip space.
#include "render/chunk_runs.h"
#include "render/frustum.h"
#include "render/matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

const Mat4 projection = mat4_perspective(45.0, 1024.0 / 768.0, 1.0, 1000.0);
float square(float v) { return v * v; }
float side(const float q[4], Vec3 p) { return q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3]; }

// How far p lies inside each clip-space plane in the frustum's order, GL's way; [6] is the eye depth.
std::vector<float> inside_by(const Mat4& modelview, Vec3 p) {
    float eye[4] = {0, 0, 0, 0}, c[4] = {0, 0, 0, 0};
    for (int k = 0; k < 16; ++k) eye[k % 4] += modelview.m[k] * (k < 4 ? p.x : k < 8 ? p.y : k < 12 ? p.z : 1);
    for (int k = 0; k < 16; ++k) c[k % 4] += projection.m[k] * eye[k / 4];
    return {c[3] - c[0], c[3] + c[0], c[3] + c[1], c[3] - c[1], c[3] - c[2], c[3] + c[2], eye[2]};
}

}  // namespace

// A slot showing any point of its column is drawn; one skipped for the fog lies wholly past its end. Slots
// are listed cx outer, cz inner, both ascending, or nearest the eye first with ties in listed order.
TEST(Frustum, CullingAgreesWithClipSpace) {
    static Slot got[slot_window_count];
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0, 1), level(-10, 10), pitch(-89, 89), yaw(0, 360), xz(-300, 300);
    int culled = 0, skipped = 0, shown = 0;
    for (int n = 0; n < 16; ++n) {
        const Vec3 eye{xz(random), 30 * unit(random), xz(random)};  // half the views near level, where fog skips
        const Mat4 modelview = mat4_multiply(mat4_multiply(mat4_rotate(n % 2 ? pitch(random) : level(random), 1, 0, 0),
                                                           mat4_rotate(yaw(random), 0, 1, 0)),
                                             mat4_translate(-eye.x, -eye.y, -eye.z));
        const int pcx = slot_of(eye.x + 1), pcz = slot_of(eye.z - 3);
        const SlotCulling all = make_slot_culling(projection.m, modelview.m, false, 125),
                          fog = make_slot_culling(projection.m, modelview.m, true, 125);
        for (int k = 0; k < 4000; ++k) {
            const Vec3 p{slot_size * (pcx - slot_radius + 41 * unit(random)), 25 * unit(random),
                         slot_size * (pcz - slot_radius + 41 * unit(random))};
            const std::vector<float> by = inside_by(modelview, p);
            for (int i = 0; i < 6; ++i)  // every plane puts p on the side clip space does
                ASSERT_TRUE(std::fabs(by[i]) < 1e-2f || (side(all.frustum.planes[i], p) > 0) == (by[i] > 0)) << i;
            if (*std::min_element(by.begin(), by.begin() + 6) <= 1e-3f) continue;
            const int cx = slot_of(p.x), cz = slot_of(p.z), water = p.y < 5;
            shown++;
            ASSERT_TRUE(solid_slot_visible(all, cx, cz) && (!water || water_slot_visible(all, cx, cz)));
            ASSERT_TRUE(by[6] <= -125 || (solid_slot_visible(fog, cx, cz) && (!water || water_slot_visible(fog, cx, cz))));
        }
        std::vector<std::pair<int, int>> listed;
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
                culled += !solid_slot_visible(all, cx, cz);
                if (solid_slot_visible(fog, cx, cz)) listed.push_back({cx, cz});
                EXPECT_TRUE(solid_slot_visible(fog, cx, cz) || !water_slot_visible(fog, cx, cz));  // water lies inside
                if (solid_slot_visible(fog, cx, cz) || !solid_slot_visible(all, cx, cz)) continue;
                skipped++;
                for (int corner = 0; corner < 8; ++corner)  // the column, with room for falling blocks
                    EXPECT_LT(inside_by(modelview, {slot_size * (cx + corner % 2), corner & 2 ? 26.0f : -1.0f,
                                                    slot_size * (cz + corner / 4)})[6], -125.0f);
            }
        }
        std::vector<std::pair<int, int>> nearest = listed;
        auto distance = [&](auto& s) { return square((s.first + .5f) * 5 - eye.x) + square((s.second + .5f) * 5 - eye.z); };
        std::stable_sort(nearest.begin(), nearest.end(), [&](auto& a, auto& b) { return distance(a) < distance(b); });
        for (const auto& [order, want] : {std::pair{SlotOrder::listed, listed}, {SlotOrder::nearest_first, nearest}}) {
            ASSERT_EQ(solid_slots_in_order(fog, pcx, pcz, eye.x, eye.z, order, got), int(want.size()));
            for (size_t k = 0; k < want.size(); ++k) ASSERT_TRUE(got[k].cx == want[k].first && got[k].cz == want[k].second);
        }
        static RunPlan plan;  // runs of chunks hold each slot kept once, and nothing outside the window
        for (int kind = 0; kind < 4; ++kind) {
            plan_chunk_runs(fog, kind % 2, pcx, pcz, eye.x, eye.z, true, kind / 2, plan);
            std::vector<int> held(41 * 41);
            for (const ChunkRun& run : std::vector<ChunkRun>(plan.runs, plan.runs + plan.count))
                for (int p = run.first, c = run_chunk(run.z_major, p); p <= run.last; c = run_chunk(run.z_major, ++p)) {
                    const int i = run.copy_x * 10 + c / 10 - pcx + 20, k = run.copy_z * 10 + c % 10 - pcz + 20;
                    ASSERT_TRUE(i >= 0 && i <= 40 && k >= 0 && k <= 40 && ++held[i * 41 + k] == 1) << i << " " << k;
                }
            for (int s = 0; s < 41 * 41; ++s)
                ASSERT_TRUE(held[s] || !(kind % 2 ? water_slot_visible : solid_slot_visible)(fog, pcx - 20 + s / 41, pcz - 20 + s % 41));
        }
    }
    EXPECT_TRUE(culled > 16 * 200 && skipped > 10 && shown > 1000) << culled << " " << skipped << " " << shown;
}
