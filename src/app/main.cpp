// Quillmoor's entry point: start-up in its fixed order, then the main loop.
// Every piece of state lives in the one Program record below.
#include "app/loop.h"

#include <SDL.h>

#include <ctime>

namespace {

Program program;

}  // namespace

int main(int, char**) {
    const int failure = start_program(program, static_cast<unsigned>(std::time(nullptr)));
    if (failure != 0) return failure;

    while (!program.quit_requested) run_pass(program);

    SDL_Quit();
    return 0;
}
