// The real game binary run from outside for the benchmarks: GameProcess runs
// it in a scratch directory with the settings and art a benchmark chooses,
// SwapLog counts its passes (bench/gl/preload/swap_probe.cpp).
#pragma once

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

inline std::string settings_ini(int width, int height) {
    return "screenw = " + std::to_string(width) + "\nscreenh = " + std::to_string(height) + "\n";
}
std::string read_file(const std::string& path);  // empty when unreadable
void sleep_ms(int ms);  // paces polling, never a pass/fail timing

class GameProcess {
public:
    GameProcess();
    ~GameProcess();  // kills a game still running, removes the directory
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    void write_file(const std::string& name, const std::string& bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    void write_settings(const std::string& text) { write_file("settings.ini", text); }
    bool copy_media();
    // For the game only; a later value for the same name wins.
    void set_environment(const std::string& name, const std::string& value) {
        environment_.emplace_back(name, value);
    }
    void use_swap_probe();
    void use_binary(const std::string& binary) { binary_ = binary; }  // in place of this build's
    void pin_seed(unsigned seed) { seed_ = std::to_string(seed); }    // as the game's argument
    std::string swap_log_path() const { return path("swaps.log"); }
    // Under $QUILL_GAME_WRAPPER (e.g. valgrind) when set; nullptr: no display.
    bool start(const char* display = std::getenv("DISPLAY"));
    bool wait(int timeout_ms);  // < 0: for ever; true once the game has ended
    bool running() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    int exit_code() const { return exit_code_; }  // 128 + signal; -1 while running
    std::string stderr_text() const { return read_file(path("stderr.txt")); }
    void kill() { if (running()) ::kill(pid_, SIGKILL); wait(-1); }
    long resident_kb() const;

private:
    std::string dir_, binary_ = QUILL_BINARY, seed_;
    std::vector<std::pair<std::string, std::string>> environment_;
    pid_t pid_ = -1;
    int exit_code_ = -1;
};

// Benchmarks wait for passes, not the clock.
class SwapLog {
public:
    explicit SwapLog(std::string path) : path_(std::move(path)) {}
    int count() const;
    bool wait_for(int n, GameProcess& game, int timeout_ms) const;  // false: ended or late
    long long load_ns() const;  // monotonic ns
    std::vector<long long> swap_begin_ns() const;

private:
    std::string path_;
    mutable long long offset_ = 0;  // bytes of whole lines counted so far
    mutable int count_ = 0;
};
