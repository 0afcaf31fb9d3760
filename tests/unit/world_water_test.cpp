#include "world/water.h"
#include "world_reference.h"

#include <gtest/gtest.h>

namespace {

// Frames that differ everywhere, so any mix-up of frame, point or weight shows.
std::unique_ptr<World> water_world() {
    auto w = make_world();
    std::srand(3);
    for (int k = 0; k < water_frame_count; ++k)
        for (int x = 0; x < world_size; ++x)
            for (int z = 0; z < world_size; ++z)
                w->water_frames[k][x][z] = 1.0f + static_cast<float>(std::rand() % 1000) * 0.001999f;
    return w;
}

float blend(const World& w, int a, int b, int x, int z, float f) {
    return w.water_frames[a][x][z] * (1.0f - f) + w.water_frames[b][x][z] * f;
}

}  // namespace

TEST(Water, PhaseAndOffsetPickTheFrames) {
    auto w = water_world();
    w->water_phase_offset[4][6] = 1.5f;
    w->water_phase = 0.0f;
    animate_water(*w, 0.0f);
    EXPECT_EQ(w->water_height[2][3], w->water_frames[0][2][3]);

    w->water_phase = 4.5f;
    animate_water(*w, 0.0f);
    EXPECT_EQ(w->water_height[2][3], blend(*w, 4, 0, 2, 3, 0.5f));
    EXPECT_FLOAT_EQ(w->water_height[2][3], (w->water_frames[4][2][3] + w->water_frames[0][2][3]) * 0.5f);

    w->water_phase = 4.0f;  // with offset 1.5: t = 5.5, that is 0.5
    animate_water(*w, 0.0f);
    EXPECT_EQ(w->water_height[4][6], blend(*w, 0, 1, 4, 6, 0.5f));
    EXPECT_EQ(w->water_height[2][3], w->water_frames[4][2][3]);
}

TEST(Water, PhaseAdvancesAndWraps) {
    auto w = water_world();
    animate_water(*w, 1.0f);
    EXPECT_EQ(w->water_phase, 0.025f);
    for (int u = 1; u < 200; ++u) animate_water(*w, 1.0f);
    EXPECT_NEAR(w->water_phase, 0.0f, 1e-4f);  // one whole cycle in 200 updates
    w->water_phase = 4.99f;
    animate_water(*w, 2.0f);
    EXPECT_NEAR(w->water_phase, 0.04f, 1e-5f);
}

TEST(Water, SurfaceStaysWithinTheFramesAndUnbrokenAtTheSeam) {
    auto w = water_world();
    std::srand(9);
    for (auto& row : w->water_phase_offset)
        for (float& v : row) v = static_cast<float>(std::rand() % 1000) * 0.001999f;
    animate_water(*w, 1.0f);
    const float* arrays = w->water_meshes[99].vertices.get();
    for (int u = 0; u < 300; ++u) {
        animate_water(*w, 1.7f);
        for (const auto& row : w->water_height)
            for (float h : row) {
                ASSERT_GE(h, 1.0f);
                ASSERT_LT(h, 3.0f);
            }
    }
    EXPECT_EQ(w->water_meshes[99].vertices.get(), arrays);  // re-meshed in place
    // The quad over column (49, 49) reaches the lattice points at 0.
    const float* v = w->water_meshes[99].vertices.get() + 24 * 12;
    EXPECT_EQ(v[1], w->water_height[49][0]);
    EXPECT_EQ(v[4], w->water_height[0][0]);
    EXPECT_EQ(v[7], w->water_height[0][49]);
    EXPECT_EQ(v[10], w->water_height[49][49]);
    // And the quad over column (0, 0) starts from the same heights.
    const float* first = w->water_meshes[0].vertices.get();
    EXPECT_EQ(first[10], w->water_height[0][0]);
}
