// Quillmoor's entry point: start-up in its fixed order, then the main loop.
// Every piece of state lives in the one Program record below.
#include "app/loop.h"

#include <SDL.h>

#include <cstdlib>
#include <ctime>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

Program program;

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef __GLIBC__
    // The driver allocates and frees large blocks every pass. Past glibc's
    // thresholds they were mapped and unmapped (or the heap's top trimmed)
    // and faulted in again each pass, up to 480 page faults a pass in some
    // worlds; kept in the heap, a pass there is 8 to 12% shorter.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    unsigned seed = static_cast<unsigned>(std::time(nullptr));
#ifdef __EMSCRIPTEN__
    // The page hands on a seed=N from its address, to play the same world again.
    if (argc > 1) seed = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
#endif
    const int failure = start_program(program, seed);
    if (failure != 0) return failure;

    while (!program.quit_requested) run_pass(program);

    SDL_Quit();
    return 0;
}
