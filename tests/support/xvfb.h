// A private X server for tests: Xvfb on a free display, found with
// -displayfd, started and stopped by the test binary itself.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer() { stop(); }

    // Starts Xvfb with one screen of width x height x depth. Returns false
    // when it could not be started. Depth 15 offers OpenGL but no
    // multisampled visuals.
    bool start(int width = 1024, int height = 768, int depth = 24);
    void stop();

    // ":N" of the running server, empty when none runs.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Starts one server for the whole test binary and points DISPLAY at it.
// Register from main with ::testing::AddGlobalTestEnvironment.
XvfbServer& shared_xvfb();
void install_shared_xvfb_environment();
