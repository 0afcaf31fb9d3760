// The real game binary run from outside: a scratch working directory with
// the settings and art a test chooses, the process started there, its exit
// code and stderr collected. The destructor kills a game still running and
// removes the directory.
#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A settings.ini asking for the given window.
std::string settings_ini(int width, int height, bool fullscreen = false);

class GameProcess {
public:
    GameProcess();  // an empty directory under $TMPDIR (or /tmp)
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;
    ~GameProcess();

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    void write_file(const std::string& name, const std::string& bytes);
    void write_settings(const std::string& text) { write_file("settings.ini", text); }
    bool copy_media();  // the shipped Media directory
    // For the game only; a later value for the same name wins.
    void set_environment(const std::string& name, const std::string& value);
    // Preloads the swap probe, which logs every pass to swap_log_path().
    void use_swap_probe();
    std::string swap_log_path() const { return path("swaps.log"); }

    // Starts the game with stdin from /dev/null and its output into files,
    // under $QUILL_GAME_WRAPPER (e.g. valgrind) when that is set. A null
    // display starts it without DISPLAY; start() uses the test's own.
    bool start();
    bool start(const char* display);
    // Waits up to timeout_ms (< 0: for ever); true once the game has ended.
    bool wait(int timeout_ms);
    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    int exit_code() const { return exit_code_; }  // 128 + signal; -1 while running
    std::string stderr_text() const;
    void kill();
    long resident_kb() const;  // VmRSS, -1 once ended (bench/gl/game_measure.cpp)

private:
    std::string dir_;
    std::vector<std::pair<std::string, std::string>> environment_;
    pid_t pid_ = -1;
    int exit_code_ = -1;
};

std::string read_file(const std::string& path);  // empty when unreadable
void sleep_ms(int ms);  // paces polling, never a pass/fail timing
