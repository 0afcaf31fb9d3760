// How a start that fails tells the player why.
#pragma once

// Prints "quillmoor: <what>: <SDL's reason>" as one line on stderr, what
// formatted as printf formats it. On Windows, where a game started from
// Explorer has no stderr that anyone reads, it then shuts SDL down (so that
// no full-screen window can hide the box) and shows the same line in a
// message box titled with the game's name, returning once the player has
// dismissed it. Call before SDL_GetError's reason is overwritten.
void report_failure(const char* format, ...) __attribute__((format(printf, 1, 2)));
