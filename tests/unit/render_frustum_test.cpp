#include "render/frustum.h"
#include "render/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

const Mat4 identity = mat4_identity();

// The start view of a new game: camera at (25, 10, 25), yaw and pitch 0.
Mat4 view(float pitch_degrees, float yaw_degrees, Vec3 eye) {
    return mat4_multiply(mat4_multiply(mat4_rotate(pitch_degrees, 1, 0, 0),
                                       mat4_rotate(yaw_degrees, 0, 1, 0)),
                         mat4_translate(-eye.x, -eye.y, -eye.z));
}

const Mat4 projection = mat4_perspective(45.0, 1024.0 / 768.0, 1.0, 1000.0);

float value(const Frustum& f, int plane, Vec3 p) {
    const float* q = f.planes[plane];
    return q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3];
}

}  // namespace

TEST(Frustum, IdentityGivesTheClipCubeInPlaneOrder) {
    Frustum f = frustum_from_matrices(identity.m, identity.m);
    const float expected[6][4] = {{-1, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1},
                                  {0, -1, 0, 1}, {0, 0, -1, 1}, {0, 0, 1, 1}};
    for (int p = 0; p < 6; ++p) {
        for (int k = 0; k < 4; ++k) EXPECT_EQ(f.planes[p][k], expected[p][k]) << p << "," << k;
    }
}

TEST(Frustum, PlanesAreNormalised) {
    // A box-shaped view 4 wide, 8 high, 20 deep, shifted 3 along x.
    Mat4 scale = mat4_identity();
    scale.m[0] = 0.5f;
    scale.m[5] = 0.25f;
    scale.m[10] = 0.1f;
    Frustum f = frustum_from_matrices(scale.m, mat4_translate(-3, 0, 0).m);
    EXPECT_FLOAT_EQ(f.planes[frustum_right][0], -1.0f);
    EXPECT_FLOAT_EQ(f.planes[frustum_right][3], 5.0f);  // x < 5
    EXPECT_FLOAT_EQ(f.planes[frustum_left][3], -1.0f);  // x > 1
    EXPECT_FLOAT_EQ(f.planes[frustum_top][1], -1.0f);
    EXPECT_FLOAT_EQ(f.planes[frustum_top][3], 4.0f);
    EXPECT_FLOAT_EQ(f.planes[frustum_far][3], 10.0f);
    for (int p = 0; p < 6; ++p) {
        const float* q = f.planes[p];
        EXPECT_NEAR(std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]), 1.0, 1e-6);
    }
}

TEST(Frustum, DegeneratePlaneIsLeftAlone) {
    Frustum f;
    f.planes[2][3] = 7.0f;
    normalise_plane(f, 2);
    EXPECT_EQ(f.planes[2][3], 7.0f);
}

// The planes must come from projection * modelview, not the other way round:
// every plane's sign agrees with the clip-space test of the point.
TEST(Frustum, PlanesAgreeWithClipSpaceOfProjectionTimesModelview) {
    Mat4 modelview = view(20.0f, 30.0f, {25, 10, 25});
    Mat4 clip = mat4_multiply(projection, modelview);
    Frustum f = frustum_from_matrices(projection.m, modelview.m);
    std::srand(7);
    int inside = 0;
    for (int n = 0; n < 2000; ++n) {
        Vec3 p{25.0f + (std::rand() % 4000) / 20.0f - 100.0f, (std::rand() % 2000) / 20.0f - 50.0f,
               25.0f + (std::rand() % 4000) / 20.0f - 100.0f};
        float c[4];
        for (int r = 0; r < 4; ++r)
            c[r] = clip.m[r] * p.x + clip.m[4 + r] * p.y + clip.m[8 + r] * p.z + clip.m[12 + r];
        const float w = c[3];
        const float clip_value[6] = {w - c[0], w + c[0], w + c[1], w - c[1], w - c[2], w + c[2]};
        bool all = true;
        for (int plane = 0; plane < 6; ++plane) {
            if (std::fabs(clip_value[plane]) < 1e-2f) continue;
            EXPECT_EQ(value(f, plane, p) > 0, clip_value[plane] > 0) << "plane " << plane;
            all = all && clip_value[plane] > 0;
        }
        inside += all;
    }
    EXPECT_GT(inside, 20);  // the sample reaches inside the view, not only outside it
}

