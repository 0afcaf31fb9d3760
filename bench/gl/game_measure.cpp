// What only the benchmarks read from a game they started: its resident
// memory and the swap probe's times.
#include "game_process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

long GameProcess::resident_kb() const {
    std::ifstream status("/proc/" + std::to_string(pid()) + "/status");
    for (std::string line; running() && std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

long long SwapLog::load_ns() const {
    // A wrapper (sh, valgrind) loads the probe too: the game's load is last.
    std::istringstream lines(read_file(path_));
    long long ns = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("load ", 0) == 0) ns = std::stoll(line.substr(5));
    }
    return ns;
}

std::vector<long long> SwapLog::swap_begin_ns() const {
    std::istringstream lines(read_file(path_));
    std::vector<long long> times;
    long long begin = 0, end = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::istringstream(line) >> begin >> end) times.push_back(begin);
    }
    return times;
}
