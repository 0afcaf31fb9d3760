#include "support/xvfb.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbServer::start(int width, int height, int depth) {
    stop();
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    std::string fd_text = std::to_string(fds[1]);
    pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // A test binary that dies must not leave its server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        int null_fd = open("/dev/null", O_RDWR);
        if (null_fd >= 0) {
            dup2(null_fd, STDOUT_FILENO);
            dup2(null_fd, STDERR_FILENO);
        }
        // -noreset: without it the server resets when the last client leaves,
        // and SDL 1.2 then often fails to open the display.
        execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-noreset", "-nolisten", "tcp",
               "-screen", "0", screen.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;

    std::string number;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) break;
        char c;
        ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n') break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) {
        stop();
        return false;
    }
    display_ = ":" + number;
    return true;
}

void XvfbServer::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
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

class XvfbEnvironment : public ::testing::Environment {
public:
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
