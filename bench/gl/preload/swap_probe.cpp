// Preloaded into the game by tests and benchmarks, never linked into it: for
// every SDL_GL_SwapBuffers, appends "<begin ns> <end ns>" (monotonic clock)
// to the file $QUILL_SWAP_LOG names, after a line "load <ns>" written before
// main runs. So passes are counted and timed with no such code in the game.
#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

static std::FILE* swap_log = nullptr;

static long long now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

__attribute__((constructor)) static void open_log() {
    const char* path = std::getenv("QUILL_SWAP_LOG");
    if (path == nullptr || (swap_log = std::fopen(path, "ae")) == nullptr) return;
    std::setvbuf(swap_log, nullptr, _IOLBF, 0);  // whole lines only
    std::fprintf(swap_log, "load %lld\n", now_ns());
}

extern "C" void SDL_GL_SwapBuffers() {
    static auto real_swap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    const long long begin = now_ns();
    real_swap();
    if (swap_log != nullptr) std::fprintf(swap_log, "%lld %lld\n", begin, now_ns());
}
