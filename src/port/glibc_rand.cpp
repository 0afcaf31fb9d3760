// rand and srand as Linux's C library (glibc) makes them: an additive
// feedback generator over 31 words seeded by a multiplicative one. Linked in
// place of the C library's own where that differs: the browser's has another
// sequence, and Windows' stops at 32767, so rand() % 36000 never reaches the
// upper angles. With this one a seed means the same world everywhere.
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int words = 34;  // the 31 lags and the 3 of the nearer tap, as a ring
int32_t ring[words];
int next_word = 0;

int32_t feed() {
    const int32_t value = static_cast<int32_t>(static_cast<uint32_t>(ring[(next_word + words - 31) % words]) +
                                               static_cast<uint32_t>(ring[(next_word + words - 3) % words]));
    ring[next_word] = value;
    next_word = (next_word + 1) % words;
    return value;
}

}  // namespace

extern "C" void srand(unsigned seed) {
    int32_t word = seed == 0 ? 1 : static_cast<int32_t>(seed);
    ring[0] = word;
    for (int i = 1; i < 31; ++i) {
        // 16807 * word mod (2^31 - 1), without overflow (Schrage's method).
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        ring[i] = word;
    }
    for (int i = 31; i < 34; ++i) ring[i] = ring[i - 31];
    next_word = 0;
    // The first 310 outputs are thrown away, as glibc does.
    for (int i = 0; i < 310; ++i) feed();
}

extern "C" int rand() { return static_cast<int>(static_cast<uint32_t>(feed()) >> 1); }
