#include "render/models.h"

#include <cmath>
#include <utility>

namespace {

struct Point {
    double x, y, z;
};

Point scaled(const Point& p, double s) { return {p.x * s, p.y * s, p.z * s}; }
Point sum(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// Point of the octahedron face (a, b, c) with integer weights (i, j, k) on
// its corners, i + j + k = 3, moved onto the unit sphere. Corners are unit
// axis vectors 90 degrees apart, so a point a third of the way along an edge
// lies 30 degrees of arc from the nearer corner: cos 30 on it, sin 30 on the
// other. The inner point (1, 1, 1) is the face's normalised centre. Weights
// map to the same coefficients from either end of an edge, so a point shared
// by two faces comes out bit for bit the same in both.
Point face_point(const Point corner[3], const int weight[3]) {
    const double cos30 = std::sqrt(3.0) / 2.0;
    const double inner = 1.0 / std::sqrt(3.0);
    int nonzero = 0;
    for (int n = 0; n < 3; ++n) nonzero += weight[n] != 0;
    Point p{0.0, 0.0, 0.0};
    for (int n = 0; n < 3; ++n) {
        double coefficient = 0.0;
        if (nonzero == 3) coefficient = inner;
        else if (weight[n] == 3) coefficient = 1.0;
        else if (weight[n] == 2) coefficient = cos30;
        else if (weight[n] == 1) coefficient = 0.5;
        p = sum(p, scaled(corner[n], coefficient));
    }
    return p;
}

void append_point(std::vector<float>& out, const Point& p) {
    out.push_back(static_cast<float>(p.x));
    out.push_back(static_cast<float>(p.y));
    out.push_back(static_cast<float>(p.z));
}

void append_triangle(std::vector<float>& out, const Point& a, const Point& b, const Point& c) {
    append_point(out, a);
    append_point(out, b);
    append_point(out, c);
}

// The 72 triangles of the sphere of radius 0.5 around centre.
void append_sphere(std::vector<float>& out, const Point& centre) {
    const double radius = 0.5;
    for (int sx = 1; sx >= -1; sx -= 2) {
        for (int sy = 1; sy >= -1; sy -= 2) {
            for (int sz = 1; sz >= -1; sz -= 2) {
                Point corner[3] = {{double(sx), 0, 0}, {0, double(sy), 0}, {0, 0, double(sz)}};
                // (x, y, z) in that order is counter-clockwise from outside
                // only in octants with an even number of negative axes.
                if (sx * sy * sz < 0) std::swap(corner[1], corner[2]);
                auto at = [&](int i, int j, int k) {
                    const int weight[3] = {i, j, k};
                    return sum(centre, scaled(face_point(corner, weight), radius));
                };
                // A three-step triangular grid on the face: moving weight
                // from corner 0 to 1 then to 2 keeps the face's winding.
                for (int i = 0; i <= 2; ++i) {
                    for (int j = 0; i + j <= 2; ++j) {
                        int k = 2 - i - j;
                        append_triangle(out, at(i + 1, j, k), at(i, j + 1, k), at(i, j, k + 1));
                    }
                }
                for (int i = 0; i <= 1; ++i) {
                    for (int j = 0; i + j <= 1; ++j) {
                        int k = 1 - i - j;
                        append_triangle(out, at(i, j + 1, k + 1), at(i + 1, j, k + 1),
                                        at(i + 1, j + 1, k));
                    }
                }
            }
        }
    }
}

// The open eight-sided tube of radius 0.25 from y = 0 down to y = -2, ring
// points every 45 degrees from the +x axis towards +z.
void append_tube(std::vector<float>& out) {
    const double radius = 0.25;
    const double step = std::acos(-1.0) / 4.0;
    auto ring_point = [&](int k) {
        double a = step * (k % 8);  // the last side closes on the first point exactly
        return Point{radius * std::cos(a), 0.0, radius * std::sin(a)};
    };
    for (int side = 0; side < 8; ++side) {
        Point top0 = ring_point(side);
        Point top1 = ring_point(side + 1);
        Point bottom0{top0.x, -2.0, top0.z};
        Point bottom1{top1.x, -2.0, top1.z};
        append_triangle(out, top0, top1, bottom0);
        append_triangle(out, top1, bottom1, bottom0);
    }
}

Model finish(std::vector<float> positions) {
    Model model;
    model.vertex_count = static_cast<int>(positions.size() / 3);
    model.positions = std::move(positions);
    model.texcoords.assign(static_cast<size_t>(model.vertex_count) * 2, 0.0f);
    return model;
}

void scale_model(Model& model, float factor) {
    for (float& p : model.positions) p *= factor;
    static const float patch[6] = {0.8125f, 0.9375f, 0.9375f, 0.9375f, 0.8125f, 0.8125f};
    for (size_t n = 0; n < model.texcoords.size(); ++n) model.texcoords[n] = patch[n % 6];
}

}  // namespace

Models build_models() {
    std::vector<float> sphere;
    append_sphere(sphere, {0.0, 0.0, 0.0});
    std::vector<float> limb;
    append_sphere(limb, {0.0, -2.0, 0.0});
    append_tube(limb);

    Models models;
    models.sphere_model = finish(sphere);
    models.limb_model = finish(std::move(limb));
    models.big_sphere_model = finish(std::move(sphere));
    return models;
}

void scale_models(Models& models) {
    scale_model(models.sphere_model, 0.5f);
    scale_model(models.limb_model, 0.5f);
    scale_model(models.big_sphere_model, 2.0f);
}