TEST(Frustum, PerspectiveNearAndFarPlanesSitWhereAsked) {
    Frustum f = frustum_from_matrices(projection.m, view(0, 0, {25, 10, 25}).m);
    EXPECT_NEAR(value(f, frustum_near, {25, 10, 24.0f}), 0.0f, 1e-5);
    EXPECT_GT(value(f, frustum_near, {25, 10, 23.9f}), 0.0f);
    EXPECT_LT(value(f, frustum_near, {25, 10, 24.1f}), 0.0f);
    EXPECT_GT(value(f, frustum_far, {25, 10, -974.0f}), 0.0f);
    EXPECT_LT(value(f, frustum_far, {25, 10, -976.0f}), 0.0f);
    // 22.5 degrees above and below the view axis.
    float edge = std::tan(22.5f * 3.14159265f / 180.0f) * 100.0f;
    EXPECT_GT(value(f, frustum_top, {25, 10 + edge - 0.1f, -75}), 0.0f);
    EXPECT_LT(value(f, frustum_top, {25, 10 + edge + 0.1f, -75}), 0.0f);
    EXPECT_GT(value(f, frustum_bottom, {25, 10 - edge + 0.1f, -75}), 0.0f);
    EXPECT_LT(value(f, frustum_bottom, {25, 10 - edge - 0.1f, -75}), 0.0f);
}

TEST(Frustum, CubeTests) {
    Frustum f = frustum_from_matrices(identity.m, identity.m);  // the cube |x|,|y|,|z| < 1
    EXPECT_TRUE(cube_in_frustum(f, 0, 0, 0, 0.5f));
    EXPECT_TRUE(cube_in_frustum(f, 0, 0, 0, 10.0f));   // encloses the whole view
    EXPECT_TRUE(cube_in_frustum(f, 1.2f, 0, 0, 0.5f)); // straddles the right plane
    EXPECT_TRUE(cube_in_frustum(f, 0, 0, -1.4f, 0.5f)); // straddles the far plane
    EXPECT_FALSE(cube_in_frustum(f, 2.0f, 0, 0, 0.5f));
    EXPECT_FALSE(cube_in_frustum(f, 0, -3.0f, 0, 0.5f));
    // Touching a plane with value exactly 0 is outside it.
    EXPECT_FALSE(cube_in_frustum(f, 1.5f, 0, 0, 0.5f));
    EXPECT_FALSE(cube_in_frustum(f, 0, 0, 1.5f, 0.5f));
    EXPECT_TRUE(cube_in_frustum(f, 1.4999f, 0, 0, 0.5f));
    // Outside the right-top edge, yet each plane on its own has a corner
    // inside: the test is conservative and lets it through.
    EXPECT_TRUE(cube_in_frustum(f, 1.7f, 1.7f, 0, 0.9f));
    EXPECT_FALSE(cube_in_frustum(f, 1.7f, 1.7f, 0, 0.6f));
}

TEST(Frustum, CubeStraddlingTheNearPlaneIsIn) {
    Frustum f = frustum_from_matrices(projection.m, view(0, 0, {25, 10, 25}).m);
    EXPECT_TRUE(cube_in_frustum(f, 25, 10, 24, 2.5f));     // around the near plane
    EXPECT_TRUE(cube_in_frustum(f, 25, 10, 25, 2.5f));     // around the eye itself
    EXPECT_FALSE(cube_in_frustum(f, 25, 10, 28.6f, 2.5f)); // wholly behind the eye
    EXPECT_FALSE(cube_in_frustum(f, 25, 10, 28.4f, 1.0f));
}

