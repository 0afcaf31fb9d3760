// The view's culling against clip space as GL computes it, over random views
// and random points in the slot window around the player.
#include "render/frustum.h"
#include "render/matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

const Mat4 projection = mat4_perspective(45.0, 1024.0 / 768.0, 1.0, 1000.0);
float square(float v) { return v * v; }

// How far p lies inside each clip-space plane, in the frustum's plane order,
// the modelview and then the projection applied as GL does; [6] is the eye depth.
std::vector<float> inside_by(const Mat4& modelview, Vec3 p) {
    float eye[4] = {0, 0, 0, 0}, c[4] = {0, 0, 0, 0};
    for (int k = 0; k < 16; ++k) eye[k % 4] += modelview.m[k] * (k < 12 ? (&p.x)[k / 4] : 1.0f);
    for (int k = 0; k < 16; ++k) c[k % 4] += projection.m[k] * eye[k / 4];
    return {c[3] - c[0], c[3] + c[0], c[3] + c[1], c[3] - c[1], c[3] - c[2], c[3] + c[2], eye[2]};
}

}  // namespace

// A slot that shows any point of its column is drawn; a slot skipped for the
// fog lies wholly past the fog's end. The drawn slots are listed cx outer, cz
// inner, both ascending, or nearest the eye first with ties in listed order.
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
        const SlotCulling all = make_slot_culling(projection.m, modelview.m, false, 125.0f);
        const SlotCulling near = make_slot_culling(projection.m, modelview.m, true, 125.0f);
        for (int k = 0; k < 4000; ++k) {
            const Vec3 p{slot_size * (pcx - slot_radius + 41 * unit(random)), 25 * unit(random),
                         slot_size * (pcz - slot_radius + 41 * unit(random))};
            const std::vector<float> by = inside_by(modelview, p);
            for (int i = 0; i < 6; ++i) {
                const float* q = all.frustum.planes[i];
                ASSERT_TRUE(std::fabs(by[i]) < 1e-2f || (q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3] > 0) == (by[i] > 0));
            }
            if (*std::min_element(by.begin(), by.begin() + 6) <= 1e-3f) continue;
            const int cx = slot_of(p.x), cz = slot_of(p.z), water = p.y < 5;
            shown++;
            ASSERT_TRUE(solid_slot_visible(all, cx, cz) && (!water || water_slot_visible(all, cx, cz)));
            ASSERT_TRUE(by[6] <= -125 || (solid_slot_visible(near, cx, cz) && (!water || water_slot_visible(near, cx, cz))));
        }
        std::vector<std::pair<int, int>> listed;
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
                culled += !solid_slot_visible(all, cx, cz);
                if (solid_slot_visible(near, cx, cz)) listed.push_back({cx, cz});
                if (solid_slot_visible(near, cx, cz) || !solid_slot_visible(all, cx, cz)) continue;
                skipped++;
                for (int corner = 0; corner < 8; ++corner)  // the column, with room for falling blocks
                    EXPECT_LT(inside_by(modelview, {slot_size * (cx + corner % 2), corner & 2 ? 26.0f : -1.0f,
                                                    slot_size * (cz + corner / 4)})[6], -125.0f);
            }
        }
        std::vector<std::pair<int, int>> nearest = listed;
        auto distance = [&](const std::pair<int, int>& s) {
            return square((s.first + 0.5f) * slot_size - eye.x) + square((s.second + 0.5f) * slot_size - eye.z);
        };
        std::stable_sort(nearest.begin(), nearest.end(), [&](auto& a, auto& b) { return distance(a) < distance(b); });
        for (const auto& [order, want] : {std::pair{SlotOrder::listed, listed}, {SlotOrder::nearest_first, nearest}}) {
            ASSERT_EQ(solid_slots_in_order(near, pcx, pcz, eye.x, eye.z, order, got), int(want.size()));
            for (size_t k = 0; k < want.size(); ++k) ASSERT_TRUE(got[k].cx == want[k].first && got[k].cz == want[k].second);
        }
    }
    EXPECT_TRUE(culled > 16 * 200 && skipped > 10 && shown > 1000) << culled << " " << skipped << " " << shown;
}

// A cube touching a plane only with a corner is outside it; one beyond an
// edge but reaching inside each plane on its own is kept.
TEST(Frustum, CubesAndSlots) {
    const Mat4 identity = mat4_identity();
    const Frustum f = frustum_from_matrices(identity.m, identity.m);  // |x|, |y|, |z| < 1
    const struct { float x, y, z, half; bool in; } cubes[] = {
        {0, 0, 0, 0.5f, true}, {0, 0, 0, 10, true}, {1.2f, 0, 0, 0.5f, true}, {0, 0, -1.4f, 0.5f, true},
        {2, 0, 0, 0.5f, false}, {0, -3, 0, 0.5f, false}, {1.4999f, 0, 0, 0.5f, true}, {1.5f, 0, 0, 0.5f, false},
        {0, 0, 1.5f, 0.5f, false}, {0, -1.5f, 0, 0.5f, false}, {1.7f, 1.7f, 0, 0.9f, true}, {1.7f, 1.7f, 0, 0.6f, false}};
    for (const auto& c : cubes) EXPECT_EQ(cube_in_frustum(f, c.x, c.y, c.z, c.half), c.in) << c.x << "," << c.y << "," << c.z;
    const struct { float coordinate; int slot; } slots[] = {
        {25, 5}, {4.999f, 0}, {0, 0}, {-0.5f, -1}, {-5, -1}, {-5.001f, -2}, {1e6f, 200000}, {-1e6f, -200000},
        {INFINITY, 1000000000}, {-1e30f, -1000000000}, {NAN, 0}};
    for (const auto& s : slots) EXPECT_EQ(slot_of(s.coordinate), s.slot) << s.coordinate;
    const int meshes[][3] = {{0, 0, 0}, {9, 9, 99}, {10, 3, 3}, {-1, -1, 99}, {-10, 3, 3}, {-11, -21, 99}, {-1, 0, 90},
                             {1000003, -1000007, 33}, {-1000000020, 1000000020, 0}};
    for (const auto& m : meshes) EXPECT_EQ(slot_mesh_index(m[0], m[1]), m[2]) << m[0] << "," << m[1];
}
