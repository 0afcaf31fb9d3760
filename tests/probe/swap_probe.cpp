// Preloaded into the game by measurement tools (never linked into it):
// wraps SDL_GL_SwapBuffers and appends one line per buffer swap to the file
// named by $QUILL_SWAP_LOG, "<begin ns> <end ns>" on CLOCK_MONOTONIC, so a
// launcher can time the start-up to the first frame and the length of every
// pass without any code in the game loop. The first line, "load <ns>", is
// written when the probe is loaded, before the game's main runs. Every 60th
// swap adds "heap <ns> <in use> <held>": the bytes of the C heap handed out
// and the bytes malloc holds from the system (mallinfo2), which tell a leak
// from fragmentation or a driver cache when resident memory grows.
#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int log_fd = -1;
void (*real_swap)() = nullptr;
long long swaps = 0;

long long now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

void write_line(const char* text, int length) {
    if (log_fd >= 0 && length > 0) {
        ssize_t ignored = write(log_fd, text, static_cast<size_t>(length));
        (void)ignored;
    }
}

__attribute__((constructor)) void open_log() {
    const char* path = std::getenv("QUILL_SWAP_LOG");
    if (path == nullptr || *path == '\0') return;
    log_fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    char line[64];
    write_line(line, std::snprintf(line, sizeof line, "load %lld\n", now_ns()));
}

}  // namespace

extern "C" void SDL_GL_SwapBuffers() {
    if (real_swap == nullptr) {
        real_swap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
        if (real_swap == nullptr) std::abort();
    }
    const long long begin = now_ns();
    real_swap();
    const long long end = now_ns();
    char line[96];
    write_line(line, std::snprintf(line, sizeof line, "%lld %lld\n", begin, end));
    if (++swaps % 60 == 0 && log_fd >= 0) {
        const struct mallinfo2 heap = mallinfo2();
        write_line(line, std::snprintf(line, sizeof line, "heap %lld %zu %zu\n", end,
                                       heap.uordblks + heap.hblkhd, heap.arena + heap.hblkhd));
    }
}
