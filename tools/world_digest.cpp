// Prints what a seed makes, in the order the game makes it: a hash of the
// generated world (blocks, ground, water) and where the first seekers spawn.
// Built for Linux and for Windows, the two must print the same line for a
// seed; tests/windows compares them.
//
// Usage: world_digest SEED
#include "sim/balls.h"
#include "world/generate.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// FNV-1a over the bytes of an array.
template <typename T>
uint64_t hash_bytes(const T& data, uint64_t hash) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&data);
    for (size_t i = 0; i < sizeof data; ++i) hash = (hash ^ bytes[i]) * 1099511628211u;
    return hash;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: world_digest SEED\n");
        return 2;
    }
    auto world = std::make_unique<World>();
    auto game = std::make_unique<Game>();
    game->chance = seeded_chance(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    generate_world(*world, game->chance);
    place_player(*game);
    for (int i = 0; i < max_seekers; ++i) spawn_seeker(*game);

    uint64_t hash = 14695981039346656037u;
    hash = hash_bytes(world->block_grid, hash);
    hash = hash_bytes(world->terrain_height, hash);
    hash = hash_bytes(world->water_frames, hash);
    hash = hash_bytes(world->water_phase_offset, hash);
    std::printf("%016llx", static_cast<unsigned long long>(hash));
    // Rounded: the C libraries' sin and cos may differ in the last bit.
    for (int i = 0; i < game->ball_count; ++i) {
        std::printf(" %.2f,%.2f", game->balls[i].pos.x, game->balls[i].pos.z);
    }
    std::printf("\n");
    return 0;
}
