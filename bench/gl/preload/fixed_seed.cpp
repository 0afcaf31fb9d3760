// Preloaded into the game by the side-by-side game benchmark (never linked
// into it): the game seeds rand from the clock, so two starts build two
// different worlds. Every srand call is answered with the seed in
// $QUILL_FIXED_SEED (1 when unset), so an old and a new build compared in
// one run generate the same world and stand in the same view.
#include <dlfcn.h>

#include <cstdlib>

extern "C" void srand(unsigned) noexcept {
    using Srand = void (*)(unsigned);
    static Srand real_srand = reinterpret_cast<Srand>(dlsym(RTLD_NEXT, "srand"));
    const char* text = std::getenv("QUILL_FIXED_SEED");
    unsigned seed = text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 1u;
    if (real_srand != nullptr) real_srand(seed);
}
