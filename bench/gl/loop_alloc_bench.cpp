// Heap allocations of the game's own passes. The passes are the game's
// (start_program and run_pass, in a real 1024 x 768 window); this binary
// replaces operator new and, outside sanitizer builds, malloc, and counts
// the calls made on the main thread while a pass runs. Counters per pass:
//   new_per_pass          every operator new, whoever called it
//   new_ours_per_pass     operator new called from this executable, that is
//                         from our code and the library templates it inlines
//   malloc_ours_per_pass  malloc, calloc and realloc called from this
//                         executable
//   malloc_all_per_pass   the same from anywhere on the main thread: mostly
//                         Mesa's, X's and SDL's own, shown for scale
// The goal is 0 for the first three in a running pass (arg 0), a paused pass
// with the pointer over a button (arg 1) and passes with the menu sliding in
// and out (arg 2). The baseline is the same binary built from the previous
// code, run in the same session.
#include "app/loop.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" char __executable_start[];  // the executable's code, from the linker
extern "C" char etext[];

#if defined(__SANITIZE_ADDRESS__)
#define QUILL_COUNT_MALLOC 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILL_COUNT_MALLOC 0
#endif
#endif
#ifndef QUILL_COUNT_MALLOC
#define QUILL_COUNT_MALLOC 1
#endif

#if QUILL_COUNT_MALLOC
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);
#endif

namespace {

struct AllocationCounts {
    std::atomic<long> news{0}, news_ours{0}, mallocs{0}, mallocs_ours{0};
};
AllocationCounts counts;
thread_local bool counting = false;  // true on the main thread inside a pass

bool from_this_executable(const void* caller) {
    const char* c = static_cast<const char*>(caller);
    return c >= __executable_start && c < etext;
}

void note_new(const void* caller) {
    if (!counting) return;
    counts.news.fetch_add(1, std::memory_order_relaxed);
    if (from_this_executable(caller)) counts.news_ours.fetch_add(1, std::memory_order_relaxed);
}

#if QUILL_COUNT_MALLOC
void note_malloc(const void* caller) {
    if (!counting) return;
    counts.mallocs.fetch_add(1, std::memory_order_relaxed);
    if (from_this_executable(caller)) counts.mallocs_ours.fetch_add(1, std::memory_order_relaxed);
}
void* raw_alloc(size_t n) { return __libc_malloc(n == 0 ? 1 : n); }
void* raw_aligned(size_t n, size_t align) { return __libc_memalign(align, n == 0 ? 1 : n); }
#else
void* raw_alloc(size_t n) { return std::malloc(n == 0 ? 1 : n); }
void* raw_aligned(size_t n, size_t align) {
    return std::aligned_alloc(align, (n + align - 1) / align * align);
}
#endif

void* counted_new(size_t n, const void* caller) {
    note_new(caller);
    void* p = raw_alloc(n);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* counted_aligned_new(size_t n, std::align_val_t align, const void* caller) {
    note_new(caller);
    void* p = raw_aligned(n, static_cast<size_t>(align));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(size_t n) { return counted_new(n, __builtin_return_address(0)); }
void* operator new[](size_t n) { return counted_new(n, __builtin_return_address(0)); }
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    note_new(__builtin_return_address(0));
    return raw_alloc(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    note_new(__builtin_return_address(0));
    return raw_alloc(n);
}
void* operator new(size_t n, std::align_val_t a) {
    return counted_aligned_new(n, a, __builtin_return_address(0));
}
void* operator new[](size_t n, std::align_val_t a) {
    return counted_aligned_new(n, a, __builtin_return_address(0));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { std::free(p); }

#if QUILL_COUNT_MALLOC
extern "C" void* malloc(size_t n) noexcept {
    note_malloc(__builtin_return_address(0));
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t count, size_t n) noexcept {
    note_malloc(__builtin_return_address(0));
    return __libc_calloc(count, n);
}
extern "C" void* realloc(void* p, size_t n) noexcept {
    note_malloc(__builtin_return_address(0));
    return __libc_realloc(p, n);
}
#endif

namespace {

Program* program = nullptr;

// A key event of Escape, as SDL queues a real one.
void push_escape(bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&event);
}

// The game, started once with a fixed world, and its first passes run: the
// first passes of a new window and the first local time read do one-time
// work in the libraries.
Program& started_program() {
    if (program != nullptr) return *program;
    program = new Program;
    if (start_program(*program, 1) != 0) std::abort();
    SDL_WarpMouse(static_cast<Uint16>(program->screen.width / 2),
                  static_cast<Uint16>(program->screen.height / 2));
    for (int i = 0; i < 60; ++i) run_pass(*program);
    return *program;
}

// Opens or closes the menu with one Escape press and waits until it has
// fully come in or gone.
void settle_menu(Program& p, bool open) {
    if (p.pause.pause_open != open) {
        push_escape(true);
        run_pass(p);
        push_escape(false);
    }
    const float target = open ? 100.0f : 0.0f;
    while (p.pause.pause_fade != target) run_pass(p);
}

void BM_LoopAllocations(benchmark::State& state) {
    Program& p = started_program();
    const int mode = static_cast<int>(state.range(0));
    settle_menu(p, mode == 1);
    if (mode == 1) {
        // Over "Resume game", so the highlighted panel is drawn, without a click.
        SDL_WarpMouse(static_cast<Uint16>(menu_column_x(p.screen)),
                      static_cast<Uint16>(menu_first_button_y(p.screen, 100.0f)));
    }
    for (int i = 0; i < 3; ++i) run_pass(p);

    counts.news = 0;
    counts.news_ours = 0;
    counts.mallocs = 0;
    counts.mallocs_ours = 0;
    bool release_escape = false;
    for (auto _ : state) {
        if (mode == 2) {
            if (release_escape) push_escape(false);
            release_escape = p.pause.pause_fade == 0.0f || p.pause.pause_fade == 100.0f;
            if (release_escape) push_escape(true);
        }
        counting = true;
        run_pass(p);
        counting = false;
    }
    if (release_escape) push_escape(false);
    settle_menu(p, false);
    SDL_WarpMouse(static_cast<Uint16>(p.screen.width / 2), static_cast<Uint16>(p.screen.height / 2));

    const auto per_pass = benchmark::Counter::kAvgIterations;
    state.counters["new_per_pass"] = benchmark::Counter(static_cast<double>(counts.news), per_pass);
    state.counters["new_ours_per_pass"] =
        benchmark::Counter(static_cast<double>(counts.news_ours), per_pass);
    if (QUILL_COUNT_MALLOC) {
        state.counters["malloc_ours_per_pass"] =
            benchmark::Counter(static_cast<double>(counts.mallocs_ours), per_pass);
        state.counters["malloc_all_per_pass"] =
            benchmark::Counter(static_cast<double>(counts.mallocs), per_pass);
    }
}

}  // namespace

BENCHMARK(BM_LoopAllocations)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(120)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
