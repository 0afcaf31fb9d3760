// Running the real game binary for end-to-end tests: a fresh working
// directory with the settings and art a test chooses, the process started
// there, and its exit code and stderr collected.
//
//   GameProcess game;
//   game.write_settings(settings_ini(640, 480));
//   game.copy_media();
//   ASSERT_TRUE(game.start());
//   ... drive it with XClient (x_client.h) ...
//   ASSERT_TRUE(game.wait(5000));
//   EXPECT_EQ(game.exit_code(), 0) << game.stderr_text();
//
// The destructor kills a game still running and removes the directory.
#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A settings.ini of the seven keys with the given values.
std::string settings_ini(int width, int height, bool fullscreen = false, bool antialiasing = false,
                         bool mipmapping = false, int bpp = 0, bool show_cursor = false);

class GameProcess {
public:
    // Creates an empty working directory under $TMPDIR (or /tmp).
    GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;
    ~GameProcess();

    // The working directory, and the path of a file inside it.
    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Writes settings.ini with the given text.
    void write_settings(const std::string& text);
    // Writes any file (name relative to the working directory).
    void write_file(const std::string& name, const std::string& bytes);
    // Copies QUILL_SOURCE_DIR/Media into the working directory. Returns false
    // when the source holds no Media directory.
    bool copy_media();

    // Makes the working directory read-only for the game: mode 0555. Root
    // may write there all the same, so a game started by root runs without
    // the capabilities that override file modes. Call before start().
    void make_read_only();

    // Sets an environment variable for the game (e.g. LD_PRELOAD).
    void set_environment(const std::string& name, const std::string& value);

    // Preloads the swap probe into the game, logging every pass to
    // swap_log_path() (read it with SwapLog, swap_log.h). Call before start().
    void use_swap_probe();
    std::string swap_log_path() const { return path("swaps.log"); }

    // Starts QUILL_BINARY in the working directory with stdin from /dev/null
    // and stdout and stderr into files. When $QUILL_GAME_WRAPPER is set (for
    // example "valgrind --tool=memcheck"), the game runs under that command. display is the DISPLAY the game sees;
    // nullptr starts it with no display at all. Defaults to the test's own.
    bool start();
    bool start(const char* display);

    // Waits up to timeout_ms for the game to end; true when it has ended.
    bool wait(int timeout_ms);
    bool running() const { return pid_ > 0; }
    // Exit code of the ended game; 128 + signal number when killed by one;
    // -1 while it runs or before it started.
    int exit_code() const { return exit_code_; }
    // Everything the game wrote on stderr so far.
    std::string stderr_text() const;
    // Kills a running game with SIGKILL and reaps it.
    void kill();
    pid_t pid() const { return pid_; }
    // Resident memory of the running game in kB (VmRSS), or -1 once it has
    // gone.
    long resident_kb() const;

private:
    std::string dir_;
    bool read_only_ = false;
    std::vector<std::pair<std::string, std::string>> environment_;
    pid_t pid_ = -1;
    int exit_code_ = -1;
};

// Whether $QUILL_GAME_WRAPPER runs the game under another program, which
// may slow it down many times.
bool game_is_wrapped();

// Reads a whole file; empty when it cannot be read.
std::string read_file(const std::string& path);

// Sleeps for ms milliseconds (pauses between injected events; never a
// pass/fail timing).
void sleep_ms(int ms);
