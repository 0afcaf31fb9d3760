// The renderer's logic on the CPU: culling, the limbs' transform chains and the models.
#include "render/frustum.h"
#include "render/limb.h"
#include "render/matrix.h"
#include "render/models.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
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

float dist(const Vec3& a, const Vec3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// Where the elbow and the end land; a segment's ball sits at (0, -1, 0) of its frame.
std::pair<Vec3, Vec3> limb_chain(const Vec3& root, const Vec3& end, bool flip_when_raised) {
    const LimbPose pose = limb_pose(root, end, flip_when_raised);
    Mat4 m = mat4_multiply(mat4_translate(root.x, root.y, root.z), mat4_rotate(pose.yaw_degrees, 0, 1, 0));
    for (float degrees : {pose.flipped ? 180.0f : 0.0f, pose.upper_tilt_degrees, pose.upper_bend_degrees})
        m = mat4_multiply(m, mat4_rotate(degrees, 1, 0, 0));
    const Mat4 lower = mat4_multiply(mat4_multiply(mat4_multiply(m, mat4_translate(0, -1, 0)),
                                                   mat4_rotate(pose.lower_fold_degrees, 1, 0, 0)),
                                     mat4_rotate(pose.lower_reach_degrees, 1, 0, 0));
    return {mat4_transform_point(m, {0, -1, 0}), mat4_transform_point(lower, {0, -1, 0})};
}

// Triangles [first, last) wound counter-clockwise from outside, all points at radius from the centre (the y axis
// for a tube); a sphere is closed, each edge walked once each way.
void expect_surface(const Model& model, int first, int last, std::array<double, 3> centre, double radius, bool tube) {
    std::map<std::pair<std::array<double, 3>, std::array<double, 3>>, int> edges;
    for (int t = first; t < last; t += 3) {
        std::array<double, 3> v[3], d[3];
        for (int k = 0; k < 9; ++k) v[k / 3][k % 3] = model.positions[size_t(t * 3 + k)];
        if (tube) centre[1] = (v[0][1] + v[1][1] + v[2][1]) / 3;
        for (int k = 0; k < 9; ++k) d[k / 3][k % 3] = v[k / 3][k % 3] - (k < 3 ? centre[k] : v[0][k % 3]);
        EXPECT_GT((d[1][1] * d[2][2] - d[1][2] * d[2][1]) * d[0][0] + (d[1][2] * d[2][0] - d[1][0] * d[2][2]) * d[0][1] +
                      (d[1][0] * d[2][1] - d[1][1] * d[2][0]) * d[0][2], 0) << t;
        for (int n = 0; n < 3; ++n) {
            EXPECT_NEAR(std::hypot(v[n][0] - centre[0], tube ? 0 : v[n][1] - centre[1], v[n][2] - centre[2]), radius, 1e-6);
            EXPECT_TRUE(!tube || v[n][1] == 0 || v[n][1] == -1) << v[n][1];  // from the joint to the next
            ++edges[{v[n], v[(n + 1) % 3]}];
        }
    }
    for (const auto& [edge, count] : edges) EXPECT_TRUE(count == 1 && (tube || edges.count({edge.second, edge.first})));
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
    }
    EXPECT_TRUE(culled > 16 * 200 && skipped > 10 && shown > 1000) << culled << " " << skipped << " " << shown;
}

// Within reach the limb ends on its end, beyond it points at it; segments stay 1 long, the elbow upright.
TEST(Limb, ReachesItsEnd) {
    const struct { Vec3 root, end; bool flip; } rows[] = {
        {{25.4f, 11.15f, 25}, {25.9f, 9.6f, 24.2f}, true}, {{3, 4, -7}, {3.3f, 2.5f, -6.1f}, false},
        {{25.4f, 11.15f, 25}, {26, 12.5f, 24}, true}, {{0, 0, 0}, {0, 1.5f, 0}, true}, {{0, 0, 0}, {0.5f, -1, 0}, true},
        {{0, 2, 0}, {1.5f, 2, 0.3f}, true}, {{0, 2, 0}, {1.5f, 2, 0.3f}, false}, {{0, 0, 0}, {3, -4, 0}, false},
        {{1, 1, 1}, {-2, 5, 1}, true}, {{4, 7, -2}, {4, 7, -2}, true}};
    for (const auto& r : rows) {
        const float s = std::min(1.0f, 2 / dist(r.root, r.end));
        const auto [elbow, end] = limb_chain(r.root, r.end, r.flip);
        EXPECT_LT(dist(end, {r.root.x + s * (r.end.x - r.root.x), r.root.y + s * (r.end.y - r.root.y),
                             r.root.z + s * (r.end.z - r.root.z)}), 2e-5f) << r.end.x << " " << r.end.y;
        EXPECT_TRUE(std::fabs(dist(r.root, elbow) - 1) < 1e-5f && std::fabs(dist(elbow, end) - 1) < 1e-5f);
        EXPECT_NEAR((elbow.x - r.root.x) * (r.end.z - r.root.z), (elbow.z - r.root.z) * (r.end.x - r.root.x), 1e-5f);
    }
    for (const Vec3 broken : {Vec3{NAN, 0, 0}, Vec3{0, INFINITY, 0}})  // hangs straight down, unturned
        EXPECT_TRUE(!limb_pose({}, broken, true).flipped && dist(limb_chain({}, broken, true).second, {0, -2, 0}) < 1e-6f);
}

TEST(Models, ClosedAndWoundOutwardAsDrawn) {
    Models models = build_models();
    scale_models(models);
    expect_surface(models.sphere_model, 0, models.sphere_model.vertex_count, {0, 0, 0}, 0.25, false);
    expect_surface(models.big_sphere_model, 0, models.big_sphere_model.vertex_count, {0, 0, 0}, 1, false);
    expect_surface(models.limb_model, 0, sphere_vertex_count, {0, -1, 0}, 0.25, false);  // where the chain puts a joint
    expect_surface(models.limb_model, sphere_vertex_count, models.limb_model.vertex_count, {0, 0, 0}, 0.125, true);
    for (const Model* m : {&models.sphere_model, &models.big_sphere_model, &models.limb_model})  // GL reads them all
        EXPECT_TRUE(m->positions.size() == 3u * m->vertex_count && m->texcoords.size() == 2u * m->vertex_count);
}
