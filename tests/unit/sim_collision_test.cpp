// Collision against hand-built lists, and the fast segment clip held bit for bit to the plain rule.
#include "sim/collision.h"
#include "clip_reference.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

namespace {

// Now and then a lattice value, where faces, edges and corners lie.
float awkward(float v) {
    const int k = std::rand() % 6;
    return k == 0 ? std::floor(v) : k == 1 ? std::floor(v) + 0.5f : k == 2 ? std::nextafter(std::floor(v), 1e9f) : v;
}

// Vertical, level, nearly level, along z or anything.
Vec3 random_direction() {
    const int k = std::rand() % 5;
    const Vec3 d = vec3(k % 3 == 0 ? 0.0f : between(-1, 1), k == 1 || k == 3 ? 0.0f : between(-1, 1) * (k == 2 ? 1e-6f : 1.0f), k == 0 ? 0.0f : between(-1, 1));
    return length(d) == 0.0f ? vec3(1, 0, 0) : normalize(d);
}

bool clips_alike(const World* world, const CollisionList* list, Vec3 s, Vec3 e, int& hits) {
    Vec3 fast = e, plain = e;
    const bool a = world ? clip_segment(*world, s, fast) : clip_segment_with_list(s, fast, *list);
    const bool b = world ? plain_clip(*world, s, plain) : plain_clip_with_list(s, plain, *list);
    hits += b;
    return a == b && std::memcmp(&fast, &plain, sizeof fast) == 0;
}

}  // namespace

// View rays, short awkward segments, segments along the floor's top and almost in the plane of a ground
// triangle; then arbitrary, some degenerate, triangles at scales from 0.01 to 100.
TEST(SimClip, MatchesThePlainRule) {
    int hits = 0, cases = 0;
    for (unsigned seed : {3u, 11u}) {
        auto world = generated_world(seed);
        std::srand(seed * 77 + 1);
        for (int i = 0; i < 16000; ++i, ++cases) {
            Vec3 s = vec3(awkward(between(-10, 60)), awkward(between(-1, 26)), awkward(between(-10, 60)));
            Vec3 e = s + random_direction() * between(0.0f, 3.0f);
            if (i % 16 == 0) {
                s = vec3(between(-60, 110), between(0, 26), between(-60, 110));
                e = s + random_direction() * 50.0f;
            } else if (i % 4 == 1) {
                s = vec3(between(0, 50), std::rand() % 2 ? 1.0f : std::nextafter(1.0f, 2.0f), between(0, 50));
                e = vec3(s.x + between(-3, 3), std::rand() % 2 ? 1.0f : std::nextafter(1.0f, 0.0f), s.z + between(-3, 3));
            } else if (i % 4 == 2) {
                const int k = std::rand() % chunk_count;
                const CollisionList& l = world->terrain_collision[k];
                const int t = std::rand() % l.triangle_count;
                const Vec3 a = vec3_at(l.corner_a.get(), t), u = vec3_at(l.corner_b.get(), t) - a,
                           w = vec3_at(l.corner_c.get(), t) - a;
                const Vec3 lift = triangle_plane_normal(a, a + u, a + w) * ((std::rand() % 3) * between(-1e-5f, 1e-5f));
                s = a + u * between(-3, 3) + w * between(-3, 3) + lift + vec3(k / 10 * 5.0f, 0, k % 10 * 5.0f);
                e = s + u * between(-4, 4) + w * between(-4, 4) - lift * 2.0f;
            } else if (i % 4 == 3) {
                e = vec3(awkward(e.x), awkward(e.y), awkward(e.z));
            }
            ASSERT_TRUE(clips_alike(world.get(), nullptr, s, e, hits))
                << s.x << " " << s.y << " " << s.z << " -> " << e.x << " " << e.y << " " << e.z;
        }
    }
    EXPECT_GT(hits, cases / 10);
    for (int round = 0; round < 100; ++round) {
        std::vector<Quad> quads;
        const float scale = std::pow(10.0f, between(-2, 2));
        for (int q = 0; q < 20; ++q) {
            Quad quad;
            for (Vec3& v : quad) v = vec3(between(-5, 10), between(-5, 10), between(-5, 10)) * scale;
            if (q % 5 == 0) quad[1] = quad[0];
            if (q % 7 == 0) quad[2].y = quad[1].y = quad[0].y;
            quads.push_back(quad);
        }
        CollisionList list;
        set_list(list, quads);
        for (int i = 0; i < 400; ++i) {
            Vec3 s = vec3(between(-10, 15), between(-10, 15), between(-10, 15)) * scale;
            Vec3 e = i % 10 == 0 ? quads[i % 20][i % 4] : s + random_direction() * (between(0, 30) * scale);
            if (i % 10 == 1) s.y = quads[i % 20][0].y;
            ASSERT_TRUE(clips_alike(nullptr, &list, s, e, hits)) << round << " " << i;
        }
    }
}

