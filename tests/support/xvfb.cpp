#include "support/xvfb.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbServer::start(int width, int height) {
    stop();
    int fds[2];
    if (pipe(fds) != 0) return false;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    if ((pid_ = fork()) == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // a dying test leaves no server behind
        // Without -noreset the server resets when its last client leaves, and
        // SDL 1.2 then often fails to open the display.
        execlp("sh", "sh", "-c",
               "exec Xvfb -displayfd $0 -noreset -nolisten tcp -screen 0 $1 >/dev/null 2>&1",
               std::to_string(fds[1]).c_str(), screen.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display's number and a newline in one go once it is up.
    char number[16] = {};
    pollfd p{fds[0], POLLIN, 0};
    if (pid_ > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], number, sizeof number - 1) > 0) {
        display_ = ":" + std::to_string(std::atoi(number));
    }
    close(fds[0]);
    if (display_.empty()) stop();
    return !display_.empty();
}

void XvfbServer::stop() {
    if (pid_ > 0 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
    display_.clear();
}

void install_shared_xvfb_environment() {
    struct Shared : ::testing::Environment {
        XvfbServer server;
        void SetUp() override {
            ASSERT_TRUE(server.start()) << "Xvfb could not be started";
            setenv("DISPLAY", server.display().c_str(), 1);
        }
        void TearDown() override { server.stop(); }
    };
    ::testing::AddGlobalTestEnvironment(new Shared);
}
