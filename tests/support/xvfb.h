// A private X server for tests: Xvfb on a free display found with
// -displayfd, started and stopped by the test binary itself.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    ~XvfbServer() { stop(); }
    // False when Xvfb did not start. Depth 15 has no multisampled visual.
    bool start(int width = 1024, int height = 768, int depth = 24);
    void stop();
    const std::string& display() const { return display_; }  // ":N"; empty when stopped

private:
    pid_t pid_ = -1;
    std::string display_;
};

// One server for the whole test binary, DISPLAY pointing at it.
XvfbServer& shared_xvfb();
void install_shared_xvfb_environment();