// One ground tile over (0..1, 0..1) at height 0. Only the free side pushes: faces to the radius in front
// of the plane, edges to the radius from their nearest point; a centre on a corner leaves along the normal.
TEST(SimCollision, SpherePushOut) {
    CollisionList tile;
    set_list(tile, {ground_quad(0, 0, 0.0f)});
    const struct { Vec3 p; float radius; bool faces, edges, pushed; Vec3 after; } rows[] = {
        {vec3(0.3f, 0.0f, 0.6f), 1.25f, true, false, true, vec3(0.3f, 1.25f, 0.6f)},
        {vec3(0.3f, 1.25f, 0.6f), 1.25f, true, true, false, vec3(0.3f, 1.25f, 0.6f)},
        {vec3(0.5f, -0.01f, 0.5f), 1.25f, true, true, false, vec3(0.5f, -0.01f, 0.5f)},  // the solid side
        {vec3(0.3f, 0.2f, 0.2f), 0.3f, false, true, false, vec3(0.3f, 0.2f, 0.2f)},
        {vec3(0.3f, 0.2f, 0.2f), 0.3f, true, false, true, vec3(0.3f, 0.3f, 0.2f)},
        {vec3(1.5f, 0.3f, 0.5f), 1.25f, true, false, false, vec3(1.5f, 0.3f, 0.5f)},
        {vec3(1.2f, 0.1f, 0.5f), 0.4f, false, true, true, vec3(1.0f, 0.0f, 0.5f) + normalize(vec3(0.2f, 0.1f, 0.0f)) * 0.4f},
        {vec3(1.0f, 0.0f, 1.0f), 1.25f, true, true, true, vec3(1.0f, 1.25f, 1.0f)},
    };
    for (const auto& row : rows) {
        Vec3 p = row.p;
        EXPECT_EQ(collide_sphere_with_list(p, row.radius, tile, row.faces, row.edges), row.pushed) << row.p.x;
        EXPECT_LT(length(p - row.after), 1e-5f) << row.p.x << " " << row.p.y << " " << row.p.z;
    }
}

// The nearest crossing wins whatever the order of triangles, lists and chunks; an end on the plane or a
// segment beside the tile does not cross; the world repeats every 50 both ways; non-finite ends do nothing.
TEST(SimCollision, SegmentClip) {
    auto world = new_world();
    set_list(world->terrain_collision[0], {ground_quad(2, 2, 1.0f), ground_quad(2, 2, 3.0f)});
    set_list(world->terrain_collision[90], {ground_quad(2, 2, 3.0f), ground_quad(2, 2, 1.0f)});
    set_list(world->block_collision[10], {{vec3(2, 0, 0), vec3(2, 3, 0), vec3(2, 3, 5), vec3(2, 0, 5)}});
    const struct { Vec3 s, e; bool hit; Vec3 end; } rows[] = {
        {vec3(2.4f, 10, 2.3f), vec3(2.4f, -10, 2.3f), true, vec3(2.4f, 3, 2.3f)},
        {vec3(-2.6f, 10, 2.3f), vec3(-2.6f, -10, 2.3f), true, vec3(-2.6f, 3, 2.3f)},
        {vec3(-52.6f, -10, -47.7f), vec3(-52.6f, 10, -47.7f), true, vec3(-52.6f, 1, -47.7f)},
        {vec3(52.4f, 2, 52.3f), vec3(52.4f, 0, 52.3f), true, vec3(52.4f, 1, 52.3f)},
        {vec3(2.4f, 5, 2.3f), vec3(2.4f, 3, 2.3f), false, vec3(2.4f, 3, 2.3f)},
        {vec3(2.1f, 1, 2.1f), vec3(2.9f, 1, 2.9f), false, vec3(2.9f, 1, 2.9f)},
        {vec3(3.6f, 2, 2.5f), vec3(3.6f, 0, 2.5f), false, vec3(3.6f, 0, 2.5f)},
        {vec3(9, 3.6f, 2.4f), vec3(1.5f, 0.6f, 2.4f), true, vec3(7, 2.8f, 2.4f)},
        {vec3(1.5f, 0.6f, 2.4f), vec3(9, 3.6f, 2.4f), true, vec3(2.5f, 1, 2.4f)},
        {vec3(0, 2, 0), vec3(INFINITY, 0, 0), false, vec3(INFINITY, 0, 0)},
    };
    for (const auto& row : rows) {
        Vec3 e = row.e;
        EXPECT_EQ(clip_segment(*world, row.s, e), row.hit) << row.s.x << " " << row.s.y;
        auto near = [](float a, float b) { return a == b || std::fabs(a - b) < 1e-5f; };
        EXPECT_TRUE(near(e.x, row.end.x) && near(e.y, row.end.y) && near(e.z, row.end.z))
            << row.s.x << " " << row.s.y << ": " << e.x << " " << e.y << " " << e.z;
    }
    Vec3 p = vec3(NAN, 0.5f, 1.0f);
    EXPECT_FALSE(collide_sphere(*world, p, 1.25f));
}
