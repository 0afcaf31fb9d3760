// clip_segment skips triangles it can prove the segment does not hit. These
// tests hold it to the plain rule (every triangle: plane, crossing, angle
// sum) bit for bit, on generated worlds and on arbitrary triangles, with the
// awkward cases weighted in: ends on planes, segments in planes, axis-aligned
// and nearly parallel segments, lattice points.
#include "sim/collision.h"
#include "clip_reference.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool same_bits(Vec3 a, Vec3 b) { return std::memcmp(&a, &b, sizeof a) == 0; }

float unit() { return static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX); }
float between(float lo, float hi) { return lo + (hi - lo) * unit(); }

// Snaps some coordinates onto lattice values, where faces, edges and
// corners lie.
float awkward(float v) {
    switch (std::rand() % 6) {
        case 0: return std::floor(v);
        case 1: return std::floor(v) + 0.5f;
        case 2: return std::nextafter(std::floor(v), 1e9f);
        default: return v;
    }
}

Vec3 random_direction() {
    Vec3 d = vec3(between(-1, 1), between(-1, 1), between(-1, 1));
    switch (std::rand() % 5) {
        case 0: d.x = d.z = 0.0f; break;          // vertical
        case 1: d.y = 0.0f; break;                // level
        case 2: d.y *= 1e-6f; break;              // nearly level
        case 3: d.x = 0.0f; d.y = 0.0f; break;    // along z
        default: break;
    }
    if (length(d) == 0.0f) d = vec3(1, 0, 0);
    return normalize(d);
}

struct Tally {
    int hits = 0, cases = 0;
};

void compare(const World& world, Vec3 s, Vec3 e, Tally& tally) {
    Vec3 fast = e, plain = e;
    bool fast_hit = clip_segment(world, s, fast);
    bool plain_hit = plain_clip(world, s, plain);
    ++tally.cases;
    tally.hits += plain_hit;
    ASSERT_EQ(fast_hit, plain_hit) << s.x << " " << s.y << " " << s.z << " -> " << e.x << " " << e.y << " " << e.z;
    ASSERT_TRUE(same_bits(fast, plain)) << s.x << " " << s.y << " " << s.z << " -> " << e.x << " " << e.y << " " << e.z;
}

TEST(SimClipEquivalence, MatchesThePlainRuleOnGeneratedWorlds) {
    for (unsigned seed : {3u, 11u}) {
        auto world = generated_world(seed);
        std::srand(seed * 77 + 1);
        Tally tally;
        for (int i = 0; i < 400 && !HasFatalFailure(); ++i) {  // view rays
            Vec3 s = vec3(between(-60, 110), between(0, 26), between(-60, 110));
            compare(*world, s, s + random_direction() * 50.0f, tally);
        }
        for (int i = 0; i < 20000 && !HasFatalFailure(); ++i) {  // balls, limbs, awkward spots
            Vec3 s = vec3(awkward(between(-10, 60)), awkward(between(-1, 26)), awkward(between(-10, 60)));
            Vec3 e = s + random_direction() * between(0.0f, 3.0f);
            if (std::rand() % 4 == 0) e = vec3(awkward(e.x), awkward(e.y), awkward(e.z));
            compare(*world, s, e, tally);
        }
        for (int i = 0; i < 4000 && !HasFatalFailure(); ++i) {  // ends on and within the floor's top
            float y = 1.0f;
            Vec3 s = vec3(between(0, 50), y, between(0, 50));
            Vec3 e = vec3(s.x + between(-3, 3), std::rand() % 2 ? y : std::nextafter(y, 0.0f), s.z + between(-3, 3));
            if (std::rand() % 2) s.y = std::nextafter(y, 2.0f);
            compare(*world, s, e, tally);
        }
        EXPECT_GT(tally.hits, tally.cases / 20) << "the cases should hit the world often";
    }
}

// Segments that lie almost in the plane of a ground triangle, through it
// and far from it: where the crossing point is least precise.
TEST(SimClipEquivalence, MatchesThePlainRuleAlongGroundPlanes) {
    auto world = generated_world(5);
    std::srand(9);
    Tally tally;
    for (int i = 0; i < 20000 && !HasFatalFailure(); ++i) {
        int k = std::rand() % chunk_count;
        const CollisionList& list = world->terrain_collision[k];
        int t = std::rand() % list.triangle_count;
        Vec3 a = vec3_at(list.corner_a.get(), t), b = vec3_at(list.corner_b.get(), t);
        Vec3 c = vec3_at(list.corner_c.get(), t);
        Vec3 in_plane = (b - a) * between(-4, 4) + (c - a) * between(-4, 4);
        Vec3 p = a + (b - a) * between(-3, 3) + (c - a) * between(-3, 3);
        Vec3 q = p + in_plane;
        Vec3 m = triangle_plane_normal(a, b, c);
        float lift = (std::rand() % 3) * between(-1e-5f, 1e-5f);
        p = p + m * lift;
        q = q - m * lift;
        Vec3 offset = vec3(5.0f * static_cast<float>(k / 10), 0.0f, 5.0f * static_cast<float>(k % 10));
        compare(*world, p + offset, q + offset, tally);
    }
    EXPECT_GT(tally.hits, 0);
}

// Arbitrary triangles, large and small, steep and flat, some degenerate.
TEST(SimClipEquivalence, MatchesThePlainRuleOnArbitraryTriangles) {
    std::srand(21);
    for (int round = 0; round < 200 && !HasFatalFailure(); ++round) {
        std::vector<Quad> quads;
        float scale = std::pow(10.0f, between(-2, 2));
        for (int q = 0; q < 20; ++q) {
            Quad quad;
            for (Vec3& v : quad) v = vec3(between(-5, 10), between(-5, 10), between(-5, 10)) * scale;
            if (q % 5 == 0) quad[1] = quad[0];  // degenerate
            if (q % 7 == 0) quad[2].y = quad[1].y = quad[0].y;
            quads.push_back(quad);
        }
        CollisionList list;
        set_list(list, quads);
        for (int i = 0; i < 500 && !HasFatalFailure(); ++i) {
            Vec3 s = vec3(between(-10, 15), between(-10, 15), between(-10, 15)) * scale;
            Vec3 e = s + random_direction() * (between(0, 30) * scale);
            if (i % 10 == 0) e = quads[i % 20][i % 4];
            if (i % 10 == 1) s.y = quads[i % 20][0].y;
            Vec3 fast = e, plain = e;
            bool fast_hit = clip_segment_with_list(s, fast, list);
            bool plain_hit = plain_clip_with_list(s, plain, list);
            ASSERT_EQ(fast_hit, plain_hit);
            ASSERT_TRUE(same_bits(fast, plain));
        }
    }
}

}  // namespace
