#include "app/report.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

void report_failure(const char* format, ...) {
    char what[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    char line[512];
    std::snprintf(line, sizeof line, "quillmoor: %s: %s", what, SDL_GetError());
    std::fprintf(stderr, "%s\n", line);
#ifdef _WIN32
    SDL_Quit();
    MessageBoxA(nullptr, line, "Quillmoor", MB_OK | MB_ICONERROR);
#endif
}
