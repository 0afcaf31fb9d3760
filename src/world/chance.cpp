#include "world/chance.h"

namespace {

constexpr int words = 34;

int32_t feed(Chance& chance) {
    int32_t* ring = chance.ring;
    const int n = chance.next;
    // Wrapping 32-bit sums, as glibc adds them.
    ring[n] = static_cast<int32_t>(static_cast<uint32_t>(ring[(n + words - 31) % words]) +
                                   static_cast<uint32_t>(ring[(n + words - 3) % words]));
    chance.next = (n + 1) % words;
    return ring[n];
}

}  // namespace

Chance seeded_chance(unsigned seed) {
    Chance chance;
    int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
    chance.ring[0] = word;
    for (int i = 1; i < 31; ++i) {
        // 16807 * word mod (2^31 - 1), without overflow (Schrage's method).
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        chance.ring[i] = word;
    }
    for (int i = 31; i < words; ++i) chance.ring[i] = chance.ring[i - 31];
    // glibc throws the first 310 words away.
    for (int i = 0; i < 310; ++i) feed(chance);
    return chance;
}

int next_chance(Chance& chance) {
    return static_cast<int>(static_cast<uint32_t>(feed(chance)) >> 1);
}
