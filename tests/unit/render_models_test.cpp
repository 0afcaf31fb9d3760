#include "render/models.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>

namespace {

using Point = std::array<float, 3>;

Point vertex(const Model& model, int n) {
    return {model.positions[n * 3], model.positions[n * 3 + 1], model.positions[n * 3 + 2]};
}

double distance(const Point& p, const Point& centre) {
    double dx = p[0] - centre[0], dy = p[1] - centre[1], dz = p[2] - centre[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// (b - a) x (c - a) . (centroid - inside): positive when the triangle is
// counter-clockwise seen from outside.
double outward_winding(const Point& a, const Point& b, const Point& c, const Point& inside) {
    double u[3], w[3], g[3];
    for (int k = 0; k < 3; ++k) {
        u[k] = double(b[k]) - a[k];
        w[k] = double(c[k]) - a[k];
        g[k] = (double(a[k]) + b[k] + c[k]) / 3.0 - inside[k];
    }
    double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    return n[0] * g[0] + n[1] * g[1] + n[2] * g[2];
}

// Checks one sphere of the given radius laid out in vertices first..first+215.
void expect_sphere(const Model& model, int first, const Point& centre, double radius) {
    std::set<Point> points;
    std::map<std::pair<Point, Point>, int> edges;
    for (int t = first; t < first + sphere_vertex_count; t += 3) {
        Point a = vertex(model, t), b = vertex(model, t + 1), c = vertex(model, t + 2);
        for (const Point& p : {a, b, c}) {
            EXPECT_NEAR(distance(p, centre), radius, radius * 1e-6);
            points.insert(p);
        }
        EXPECT_GT(outward_winding(a, b, c, centre), 0.0) << "triangle at vertex " << t;
        ++edges[{a, b}];
        ++edges[{b, c}];
        ++edges[{c, a}];
    }
    EXPECT_EQ(points.size(), 38u);
    // A closed surface wound one way: every edge is walked exactly once in
    // each direction.
    for (const auto& [edge, count] : edges) {
        EXPECT_EQ(count, 1);
        auto back = edges.find({edge.second, edge.first});
        EXPECT_TRUE(back != edges.end() && back->second == 1);
    }
    EXPECT_EQ(edges.size(), 72u * 3u);
}

bool has_point(const Model& model, int first, int count, const Point& want, float tolerance) {
    for (int n = first; n < first + count; ++n) {
        if (distance(vertex(model, n), want) < tolerance) return true;
    }
    return false;
}

}  // namespace

TEST(Models, CountsAndArraySizes) {
    Models models = build_models();
    EXPECT_EQ(models.sphere_model.vertex_count, 216);
    EXPECT_EQ(models.limb_model.vertex_count, 264);
    EXPECT_EQ(models.big_sphere_model.vertex_count, 216);
    for (const Model* m : {&models.sphere_model, &models.limb_model, &models.big_sphere_model}) {
        EXPECT_EQ(m->positions.size(), size_t(m->vertex_count) * 3);
        EXPECT_EQ(m->texcoords.size(), size_t(m->vertex_count) * 2);
    }
}

TEST(Models, SphereIsACutOctahedronOnRadiusHalf) {
    Models models = build_models();
    expect_sphere(models.sphere_model, 0, {0, 0, 0}, 0.5);
    expect_sphere(models.big_sphere_model, 0, {0, 0, 0}, 0.5);
    const Model& s = models.sphere_model;
    // The octahedron's corners, an edge cut 30 degrees of arc from +x towards
    // +y (not the chord's third, which lies at 26.6 degrees), and one face's
    // inner point.
    EXPECT_TRUE(has_point(s, 0, 216, {0.0f, -0.5f, 0.0f}, 1e-7f));
    EXPECT_TRUE(has_point(s, 0, 216, {0.5f * 0.8660254f, 0.25f, 0.0f}, 1e-6f));
    EXPECT_TRUE(has_point(s, 0, 216, {0.25f, 0.5f * 0.8660254f, 0.0f}, 1e-6f));
    EXPECT_FALSE(has_point(s, 0, 216, {0.4472136f, 0.2236068f, 0.0f}, 1e-3f));
    float inner = 0.5f / std::sqrt(3.0f);
    EXPECT_TRUE(has_point(s, 0, 216, {-inner, inner, -inner}, 1e-6f));
}

TEST(Models, LimbIsSphereAtTwoBelowPlusOpenTube) {
    Models models = build_models();
    const Model& limb = models.limb_model;
    expect_sphere(limb, 0, {0.0f, -2.0f, 0.0f}, 0.5);
    std::set<Point> ring;
    for (int t = sphere_vertex_count; t < limb_vertex_count; t += 3) {
        Point a = vertex(limb, t), b = vertex(limb, t + 1), c = vertex(limb, t + 2);
        float axis_y = (a[1] + b[1] + c[1]) / 3.0f;
        EXPECT_GT(outward_winding(a, b, c, {0.0f, axis_y, 0.0f}), 0.0) << "tube triangle " << t;
        for (const Point& p : {a, b, c}) {
            EXPECT_NEAR(std::hypot(p[0], p[2]), 0.25, 1e-7);
            EXPECT_TRUE(p[1] == 0.0f || p[1] == -2.0f);
            ring.insert(p);
        }
    }
    EXPECT_EQ(ring.size(), 16u);  // eight around the top, eight around the bottom
    EXPECT_TRUE(has_point(limb, sphere_vertex_count, 48, {0.25f, 0.0f, 0.0f}, 1e-7f));
    EXPECT_TRUE(has_point(limb, sphere_vertex_count, 48, {0.1767767f, -2.0f, 0.1767767f}, 1e-6f));
}

TEST(Models, ScalingGivesDrawnSizesAndOneTexturePatch) {
    Models models = build_models();
    scale_models(models);
    expect_sphere(models.sphere_model, 0, {0, 0, 0}, 0.25);
    expect_sphere(models.big_sphere_model, 0, {0, 0, 0}, 1.0);
    expect_sphere(models.limb_model, 0, {0.0f, -1.0f, 0.0f}, 0.25);
    for (int n = sphere_vertex_count; n < limb_vertex_count; ++n) {
        Point p = vertex(models.limb_model, n);
        EXPECT_NEAR(std::hypot(p[0], p[2]), 0.125, 1e-7);
        EXPECT_TRUE(p[1] == 0.0f || p[1] == -1.0f);
    }
    const float patch[6] = {0.8125f, 0.9375f, 0.9375f, 0.9375f, 0.8125f, 0.8125f};
    for (const Model* m : {&models.sphere_model, &models.limb_model, &models.big_sphere_model}) {
        for (size_t n = 0; n < m->texcoords.size(); ++n) {
            ASSERT_EQ(m->texcoords[n], patch[n % 6]) << "texcoord " << n;
        }
    }
}

TEST(Models, CopiesAreSeparateAndASecondScaleScalesAgain) {
    Models first = build_models();
    Models second = build_models();
    scale_models(first);
    EXPECT_EQ(second.sphere_model.positions, build_models().sphere_model.positions);
    scale_models(first);
    expect_sphere(first.sphere_model, 0, {0, 0, 0}, 0.125);
    expect_sphere(first.big_sphere_model, 0, {0, 0, 0}, 2.0);
}
