#include "support/xvfb.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbServer::start(int width, int height, int depth) {
    stop();
    int fds[2];
    if (pipe(fds) != 0) return false;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" +
                               std::to_string(depth);
    const std::string fd_text = std::to_string(fds[1]);
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // a dying test leaves no server behind
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, STDOUT_FILENO);
        dup2(null_fd, STDERR_FILENO);
        // Without -noreset the server resets when its last client leaves, and
        // SDL 1.2 then often fails to open the display.
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-noreset", "-nolisten", "tcp",
               "-screen", "0", screen.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    for (char c; pid_ > 0;) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0 || read(fds[0], &c, 1) != 1 || c == '\n') break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) stop();
    else display_ = ":" + number;
    return !number.empty();
}

void XvfbServer::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
    display_.clear();
}

XvfbServer& shared_xvfb() {
    static XvfbServer server;
    return server;
}

namespace {

struct XvfbEnvironment : ::testing::Environment {
    void SetUp() override {
        ASSERT_TRUE(shared_xvfb().start()) << "Xvfb could not be started";
        setenv("DISPLAY", shared_xvfb().display().c_str(), 1);
    }
    void TearDown() override { shared_xvfb().stop(); }
};

}  // namespace

void install_shared_xvfb_environment() {
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
}
