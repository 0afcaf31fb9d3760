// A private X server for tests: Xvfb on a free display found with
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

    // One screen of width x height x depth; false when Xvfb did not start.
    // Depth 15 offers OpenGL but no multisampled visuals.
    bool start(int width = 1024, int height = 768, int depth = 24);
    void stop();
    // ":N" of the running server, empty when none runs.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// One server for the whole test binary, with DISPLAY pointing at it.
// Register from main (or a static initialiser) before the tests run.
XvfbServer& shared_xvfb();
void install_shared_xvfb_environment();
