// A private X server for tests: Xvfb on a free display found with
// -displayfd, started and stopped by the test binary itself.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
public:
    ~XvfbServer() { stop(); }
    bool start(int width = 1024, int height = 768);  // false when Xvfb did not start
    void stop();
    const std::string& display() const { return display_; }  // ":N"; empty when stopped

private:
    pid_t pid_ = -1;
    std::string display_;
};

// One server for the whole test binary, DISPLAY pointing at it.
void install_shared_xvfb_environment();
