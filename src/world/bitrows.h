// Packing one row of a block grid (50 bytes along z) into a 64-bit mask,
// bit z set for a non-zero byte, and back into bytes of 0 and 1. Used by
// settling and meshing to handle eight cells per operation.
#pragma once

#include "world/world.h"

#include <cstdint>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "row packing reads bytes as little-endian words");

constexpr uint64_t row_bits = (1ull << world_size) - 1;

// Each byte of w becomes 0x01 when non-zero, else 0x00. Only bits of the same
// byte reach its lowest bit, so neighbours do not leak into each other.
inline uint64_t byte_flags(uint64_t w) {
    w |= w >> 4;
    w |= w >> 2;
    w |= w >> 1;
    return w & 0x0101010101010101ull;
}

// Eight 0/1 bytes to eight bits, byte i to bit i.
inline uint64_t gather_flags(uint64_t flags) {
    return (flags * 0x0102040810204080ull) >> 56;
}

inline uint64_t pack_row(const uint8_t* row) {
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) {
        uint64_t w;
        std::memcpy(&w, row + 8 * i, 8);
        bits |= gather_flags(byte_flags(w)) << (8 * i);
    }
    bits |= static_cast<uint64_t>(row[48] != 0) << 48;
    bits |= static_cast<uint64_t>(row[49] != 0) << 49;
    return bits;
}

// Eight bits to eight 0/1 bytes, bit i to byte i: copy the byte into every
// byte, keep bit i in byte i, then turn each non-zero byte into 0x01.
inline uint64_t spread_bits(uint64_t byte) {
    const uint64_t picked = (byte * 0x0101010101010101ull) & 0x8040201008040201ull;
    return ((picked + 0x7f7f7f7f7f7f7f7full) >> 7) & 0x0101010101010101ull;
}

inline void unpack_row(uint64_t bits, uint8_t* row) {
    for (int i = 0; i < 6; ++i) {
        const uint64_t w = spread_bits((bits >> (8 * i)) & 0xff);
        std::memcpy(row + 8 * i, &w, 8);
    }
    row[48] = static_cast<uint8_t>((bits >> 48) & 1);
    row[49] = static_cast<uint8_t>((bits >> 49) & 1);
}
