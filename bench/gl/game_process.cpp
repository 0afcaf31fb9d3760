#include "game_process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void sleep_ms(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }

GameProcess::GameProcess() {
    std::string pattern = fs::temp_directory_path() / "quillmoor-run-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
}

GameProcess::~GameProcess() {
    kill();
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

bool GameProcess::copy_media() {
    std::error_code error;
    fs::copy(fs::path(QUILL_SOURCE_DIR) / "Media", path("Media"), fs::copy_options::recursive,
             error);
    return !dir_.empty() && !error;
}

void GameProcess::use_swap_probe() {
    const char* preload = std::getenv("LD_PRELOAD");  // the sanitizer runs' own
    set_environment("LD_PRELOAD", (preload != nullptr ? preload + std::string(" ") : "") +
                                      QUILL_SWAP_PROBE);
    set_environment("QUILL_SWAP_LOG", swap_log_path());
}

bool GameProcess::start(const char* display) {
    exit_code_ = -1;
    if (dir_.empty() || running() || (pid_ = fork()) != 0) return pid_ > 0;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (display != nullptr) setenv("DISPLAY", display, 1);
    else unsetenv("DISPLAY");
    for (const auto& [name, value] : environment_) setenv(name.c_str(), value.c_str(), 1);
    // Without a seed its null ends the list early: no argument, the clock's world.
    execl("/bin/sh", "sh", "-c",
          "cd \"$0\" && exec $QUILL_GAME_WRAPPER \"$@\" </dev/null >/dev/null 2>stderr.txt",
          dir_.c_str(), binary_.c_str(), seed_.empty() ? nullptr : seed_.c_str(), nullptr);
    _exit(127);
}

bool GameProcess::wait(int timeout_ms) {
    for (int waited = 0; running(); waited += 5, sleep_ms(5)) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, timeout_ms < 0 ? 0 : WNOHANG);
        if (done > 0) exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done > 0 || (done < 0 && errno != EINTR)) pid_ = -1;
        else if (timeout_ms >= 0 && waited >= timeout_ms) return false;
    }
    return exit_code_ != -1;
}

int SwapLog::count() const {  // whole lines only, those added since the last call
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
    for (int waited = 0; count() < target; waited += 5, sleep_ms(5)) {
        if (waited >= timeout_ms || game.wait(0)) return false;
    }
    return true;
}

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
