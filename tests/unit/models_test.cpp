// The avatar's and the balls' models, and the limb bend that poses them.
#include "render/limb.h"
#include "render/models.h"
#include "sim/vecmath.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

namespace {

using Edge = std::array<float, 6>;  // from xyz to xyz

struct Survey {
    int open_edges = 0;  // directed edges with no twin the other way round: 0 for a closed surface
    float least = 1e9f, most = 0;  // the vertices' distances from the axis
};

// Triangles first .. last - 1 of a model around the axis from low to high (a point for a sphere): each must
// be wound counter-clockwise seen from outside, away from the axis.
Survey survey(const Model& m, int first, int last, Vec3 low, Vec3 high) {
    const Vec3 axis = high - low;
    auto from_axis = [&](Vec3 p) { return p - (low + axis * (dot(axis, axis) == 0 ? 0 : dot(p - low, axis) / dot(axis, axis))); };
    std::map<Edge, int> edges;
    Survey s;
    for (int t = first; t < last; ++t) {
        Vec3 c[3];
        for (int k = 0; k < 3; ++k) c[k] = vec3_at(m.positions.data(), 3 * t + k);
        EXPECT_GT(dot(cross(c[1] - c[0], c[2] - c[1]), from_axis((c[0] + c[1] + c[2]) / 3)), 0) << t;
        for (int k = 0; k < 3; ++k) {
            const Vec3 p = c[k], q = c[(k + 1) % 3];
            ++edges[{p.x, p.y, p.z, q.x, q.y, q.z}], --edges[{q.x, q.y, q.z, p.x, p.y, p.z}];
            s.least = std::fmin(s.least, length(from_axis(p))), s.most = std::fmax(s.most, length(from_axis(p)));
        }
    }
    for (const auto& [edge, balance] : edges) s.open_edges += balance > 0;
    return s;
}

Vec3 rotated_x(Vec3 v, float degrees) {
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return vec3(v.x, float(v.y * c - v.z * s), float(v.y * s + v.z * c));
}

// Where the drawn limb's lower segment ends: the transform chain of LimbPose, worked on the CPU.
Vec3 chain_end(Vec3 root, const LimbPose& pose) {
    const Vec3 down{0, -1, 0};
    Vec3 v = rotated_x(down + rotated_x(down, pose.lower_fold_degrees + pose.lower_reach_degrees),
                       pose.upper_tilt_degrees + pose.upper_bend_degrees);
    if (pose.flipped) v = rotated_x(v, 180);
    const double yaw = pose.yaw_degrees * M_PI / 180;
    return root + vec3(float(v.x * std::cos(yaw) + v.z * std::sin(yaw)), v.y, float(v.z * std::cos(yaw) - v.x * std::sin(yaw)));
}

}  // namespace

// Each sphere is closed, faces outwards and has its radius about its centre; the limb is its ball at the rod's
// far end and an open rod of half the ball's radius, outwards too. Radii are after scaling, rods a unit long.
TEST(Models, ClosedOutwardAndSizedAsDesigned) {
    Models models = build_models();
    scale_models(models);
    const Vec3 top{0, 0, 0}, end{0, -1, 0};
    const struct { const Model& model; int first, last; Vec3 low, high; float radius; int open_edges; } parts[] = {
        {models.sphere_model, 0, 72, top, top, 0.25f, 0}, {models.big_sphere_model, 0, 72, top, top, 1.0f, 0},
        {models.limb_model, 0, 72, end, end, 0.25f, 0}, {models.limb_model, 72, 88, top, end, 0.125f, 16}};
    for (const auto& part : parts) {
        ASSERT_EQ(part.model.vertex_count, &part.model == &models.limb_model ? 264 : 216);
        const Survey s = survey(part.model, part.first, part.last, part.low, part.high);
        EXPECT_TRUE(s.open_edges == part.open_edges && std::fabs(s.least - part.radius) < 1e-6f &&
                    std::fabs(s.most - part.radius) < 1e-6f) << &part - parts << ": " << s.least << " " << s.most;
    }
}

// Arms (turned over for an end level with or above the shoulder) and legs reach their ends with two unit
// segments in every direction; further away they point straight at it; from nowhere they hang straight down.
TEST(Limbs, ChainReachesItsEnd) {
    const Vec3 root{3.5f, 7, -2};
    for (int n = 0; n < 200; ++n) {
        const float yaw = n * 0.37f, rise = std::sin(n * 0.61f), distance = n % 4 == 0 ? 2.0f : n % 4 * 0.62f + 0.05f;
        const Vec3 direction{std::cos(yaw) * std::sqrt(1 - rise * rise), rise, std::sin(yaw) * std::sqrt(1 - rise * rise)};
        for (const bool arm : {true, false}) {
            if (!arm && rise >= 0) continue;
            const Vec3 end = root + direction * distance, far = root + direction * (distance + 1.5f);
            EXPECT_LT(length(chain_end(root, limb_pose(root, end, arm)) - end), 1e-4f) << n;
            EXPECT_LT(length(chain_end(root, limb_pose(root, far, arm)) - (root + direction * 2)), 1e-4f) << n;
        }
    }
    const Vec3 level = root + vec3(1.2f, 0, 0.5f), nowhere{NAN, 0, 0};
    EXPECT_LT(length(chain_end(root, limb_pose(root, level, true)) - level), 1e-4f);
    EXPECT_LT(length(chain_end(root, limb_pose(root, nowhere, true)) - (root + vec3(0, -2, 0))), 1e-4f);
}
