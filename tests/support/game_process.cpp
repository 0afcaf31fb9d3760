#include "support/game_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string settings_ini(int width, int height, bool fullscreen) {
    return "screenw = " + std::to_string(width) + "\nscreenh = " + std::to_string(height) +
           "\nfullscreen = " + std::to_string(fullscreen) + "\n";
}

std::string read_file(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

void sleep_ms(int ms) {
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

GameProcess::GameProcess() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/quillmoor-run-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
}

GameProcess::~GameProcess() {
    kill();
    std::error_code ignored;
    if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

void GameProcess::write_file(const std::string& name, const std::string& bytes) {
    std::ofstream(path(name), std::ios::binary | std::ios::trunc) << bytes;
}

bool GameProcess::copy_media() {
    std::error_code error;
    fs::copy(fs::path(QUILL_SOURCE_DIR) / "Media", path("Media"), fs::copy_options::recursive, error);
    return !dir_.empty() && !error;
}

void GameProcess::set_environment(const std::string& name, const std::string& value) {
    environment_.emplace_back(name, value);
}

void GameProcess::use_swap_probe() {
    const char* preload = std::getenv("LD_PRELOAD");  // the sanitizer runs' own
    set_environment("LD_PRELOAD", (preload != nullptr ? preload + std::string(" ") : "") +
                                      QUILL_SWAP_PROBE);
    set_environment("QUILL_SWAP_LOG", swap_log_path());
}

bool GameProcess::start() { return start(std::getenv("DISPLAY")); }

bool GameProcess::start(const char* display) {
    if (dir_.empty() || running()) return false;
    const std::string shown = display != nullptr ? display : "";
    const std::string out_path = path("stdout.txt"), err_path = path("stderr.txt");
    exit_code_ = -1;
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(dir_.c_str()) != 0 || in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (display != nullptr) setenv("DISPLAY", shown.c_str(), 1);
        else unsetenv("DISPLAY");
        for (const auto& [name, value] : environment_) setenv(name.c_str(), value.c_str(), 1);
        const char* wrapper = std::getenv("QUILL_GAME_WRAPPER");
        if (wrapper != nullptr && *wrapper != '\0') {
            execl("/bin/sh", "sh", "-c", "exec $QUILL_GAME_WRAPPER \"$0\"", QUILL_BINARY, nullptr);
        }
        execl(QUILL_BINARY, QUILL_BINARY, nullptr);
        _exit(127);
    }
    return pid_ > 0;
}

bool GameProcess::wait(int timeout_ms) {
    for (int waited = 0; running(); waited += 5) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, timeout_ms < 0 ? 0 : WNOHANG);
        if (done == pid_) {
            exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (done == pid_ || (done < 0 && errno != EINTR)) pid_ = -1;
        else if (timeout_ms >= 0 && waited >= timeout_ms) return false;
        else if (done == 0) sleep_ms(5);
    }
    return exit_code_ != -1;
}

void GameProcess::kill() {
    if (running()) ::kill(pid_, SIGKILL);
    wait(-1);
}

std::string GameProcess::stderr_text() const { return read_file(path("stderr.txt")); }
