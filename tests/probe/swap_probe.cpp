// Preloaded into the game by tests and measuring tools, never linked into
// it: wraps SDL_GL_SwapBuffers and appends "<begin ns> <end ns>" on
// CLOCK_MONOTONIC for every swap to the file named by $QUILL_SWAP_LOG, after
// a first line "load <ns>" written before the game's main runs. So passes
// can be counted and timed with no measuring code in the game.
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

int log_fd = -1;

long long now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

void write_line(const char* text, int length) {
    if (log_fd >= 0 && length > 0 && write(log_fd, text, static_cast<size_t>(length)) < 0) log_fd = -1;
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
    static auto real_swap = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    if (real_swap == nullptr) std::abort();
    const long long begin = now_ns();
    real_swap();
    char line[64];
    write_line(line, std::snprintf(line, sizeof line, "%lld %lld\n", begin, now_ns()));
}
