// Preloaded into Wine (never linked into the game) to give the Windows build
// a fixed seed: the game seeds rand from the clock, which Windows reads
// through Wine's clock_gettime(CLOCK_REALTIME). Its seconds are held at
// $QUILL_FIXED_SEED (1 when unset) and its nanoseconds run on, so the game
// starts in the world fixed_seed.cpp gives the Linux build, and Wine's
// timers, which run on the monotonic clock, keep working.
#include <dlfcn.h>
#include <time.h>

#include <cstdlib>

extern "C" int clock_gettime(clockid_t clock, timespec* time) noexcept {
    using ClockGettime = int (*)(clockid_t, timespec*);
    static auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = real(clock, time);
    if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)) {
        const char* text = std::getenv("QUILL_FIXED_SEED");
        time->tv_sec = text != nullptr ? static_cast<time_t>(std::strtoul(text, nullptr, 10)) : 1;
    }
    return result;
}
