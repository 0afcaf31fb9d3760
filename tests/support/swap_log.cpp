#include "support/swap_log.h"

#include "support/game_process.h"

#include <fstream>
#include <sstream>

namespace {

// Whole lines only: the probe may be halfway through writing the last one.
std::vector<std::string> complete_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

}  // namespace

int SwapLog::count() const {
    // Only what was added since the last call is read: a long run's log
    // grows by a line every pass.
    std::ifstream in(path_, std::ios::binary);
    in.seekg(offset_);
    std::string line;
    while (std::getline(in, line) && !in.eof()) {
        offset_ += static_cast<long long>(line.size()) + 1;
        if (line.rfind("load ", 0) != 0 && line.rfind("heap ", 0) != 0) ++count_;
    }
    return count_;
}

bool SwapLog::wait_for(int n, GameProcess& game, int timeout_ms) const {
    const int target = count() + n;
    for (int waited = 0;; waited += 5) {
        if (count() >= target) return true;
        if (waited >= timeout_ms || game.wait(0)) return false;
        sleep_ms(5);
    }
}

long long SwapLog::load_ns() const {
    // A wrapper (sh, valgrind) loads the probe too: the game's load is last.
    long long ns = 0;
    for (const std::string& line : complete_lines(read_file(path_))) {
        if (line.rfind("load ", 0) == 0) ns = std::stoll(line.substr(5));
    }
    return ns;
}

std::vector<long long> SwapLog::swap_begin_ns() const {
    std::vector<long long> times;
    for (const std::string& line : complete_lines(read_file(path_))) {
        if (line.rfind("load ", 0) == 0 || line.rfind("heap ", 0) == 0) continue;
        std::istringstream in(line);
        long long begin = 0;
        if (in >> begin) times.push_back(begin);
    }
    return times;
}

bool tap_key_in_passes(const XClient& x, const SwapLog& passes, GameProcess& game, XKeySym key,
                       int timeout_ms) {
    x.key_down(key);
    const bool seen = passes.wait_for(2, game, timeout_ms);
    x.key_up(key);
    if (seen) passes.wait_for(2, game, timeout_ms);
    return seen;
}

bool click_in_passes(const XClient& x, const SwapLog& passes, GameProcess& game,
                     XWindowId window, int px, int py, int button, int timeout_ms) {
    x.move_pointer(window, px, py);
    x.button_down(button);
    const bool seen = passes.wait_for(2, game, timeout_ms);
    x.button_up(button);
    if (seen) passes.wait_for(2, game, timeout_ms);
    return seen;
}

std::vector<HeapSample> SwapLog::heap_samples() const {
    std::vector<HeapSample> samples;
    for (const std::string& line : complete_lines(read_file(path_))) {
        if (line.rfind("heap ", 0) != 0) continue;
        std::istringstream in(line.substr(5));
        HeapSample sample;
        if (in >> sample.ns >> sample.in_use >> sample.held) samples.push_back(sample);
    }
    return samples;
}
