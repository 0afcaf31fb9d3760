#include "render/limb.h"
#include "render/matrix.h"
#include "render/models.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float dist(const Vec3& a, const Vec3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

struct Chain {
    Vec3 elbow, end;
};

// The transforms draw_limb hands to GL, rebuilt on the CPU; a segment's ball
// sits at (0, -1, 0) of its frame.
Chain chain(const Vec3& root, const Vec3& end, bool flip_when_raised) {
    LimbPose pose = limb_pose(root, end, flip_when_raised);
    Mat4 m = mat4_multiply(mat4_translate(root.x, root.y, root.z),
                           mat4_rotate(pose.yaw_degrees, 0, 1, 0));
    if (pose.flipped) m = mat4_multiply(m, mat4_rotate(180.0f, 1, 0, 0));
    m = mat4_multiply(m, mat4_rotate(pose.upper_tilt_degrees, 1, 0, 0));
    m = mat4_multiply(m, mat4_rotate(pose.upper_bend_degrees, 1, 0, 0));
    Chain c;
    c.elbow = mat4_transform_point(m, {0, -1, 0});
    m = mat4_multiply(m, mat4_translate(0, -1, 0));
    m = mat4_multiply(m, mat4_rotate(pose.lower_fold_degrees, 1, 0, 0));
    m = mat4_multiply(m, mat4_rotate(pose.lower_reach_degrees, 1, 0, 0));
    c.end = mat4_transform_point(m, {0, -1, 0});
    return c;
}

void expect_reaches(const Vec3& root, const Vec3& end, bool flip) {
    Chain c = chain(root, end, flip);
    EXPECT_NEAR(dist(c.end, end), 0.0f, 2e-5f);
    EXPECT_NEAR(dist(root, c.elbow), 1.0f, 1e-5f);
    EXPECT_NEAR(dist(c.elbow, c.end), 1.0f, 1e-5f);
    // The elbow lies in the vertical plane through root and end.
    float nx = end.z - root.z, nz = -(end.x - root.x);
    EXPECT_NEAR((c.elbow.x - root.x) * nx + (c.elbow.z - root.z) * nz, 0.0f, 1e-5f);
}

}  // namespace

TEST(Limb, ScaledLimbBallSitsWhereTheChainPutsTheJoint) {
    Models models = build_models();
    scale_models(models);
    double sum[3] = {0, 0, 0};
    for (int n = 0; n < sphere_vertex_count; ++n)
        for (int k = 0; k < 3; ++k) sum[k] += models.limb_model.positions[n * 3 + k];
    EXPECT_NEAR(sum[0] / sphere_vertex_count, 0.0, 1e-6);
    EXPECT_NEAR(sum[1] / sphere_vertex_count, -1.0, 1e-6);
    EXPECT_NEAR(sum[2] / sphere_vertex_count, 0.0, 1e-6);
}

TEST(Limb, HandBelowShoulderEndsOnIt) {
    expect_reaches({25.4f, 11.15f, 25.0f}, {25.9f, 9.6f, 24.2f}, true);
    expect_reaches({25.4f, 11.15f, 25.0f}, {24.1f, 10.9f, 25.7f}, true);
    expect_reaches({3.0f, 4.0f, -7.0f}, {3.3f, 2.5f, -6.1f}, false);  // a leg
}

TEST(Limb, HandAboveShoulderEndsOnItInTheTurnedFrame) {
    LimbPose pose = limb_pose({25.4f, 11.15f, 25.0f}, {26.0f, 12.5f, 24.0f}, true);
    EXPECT_TRUE(pose.flipped);
    expect_reaches({25.4f, 11.15f, 25.0f}, {26.0f, 12.5f, 24.0f}, true);
    expect_reaches({0.0f, 0.0f, 0.0f}, {-0.3f, 1.9f, 0.2f}, true);
    expect_reaches({0.0f, 0.0f, 0.0f}, {0.0f, 1.5f, 0.0f}, true);  // straight overhead
    EXPECT_FALSE(limb_pose({0, 0, 0}, {0.5f, -1.0f, 0}, true).flipped);
    EXPECT_FALSE(limb_pose({0, 0, 0}, {0.5f, 1.0f, 0}, false).flipped);
}

TEST(Limb, StraightLimbOfLengthTwo) {
    LimbPose pose = limb_pose({1, 5, 1}, {1, 3, 1}, false);
    EXPECT_EQ(pose.upper_bend_degrees, 0.0f);
    expect_reaches({1, 5, 1}, {1, 3, 1}, false);
    expect_reaches({0, 0, 0}, {1.2f, -1.6f, 0.0f}, false);  // 2 away, slanted
    Chain c = chain({0, 0, 0}, {1.2f, -1.6f, 0.0f}, false);
    EXPECT_NEAR(c.elbow.x, 0.6f, 1e-5f);  // both segments in line
    EXPECT_NEAR(c.elbow.y, -0.8f, 1e-5f);
}

TEST(Limb, LevelHandEndsOnItInBothFrames) {
    expect_reaches({0, 2, 0}, {1.5f, 2, 0.3f}, true);
    expect_reaches({0, 2, 0}, {1.5f, 2, 0.3f}, false);
}

TEST(Limb, FarEndStretchesStraightTowardsIt) {
    Vec3 root{0, 0, 0}, end{3.0f, -4.0f, 0.0f};  // 5 away
    LimbPose pose = limb_pose(root, end, false);
    for (float a : {pose.yaw_degrees, pose.upper_tilt_degrees, pose.upper_bend_degrees,
                    pose.lower_fold_degrees, pose.lower_reach_degrees}) {
        EXPECT_TRUE(std::isfinite(a));
    }
    Chain c = chain(root, end, false);
    EXPECT_NEAR(c.end.x, 1.2f, 1e-5f);
    EXPECT_NEAR(c.end.y, -1.6f, 1e-5f);
    EXPECT_NEAR(c.end.z, 0.0f, 1e-5f);
}

TEST(Limb, CoincidentEndsFoldBackOntoTheRoot) {
    Vec3 p{4.0f, 7.0f, -2.0f};
    for (bool flip : {false, true}) {
        LimbPose pose = limb_pose(p, p, flip);
        EXPECT_TRUE(std::isfinite(pose.yaw_degrees) && std::isfinite(pose.upper_tilt_degrees));
        Chain c = chain(p, p, flip);
        EXPECT_NEAR(dist(c.end, p), 0.0f, 1e-5f);
    }
}

TEST(Limb, NonFinitePointsHangStraightDown) {
    Vec3 root{1, 2, 3}, end{NAN, 0, 0};
    LimbPose pose = limb_pose(root, end, true);
    Chain c = chain(root, end, true);
    EXPECT_FALSE(pose.flipped);
    EXPECT_NEAR(c.end.x, 1.0f, 1e-6f);
    EXPECT_NEAR(c.end.y, 0.0f, 1e-6f);
    EXPECT_NEAR(c.end.z, 3.0f, 1e-6f);
}
