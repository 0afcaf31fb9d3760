// The avatar's and the balls' models.
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
