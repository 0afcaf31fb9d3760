#include "world/water.h"

#include "world/mesh.h"

void animate_water(World& world, float speed) {
    float phase = static_cast<float>(static_cast<double>(world.water_phase) +
                                     static_cast<double>(0.025f) * static_cast<double>(speed));
    while (phase >= 5.0f) phase -= 5.0f;
    world.water_phase = phase;

    for (int x = 0; x < world_size; ++x) {
        for (int z = 0; z < world_size; ++z) {
            float t = world.water_phase_offset[x][z] + phase;
            while (t >= 5.0f) t -= 5.0f;
            // t is never negative, so truncation is the floor; an offset out
            // of its range must still not index outside the five frames.
            const int k = t >= 0.0f && t < 5.0f ? static_cast<int>(t) : 0;
            const float f = t - static_cast<float>(k);
            const int next = k == water_frame_count - 1 ? 0 : k + 1;
            world.water_height[x][z] =
                world.water_frames[k][x][z] * (1.0f - f) + world.water_frames[next][x][z] * f;
        }
    }
    build_water_meshes(world);
}
