#include "world/settle.h"

#include "world/bitrows.h"
#include "world/mesh.h"

#include <cstring>

namespace {

constexpr int row_count = world_size * world_levels;
constexpr int top_level = world_levels - 1;

// Occluded fills: spread the seeds along z through the set bits of f, toward
// higher and toward lower z, in six doubling steps.
uint64_t fill_up(uint64_t seeds, uint64_t f) {
    seeds |= f & (seeds << 1);
    f &= f << 1;
    seeds |= f & (seeds << 2);
    f &= f << 2;
    seeds |= f & (seeds << 4);
    f &= f << 4;
    seeds |= f & (seeds << 8);
    f &= f << 8;
    seeds |= f & (seeds << 16);
    f &= f << 16;
    return seeds | (f & (seeds << 32));
}

uint64_t fill_down(uint64_t seeds, uint64_t f) {
    seeds |= f & (seeds >> 1);
    f &= f >> 1;
    seeds |= f & (seeds >> 2);
    f &= f >> 2;
    seeds |= f & (seeds >> 4);
    f &= f >> 4;
    seeds |= f & (seeds >> 8);
    f &= f >> 8;
    seeds |= f & (seeds >> 16);
    f &= f >> 16;
    return seeds | (f & (seeds >> 32));
}

// Every run of blocks in the row that holds a seed, runs meeting across the
// z = 49/0 seam counting as one. seeds must be a subset of blocks.
uint64_t fill_row(uint64_t seeds, uint64_t blocks) {
    uint64_t filled = fill_up(seeds, blocks) | fill_down(seeds, blocks);
    const uint64_t across = (((filled >> (world_size - 1)) & 1) | ((filled & 1) << (world_size - 1))) &
                            blocks & ~filled;
    if (across != 0) {
        filled |= across;
        filled = fill_up(filled, blocks) | fill_down(filled, blocks);
    }
    return filled;
}

// Level 0 holds every block on it; the ground holds a block when one of its
// column's four corners rises above the block's bottom.
void seed_support(const World& world, WorldScratch& scratch) {
    for (int r = 0; r < row_count; ++r) {
        scratch.resting_rows[r] = r % world_levels == 0 ? ~0ull : 0;
    }
    for (int x = 0; x < world_size; ++x) {
        const int xp = x == world_size - 1 ? 0 : x + 1;
        uint64_t* rows = scratch.resting_rows + x * world_levels;
        for (int z = 0; z < world_size; ++z) {
            const int zp = z == world_size - 1 ? 0 : z + 1;
            float high = world.terrain_height[x][z];
            if (world.terrain_height[xp][z] > high) high = world.terrain_height[xp][z];
            if (world.terrain_height[x][zp] > high) high = world.terrain_height[x][zp];
            if (world.terrain_height[xp][zp] > high) high = world.terrain_height[xp][zp];
            const uint64_t bit = 1ull << z;
            for (int y = 1; y < world_levels && high > static_cast<float>(y); ++y) rows[y] |= bit;
        }
    }
    for (int r = 0; r < row_count; ++r) scratch.resting_rows[r] &= scratch.falling_rows[r];
}

// Spreads rest from the seeded rows through face contact, row by row: a row
// is queued whenever it gains resting blocks, and on its turn it fills its own
// runs along z and hands the result to the rows beside, above and below it.
void spread_support(WorldScratch& scratch) {
    uint64_t* resting = scratch.resting_rows;
    const uint64_t* blocks = scratch.falling_rows;
    uint16_t* queue = scratch.row_queue;
    uint8_t* queued = scratch.row_queued;
    int head = 0, count = 0;
    for (int r = 0; r < row_count; ++r) {
        queued[r] = resting[r] != 0;
        if (queued[r]) queue[count++] = static_cast<uint16_t>(r);
    }
    while (count > 0) {
        const int r = queue[head];
        head = head == row_count - 1 ? 0 : head + 1;
        --count;
        queued[r] = 0;
        const uint64_t filled = fill_row(resting[r], blocks[r]);
        resting[r] = filled;

        const int x = r / world_levels, y = r - x * world_levels;
        int near[4];
        int near_count = 0;
        near[near_count++] = x == world_size - 1 ? y : r + world_levels;
        near[near_count++] = x == 0 ? r + (world_size - 1) * world_levels : r - world_levels;
        if (y < top_level) near[near_count++] = r + 1;
        if (y > 0) near[near_count++] = r - 1;
        for (int i = 0; i < near_count; ++i) {
            const int n = near[i];
            const uint64_t gained = filled & blocks[n] & ~resting[n];
            if (gained == 0) continue;
            resting[n] |= gained;
            if (!queued[n]) {
                queued[n] = 1;
                int tail = head + count;
                if (tail >= row_count) tail -= row_count;
                queue[tail] = static_cast<uint16_t>(n);
                ++count;
            }
        }
    }
}

}  // namespace

void settle_blocks(World& world) {
    WorldScratch& scratch = world.scratch;
    for (int x = 0; x < world_size; ++x) {
        for (int y = 0; y < world_levels; ++y) {
            scratch.earlier_resting[x * world_levels + y] = pack_row(world.block_grid[x][y]);
            scratch.earlier_falling[x * world_levels + y] = pack_row(world.falling_grid[x][y]);
        }
    }
    // Fall and gather in one go: every block of the world, the falling ones
    // one level lower, as one set of candidates.
    for (int r = 0; r < row_count; ++r) {
        const bool top = r % world_levels == top_level;
        scratch.falling_rows[r] = scratch.earlier_resting[r] | (top ? 0 : scratch.earlier_falling[r + 1]);
    }
    seed_support(world, scratch);
    spread_support(scratch);
    std::memset(world.settled_block_chunks, 0, sizeof world.settled_block_chunks);
    std::memset(world.settled_falling_chunks, 0, sizeof world.settled_falling_chunks);
    for (int x = 0; x < world_size; ++x) {
        uint64_t blocks_changed = 0, falling_changed = 0;
        for (int y = 0; y < world_levels; ++y) {
            const int r = x * world_levels + y;
            const uint64_t resting = scratch.resting_rows[r];
            const uint64_t falling = scratch.falling_rows[r] & ~resting;
            unpack_row(resting, world.block_grid[x][y]);
            unpack_row(falling, world.falling_grid[x][y]);
            blocks_changed |= resting ^ scratch.earlier_resting[r];
            falling_changed |= falling ^ scratch.earlier_falling[r];
        }
        for (; blocks_changed != 0; blocks_changed &= blocks_changed - 1) {
            mark_column_chunks(world.settled_block_chunks, x, __builtin_ctzll(blocks_changed));
        }
        for (; falling_changed != 0; falling_changed &= falling_changed - 1) {
            mark_column_chunks(world.settled_falling_chunks, x, __builtin_ctzll(falling_changed));
        }
    }
}

void advance_falling(World& world, float speed) {
    world.fall_offset = static_cast<float>(static_cast<double>(world.fall_offset) +
                                           static_cast<double>(0.1f) * static_cast<double>(speed));
    while (world.fall_offset >= 1.0f) {
        settle_blocks(world);
        build_block_meshes(world, world.settled_block_chunks);
        build_falling_meshes(world, world.settled_falling_chunks);
        build_collision_lists(world, world.settled_block_chunks);
        world.fall_offset -= 1.0f;
    }
}
