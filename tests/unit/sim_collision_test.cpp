#include "sim/collision.h"
#include "sim_helpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Local column (2, 2) of chunk (cx, cz), ground at height 0.
void floor_tile_in_chunk(World& world, int cx, int cz) {
    set_list(world.terrain_collision[cx * chunks_per_axis + cz], {ground_quad(2, 2, 0.0f)});
}

TEST(SimCollision, CentreInPlaneIsPushedOutByFullRadius) {
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    Vec3 p = vec3(0.3f, 0.0f, 0.6f);
    EXPECT_TRUE(collide_sphere_with_list(p, 1.25f, list, true, false));
    EXPECT_FLOAT_EQ(p.x, 0.3f);
    EXPECT_FLOAT_EQ(p.y, 1.25f);
    EXPECT_FLOAT_EQ(p.z, 0.6f);

    // Exactly radius in front: untouched.
    Vec3 q = vec3(0.3f, 1.25f, 0.6f);
    EXPECT_FALSE(collide_sphere_with_list(q, 1.25f, list, true, true));
    EXPECT_EQ(q.y, 1.25f);
}

TEST(SimCollision, SolidSideIsIgnoredHoweverDeep) {
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    for (float depth : {0.01f, 0.5f, 1.2f, 5.0f}) {
        Vec3 p = vec3(0.5f, -depth, 0.5f);
        EXPECT_FALSE(collide_sphere_with_list(p, 1.25f, list, true, true)) << depth;
        EXPECT_EQ(p.y, -depth);
    }
}

TEST(SimCollision, FacePassAndEdgePassAreSeparate) {
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    // Over the middle of one triangle, out of reach of the other's edges.
    Vec3 over = vec3(0.3f, 0.2f, 0.2f);
    EXPECT_FALSE(collide_sphere_with_list(over, 0.3f, list, false, true));
    EXPECT_EQ(over.y, 0.2f);
    EXPECT_TRUE(collide_sphere_with_list(over, 0.3f, list, true, false));
    EXPECT_FLOAT_EQ(over.y, 0.3f);
    Vec3 beside = vec3(1.5f, 0.3f, 0.5f);
    EXPECT_FALSE(collide_sphere_with_list(beside, 1.25f, list, true, false));
    EXPECT_EQ(beside.x, 1.5f);
}

TEST(SimCollision, EdgePushesAwayFromNearestEdgePoint) {
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    // Beside the tile's x = 1 edge: projection outside, only that edge within reach.
    Vec3 p = vec3(1.2f, 0.1f, 0.5f);
    EXPECT_TRUE(collide_sphere_with_list(p, 0.4f, list, false, true));
    Vec3 from_edge = p - vec3(1.0f, 0.0f, 0.5f);
    EXPECT_NEAR(length(from_edge), 0.4f, 1e-6f);
    // Same direction as before the push.
    EXPECT_NEAR(from_edge.y / from_edge.x, 0.1f / 0.2f, 1e-5f);
    EXPECT_EQ(p.z, 0.5f);
}

