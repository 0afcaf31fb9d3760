#include "support/game_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string settings_ini(int width, int height, bool fullscreen, bool antialiasing,
                         bool mipmapping, int bpp, bool show_cursor) {
    std::ostringstream out;
    out << "screenw = " << width << "\n"
        << "screenh = " << height << "\n"
        << "screenbpp = " << bpp << "\n"
        << "fullscreen = " << fullscreen << "\n"
        << "showcursor = " << show_cursor << "\n"
        << "antialiasing = " << antialiasing << "\n"
        << "mipmapping = " << mipmapping << "\n";
    return out.str();
}

bool game_is_wrapped() {
    const char* wrapper = std::getenv("QUILL_GAME_WRAPPER");
    return wrapper != nullptr && *wrapper != '\0';
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
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
    if (!dir_.empty()) {
        chmod(dir_.c_str(), 0700);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
}

void GameProcess::write_settings(const std::string& text) { write_file("settings.ini", text); }

void GameProcess::write_file(const std::string& name, const std::string& bytes) {
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool GameProcess::copy_media() {
    fs::path source = fs::path(QUILL_SOURCE_DIR) / "Media";
    std::error_code error;
    if (!fs::is_directory(source, error)) return false;
    fs::copy(source, fs::path(dir_) / "Media",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    return !error;
}

void GameProcess::make_read_only() {
    chmod(dir_.c_str(), 0555);
    read_only_ = true;
}

void GameProcess::set_environment(const std::string& name, const std::string& value) {
    environment_.emplace_back(name, value);
}

void GameProcess::use_swap_probe() {
    // Created here, so that the game can append to it in a read-only
    // directory.
    write_file("swaps.log", "");
    const char* preload = std::getenv("LD_PRELOAD");
    std::string value = QUILL_SWAP_PROBE;
    if (preload != nullptr && *preload != '\0') value = std::string(preload) + " " + value;
    set_environment("LD_PRELOAD", value);
    set_environment("QUILL_SWAP_LOG", swap_log_path());
}

bool GameProcess::start() { return start(std::getenv("DISPLAY")); }

bool GameProcess::start(const char* display) {
    if (dir_.empty() || running()) return false;
    std::string display_value = display != nullptr ? display : "";
    std::string out_path = path("stdout.txt"), err_path = path("stderr.txt");
    exit_code_ = -1;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (chdir(dir_.c_str()) != 0) _exit(126);
        int in = open("/dev/null", O_RDONLY);
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (display != nullptr) {
            setenv("DISPLAY", display_value.c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
        unsetenv("SDL_VIDEODRIVER");
        for (const auto& [name, value] : environment_) setenv(name.c_str(), value.c_str(), 1);
        // Output files first: they could not be created in a read-only
        // directory. Dropped from the bounding set, the overrides do not
        // come back with root's full set when the game is executed.
        if (read_only_ && geteuid() == 0 &&
            (prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
             prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0)) {
            _exit(126);
        }
        if (game_is_wrapped()) {
            execl("/bin/sh", "sh", "-c", "exec $QUILL_GAME_WRAPPER \"$0\"", QUILL_BINARY,
                  static_cast<char*>(nullptr));
        } else {
            execl(QUILL_BINARY, QUILL_BINARY, static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    pid_ = pid;
    return true;
}

bool GameProcess::wait(int timeout_ms) {
    if (!running()) return exit_code_ != -1;
    for (int waited = 0;; waited += 10) {
        int status = 0;
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pid_ = -1;
            return true;
        }
        if (done < 0 && errno != EINTR) {
            pid_ = -1;
            return false;
        }
        if (waited >= timeout_ms) return false;
        sleep_ms(10);
    }
}

void GameProcess::kill() {
    if (!running()) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
}

std::string GameProcess::stderr_text() const { return read_file(path("stderr.txt")); }

long GameProcess::resident_kb() const {
    if (pid_ <= 0) return -1;
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}
