// The avatar's models and the bend of its limbs, rebuilt on the CPU through
// the transform chain the renderer hands to GL.
#include "render/limb.h"
#include "render/matrix.h"
#include "render/models.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

namespace {

float dist(const Vec3& a, const Vec3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// Where the elbow and the end land; a segment's ball sits at (0, -1, 0) of its frame.
std::pair<Vec3, Vec3> limb_chain(const Vec3& root, const Vec3& end, bool flip_when_raised) {
    const LimbPose pose = limb_pose(root, end, flip_when_raised);
    Mat4 m = mat4_multiply(mat4_translate(root.x, root.y, root.z), mat4_rotate(pose.yaw_degrees, 0, 1, 0));
    for (float degrees : {pose.flipped ? 180.0f : 0.0f, pose.upper_tilt_degrees, pose.upper_bend_degrees})
        m = mat4_multiply(m, mat4_rotate(degrees, 1, 0, 0));
    const Vec3 elbow = mat4_transform_point(m, {0, -1, 0});
    for (const Mat4& step : {mat4_translate(0, -1, 0), mat4_rotate(pose.lower_fold_degrees, 1, 0, 0),
                             mat4_rotate(pose.lower_reach_degrees, 1, 0, 0)})
        m = mat4_multiply(m, step);
    return {elbow, mat4_transform_point(m, {0, -1, 0})};
}

// Triangles [first, last) wound counter-clockwise seen from outside, so that
// back-face culling eats no visible side, with every point at radius from the
// centre (from the y axis for a tube). A sphere is closed: each edge is walked
// once each way.
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
            ++edges[{v[n], v[(n + 1) % 3]}];
        }
    }
    for (const auto& [edge, count] : edges) EXPECT_TRUE(count == 1 && (tube || edges.count({edge.second, edge.first})));
}

}  // namespace

// Within reach the limb ends on its end, beyond it it stretches straight
// towards it; both segments stay 1 long, the elbow upright above the line.
TEST(Limb, ReachesItsEnd) {
    const struct { Vec3 root, end; bool flip; } rows[] = {
        {{25.4f, 11.15f, 25}, {25.9f, 9.6f, 24.2f}, true}, {{3, 4, -7}, {3.3f, 2.5f, -6.1f}, false},
        {{25.4f, 11.15f, 25}, {26, 12.5f, 24}, true}, {{0, 0, 0}, {0, 1.5f, 0}, true}, {{0, 0, 0}, {0.5f, -1, 0}, true},
        {{1, 5, 1}, {1, 3, 1}, false}, {{0, 2, 0}, {1.5f, 2, 0.3f}, true}, {{0, 2, 0}, {1.5f, 2, 0.3f}, false},
        {{0, 0, 0}, {3, -4, 0}, false}, {{1, 1, 1}, {-2, 5, 1}, true}, {{4, 7, -2}, {4, 7, -2}, true}};
    for (const auto& r : rows) {
        const float s = std::min(1.0f, 2 / dist(r.root, r.end));
        const auto [elbow, end] = limb_chain(r.root, r.end, r.flip);
        EXPECT_LT(dist(end, {r.root.x + s * (r.end.x - r.root.x), r.root.y + s * (r.end.y - r.root.y),
                             r.root.z + s * (r.end.z - r.root.z)}), 2e-5f) << r.end.x << "," << r.end.y << "," << r.end.z;
        EXPECT_TRUE(std::fabs(dist(r.root, elbow) - 1) < 1e-5f && std::fabs(dist(elbow, end) - 1) < 1e-5f);
        EXPECT_NEAR((elbow.x - r.root.x) * (r.end.z - r.root.z) - (elbow.z - r.root.z) * (r.end.x - r.root.x), 0, 1e-5f);
        EXPECT_EQ(limb_pose(r.root, r.end, r.flip).flipped, r.flip && r.end.y >= r.root.y);
    }
    for (const Vec3 broken : {Vec3{NAN, 0, 0}, Vec3{0, INFINITY, 0}})  // hangs straight down
        EXPECT_TRUE(!limb_pose({1, 2, 3}, broken, true).flipped && dist(limb_chain({1, 2, 3}, broken, true).second, {1, 0, 3}) < 1e-6f);
}

TEST(Models, ClosedAndWoundOutwardAsDrawn) {
    Models models = build_models();
    scale_models(models);
    expect_surface(models.sphere_model, 0, models.sphere_model.vertex_count, {0, 0, 0}, 0.25, false);
    expect_surface(models.big_sphere_model, 0, models.big_sphere_model.vertex_count, {0, 0, 0}, 1, false);
    // The limb: its ball where the chain puts the next joint, then the open rod.
    expect_surface(models.limb_model, 0, sphere_vertex_count, {0, -1, 0}, 0.25, false);
    expect_surface(models.limb_model, sphere_vertex_count, models.limb_model.vertex_count, {0, 0, 0}, 0.125, true);
}
