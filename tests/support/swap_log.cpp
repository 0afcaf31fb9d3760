#include "support/swap_log.h"

#include "support/game_process.h"

#include <fstream>

int SwapLog::count() const {
    // Only whole lines, and only those added since the last call.
    std::ifstream in(path_, std::ios::binary);
    in.seekg(offset_);
    for (std::string line; std::getline(in, line) && !in.eof();) {
        offset_ += static_cast<long long>(line.size()) + 1;
        count_ += line.rfind("load ", 0) != 0;
    }
    return count_;
}

bool SwapLog::wait_for(int n, GameProcess& game, int timeout_ms) const {
    const int target = count() + n;
    for (int waited = 0; count() < target; waited += 5) {
        if (waited >= timeout_ms || game.wait(0)) return false;
        sleep_ms(5);
    }
    return true;
}