TEST(Slots, SlotOfFloorsAlsoBelowZeroAndHoldsExtremes) {
    EXPECT_EQ(slot_of(25.0f), 5);
    EXPECT_EQ(slot_of(4.999f), 0);
    EXPECT_EQ(slot_of(0.0f), 0);
    EXPECT_EQ(slot_of(-0.5f), -1);
    EXPECT_EQ(slot_of(-5.0f), -1);
    EXPECT_EQ(slot_of(-5.001f), -2);
    EXPECT_EQ(slot_of(1.0e6f), 200000);
    EXPECT_EQ(slot_of(-1.0e6f), -200000);
    EXPECT_EQ(slot_of(std::numeric_limits<float>::infinity()), 1000000000);
    EXPECT_EQ(slot_of(-1.0e30f), -1000000000);
    EXPECT_EQ(slot_of(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(Slots, MeshIndexWrapsEveryTenSlotsBothWays) {
    EXPECT_EQ(slot_mesh_index(0, 0), 0);
    EXPECT_EQ(slot_mesh_index(9, 9), 99);
    EXPECT_EQ(slot_mesh_index(10, 3), 3);
    EXPECT_EQ(slot_mesh_index(-1, -1), 99);
    EXPECT_EQ(slot_mesh_index(-10, 3), 3);
    EXPECT_EQ(slot_mesh_index(-11, -21), 99);
    EXPECT_EQ(slot_mesh_index(-1, 0), 90);
    EXPECT_EQ(slot_mesh_index(1000003, -1000007), 33);
    EXPECT_EQ(slot_mesh_index(-1000000020, 1000000020), 0);
    // A player at (-25, -25) sees the same chunks around it as at (25, 25).
    for (int dx = -slot_radius; dx <= slot_radius; ++dx) {
        for (int dz = -slot_radius; dz <= slot_radius; ++dz) {
            ASSERT_EQ(slot_mesh_index(slot_of(-25.0f) + dx, slot_of(-25.0f) + dz),
                      slot_mesh_index(slot_of(25.0f) + dx, slot_of(25.0f) + dz));
        }
    }
}

TEST(Slots, StartViewCullsBehindTheCameraAndKeepsTheNearSlots) {
    Mat4 modelview = view(0, 0, {25, 10, 25});
    SlotCulling culling = make_slot_culling(projection.m, modelview.m, false, 125.0f);
    EXPECT_TRUE(solid_slot_visible(culling, 5, 4));  // straddles the near plane, at z = 24
    EXPECT_FALSE(solid_slot_visible(culling, 5, 5));  // from the eye's z = 25 backwards
    EXPECT_TRUE(solid_slot_visible(culling, 5, 0));  // ahead (the view looks along -z)
    EXPECT_TRUE(water_slot_visible(culling, 5, -10));
    EXPECT_FALSE(solid_slot_visible(culling, 5, 8));  // wholly behind the camera
    EXPECT_FALSE(water_slot_visible(culling, 5, 8));
    EXPECT_FALSE(solid_slot_visible(culling, 25, 0));  // far off to the right
    int visible = 0;
    for (int cx = 5 - slot_radius; cx <= 5 + slot_radius; ++cx)
        for (int cz = 5 - slot_radius; cz <= 5 + slot_radius; ++cz) visible += solid_slot_visible(culling, cx, cz);
    EXPECT_GT(visible, 150);
    EXPECT_LT(visible, 600);
}

TEST(Slots, HighColumnSlotIsSeenThroughItsUpperCubes) {
    // Looking straight up from y = 10: the low cubes are below the view, the
    // top of the column is not.
    Mat4 modelview = view(-90.0f, 0, {25, 10, 25});
    SlotCulling culling = make_slot_culling(projection.m, modelview.m, false, 125.0f);
    EXPECT_TRUE(solid_slot_visible(culling, 5, 5));
    EXPECT_FALSE(water_slot_visible(culling, 5, 5));
}

// The fog skip leaves out only slots that lie wholly past the fog's end plus
// the margin along the view axis, and it leaves out some in a diagonal view.
TEST(Slots, FogSkipDropsOnlySlotsWhollyBeyondTheFog) {
    for (float yaw : {0.0f, 45.0f, 135.0f, 200.0f}) {
        Mat4 modelview = view(5.0f, yaw, {26, 11, 30});
        SlotCulling all = make_slot_culling(projection.m, modelview.m, false, 125.0f);
        SlotCulling near = make_slot_culling(projection.m, modelview.m, true, 125.0f);
        int skipped = 0;
        for (int cx = 5 - slot_radius; cx <= 5 + slot_radius; ++cx) {
            for (int cz = 5 - slot_radius; cz <= 5 + slot_radius; ++cz) {
                bool with_skip = solid_slot_visible(near, cx, cz);
                bool without = solid_slot_visible(all, cx, cz);
                EXPECT_TRUE(!with_skip || without);
                EXPECT_EQ(water_slot_visible(near, cx, cz) && !water_slot_visible(all, cx, cz), false);
                if (without && !with_skip) {
                    ++skipped;
                    // Every corner of the slot's column lies past the fog's end.
                    for (int corner = 0; corner < 8; ++corner) {
                        Vec3 p{5.0f * (cx + (corner & 1)), (corner & 2) ? 26.0f : -1.0f,
                               5.0f * (cz + ((corner & 4) ? 1 : 0))};
                        EXPECT_LT(mat4_transform_point(modelview, p).z, -125.0f);
                    }
                }
            }
        }
        if (yaw == 45.0f || yaw == 135.0f) {
            EXPECT_GT(skipped, 3) << "yaw " << yaw;
        }
        if (yaw == 0.0f) {
            EXPECT_EQ(skipped, 0);  // straight ahead the window ends before the fog does
        }
    }
}

// The listed order is the double loop of the window, cx outer, cz inner,
// both ascending, keeping the visible slots; nearest_first draws the same
// slots sorted by distance from the eye, equal distances in listed order.
TEST(Slots, SolidSlotsInListedOrderAndNearestFirst) {
    static Slot listed[slot_window_count], nearest[slot_window_count];
    const struct {
        float pitch, yaw;
        Vec3 eye;
    } views[] = {{0, 0, {25, 10, 25}},
                 {10, 135, {-37.5f, 6, -12}},
                 {-20, 250, {123, 15, -261.5f}},
                 {89, 30, {2.5f, 40, 2.5f}}};
    for (const auto& v : views) {
        Mat4 modelview = view(v.pitch, v.yaw, v.eye);
        SlotCulling culling = make_slot_culling(projection.m, modelview.m, true, 125.0f);
        int pcx = slot_of(v.eye.x + 1.0f), pcz = slot_of(v.eye.z - 3.0f);  // the player near the eye
        int count = solid_slots_in_order(culling, pcx, pcz, v.eye.x, v.eye.z, SlotOrder::listed, listed);
        int n = 0;
        for (int cx = pcx - slot_radius; cx <= pcx + slot_radius; ++cx) {
            for (int cz = pcz - slot_radius; cz <= pcz + slot_radius; ++cz) {
                if (!solid_slot_visible(culling, cx, cz)) continue;
                ASSERT_LT(n, count);
                EXPECT_EQ(listed[n].cx, cx);
                EXPECT_EQ(listed[n].cz, cz);
                ++n;
            }
        }
        EXPECT_EQ(n, count);
        EXPECT_GT(count, 50);

        ASSERT_EQ(solid_slots_in_order(culling, pcx, pcz, v.eye.x, v.eye.z, SlotOrder::nearest_first,
                                       nearest),
                  count);
        auto distance = [&](const Slot& s) {
            float dx = (s.cx + 0.5f) * slot_size - v.eye.x, dz = (s.cz + 0.5f) * slot_size - v.eye.z;
            return dx * dx + dz * dz;
        };
        auto listed_position = [&](const Slot& s) { return (s.cx - pcx) * 100 + (s.cz - pcz); };
        for (int k = 1; k < count; ++k) {
            float before = distance(nearest[k - 1]), after = distance(nearest[k]);
            EXPECT_LE(before, after);
            if (before == after) {
                EXPECT_LT(listed_position(nearest[k - 1]), listed_position(nearest[k]));
            }
        }
        // The same slots, each once.
        std::vector<bool> seen(size_t(41 * 41));
        for (int k = 0; k < count; ++k) {
            int cell = (nearest[k].cx - pcx + slot_radius) * 41 + (nearest[k].cz - pcz + slot_radius);
            ASSERT_GE(cell, 0);
            ASSERT_LT(cell, 41 * 41);
            EXPECT_FALSE(seen[size_t(cell)]);
            seen[size_t(cell)] = true;
            EXPECT_TRUE(solid_slot_visible(culling, nearest[k].cx, nearest[k].cz));
        }
        // The eye's own slot, when drawn, comes first.
        if (solid_slot_visible(culling, slot_of(v.eye.x), slot_of(v.eye.z))) {
            EXPECT_EQ(nearest[0].cx, slot_of(v.eye.x));
            EXPECT_EQ(nearest[0].cz, slot_of(v.eye.z));
        }
    }
}