TEST(SimCollision, CentreOnACornerStaysFinite) {
    // A corner has no direction to push away from; the centre leaves along
    // the free side's normal instead of becoming NaN.
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    Vec3 p = vec3(1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(collide_sphere_with_list(p, 1.25f, list, true, true));
    EXPECT_TRUE(is_finite(p));
    EXPECT_FLOAT_EQ(p.y, 1.25f);
}

TEST(SimCollision, StartPointOnABlockCornerStaysFinite) {
    // (25, 10, 25) is a lattice point: the corner of the top faces of the
    // four blocks around it on level 9.
    auto world = new_world();
    for (int x = 24; x <= 25; ++x) {
        for (int z = 24; z <= 25; ++z) {
            int cx = x / 5, cz = z / 5;
            CollisionList& list = world->block_collision[cx * 10 + cz];
            set_list(list, cube_quads(x - 5 * cx, 9, z - 5 * cz));
        }
    }
    Vec3 p = vec3(25.0f, 10.0f, 25.0f);
    EXPECT_TRUE(collide_sphere(*world, p, 1.25f));
    EXPECT_TRUE(is_finite(p));
    EXPECT_GT(length(p - vec3(25.0f, 10.0f, 25.0f)), 1.0f);
}

TEST(SimCollision, WorldRepeatsEveryFiftyUnits) {
    // One ground tile, in chunk column 0 only: x = 52 meets it at local x = 2.
    auto world = new_world();
    floor_tile_in_chunk(*world, 0, 0);
    Vec3 p = vec3(52.3f, 0.5f, 2.4f);
    EXPECT_TRUE(collide_sphere(*world, p, 1.0f));
    EXPECT_FLOAT_EQ(p.y, 1.0f);
    Vec3 miss = vec3(2.5f + 5.0f, 0.5f, 2.5f);  // chunk column 1 has nothing
    EXPECT_FALSE(collide_sphere(*world, miss, 0.4f));

    // In chunk column 9: x = -3 meets it at local x = 2 (through column -1).
    auto other = new_world();
    floor_tile_in_chunk(*other, 9, 0);
    Vec3 q = vec3(-2.7f, 0.5f, 2.4f);
    EXPECT_TRUE(collide_sphere(*other, q, 1.0f));
    EXPECT_FLOAT_EQ(q.y, 1.0f);
    EXPECT_FLOAT_EQ(q.x, -2.7f);
    Vec3 e = vec3(-2.7f, -5.0f, 2.4f);
    EXPECT_TRUE(clip_segment(*other, vec3(-2.7f, 5.0f, 2.4f), e));
    EXPECT_FLOAT_EQ(e.y, 0.0f);
    Vec3 far = vec3(-52.7f, -5.0f, -47.6f);
    EXPECT_TRUE(clip_segment(*other, vec3(-52.7f, 5.0f, -47.6f), far));
    EXPECT_FLOAT_EQ(far.y, 0.0f);
}

TEST(SimCollision, NearerCrossingWinsWhateverTheOrder) {
    std::vector<Quad> quads = {ground_quad(0, 0, 1.0f), ground_quad(0, 0, 3.0f)};
    for (int order = 0; order < 2; ++order) {
        CollisionList list;
        set_list(list, quads);
        Vec3 e = vec3(0.4f, -10.0f, 0.3f);
        EXPECT_TRUE(clip_segment_with_list(vec3(0.4f, 10.0f, 0.3f), e, list));
        EXPECT_FLOAT_EQ(e.y, 3.0f) << order;
        Vec3 up = vec3(0.4f, 10.0f, 0.3f);
        EXPECT_TRUE(clip_segment_with_list(vec3(0.4f, -10.0f, 0.3f), up, list));
        EXPECT_FLOAT_EQ(up.y, 1.0f) << order;
        std::swap(quads[0], quads[1]);
    }

    // Across lists and chunks: a block wall in chunk (1, 0) at x = 7 is
    // nearer the start than a ground tile of chunk (0, 0), visited first.
    auto world = new_world();
    set_list(world->terrain_collision[0], {ground_quad(2, 2, 0.0f)});
    set_list(world->block_collision[10], {{vec3(2, 0, 0), vec3(2, 3, 0), vec3(2, 3, 5), vec3(2, 0, 5)}});
    Vec3 e = vec3(1.5f, -0.5f, 2.5f);
    EXPECT_TRUE(clip_segment(*world, vec3(9.0f, 3.0f, 2.5f), e));
    EXPECT_FLOAT_EQ(e.x, 7.0f);
    Vec3 back = vec3(9.0f, 3.0f, 2.5f);
    EXPECT_TRUE(clip_segment(*world, vec3(1.5f, -0.5f, 2.5f), back));
    EXPECT_NEAR(back.y, 0.0f, 1e-6f);
    EXPECT_NEAR(back.x, 1.5f + 7.5f * (0.5f / 3.5f), 1e-5f);
}

TEST(SimCollision, EndOnThePlaneOrParallelDoesNotCross) {
    CollisionList list;
    set_list(list, {ground_quad(0, 0, 0.0f)});
    Vec3 e = vec3(0.5f, 0.0f, 0.5f);
    EXPECT_FALSE(clip_segment_with_list(vec3(0.5f, 2.0f, 0.5f), e, list));
    Vec3 along = vec3(0.9f, 0.0f, 0.9f);
    EXPECT_FALSE(clip_segment_with_list(vec3(0.1f, 0.0f, 0.1f), along, list));
    Vec3 above = vec3(0.9f, 0.5f, 0.9f);
    EXPECT_FALSE(clip_segment_with_list(vec3(0.1f, 0.5f, 0.1f), above, list));
    // Beside the tile the plane is crossed but the triangle is not.
    Vec3 outside = vec3(1.6f, -1.0f, 0.5f);
    EXPECT_FALSE(clip_segment_with_list(vec3(1.6f, 1.0f, 0.5f), outside, list));
    EXPECT_EQ(outside.y, -1.0f);
}

TEST(SimCollision, PointInTriangleUsesTheAngleSum) {
    Vec3 a = vec3(0, 0, 0), b = vec3(1, 0, 0), c = vec3(0, 0, 1);
    EXPECT_TRUE(point_in_triangle(vec3(0.2f, 0.0f, 0.2f), a, b, c));
    EXPECT_FALSE(point_in_triangle(vec3(0.8f, 0.0f, 0.8f), a, b, c));
    EXPECT_FALSE(point_in_triangle(a, a, b, c));  // NaN angles count as outside
    EXPECT_FALSE(point_in_triangle(vec3(0.2f, 0.5f, 0.2f), a, b, c));  // off the plane
    EXPECT_TRUE(point_in_triangle(vec3(0.2f, 0.001f, 0.2f), a, b, c));  // close enough
}

TEST(SimCollision, ClosestPointOnSegment) {
    Vec3 a = vec3(0, 0, 0), b = vec3(2, 0, 0);
    EXPECT_FLOAT_EQ(closest_point_on_segment(a, b, vec3(-1, 1, 0)).x, 0.0f);
    EXPECT_FLOAT_EQ(closest_point_on_segment(a, b, vec3(3, 1, 0)).x, 2.0f);
    Vec3 mid = closest_point_on_segment(a, b, vec3(0.5f, 1, 7));
    EXPECT_FLOAT_EQ(mid.x, 0.5f);
    EXPECT_FLOAT_EQ(mid.z, 0.0f);
    Vec3 same = closest_point_on_segment(a, a, vec3(1, 1, 1));
    EXPECT_TRUE(is_finite(same));
}

TEST(SimCollision, NonFiniteQueriesChangeNothing) {
    auto world = new_world();
    set_flat_ground(*world, 0.0f);
    Vec3 p = vec3(NAN, 0.5f, 1.0f);
    EXPECT_FALSE(collide_sphere(*world, p, 1.25f));
    Vec3 e = vec3(INFINITY, -1.0f, 0.0f);
    EXPECT_FALSE(clip_segment(*world, vec3(0, 1, 0), e));
}

}  // namespace
