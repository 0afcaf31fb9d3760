// The real binary once, from the source directory with its settings and
// Media: without a display it ends with 1; under Xvfb its window opens, and
// a close request as a window manager sends it ends the game with 0.
#include "render/web_address.h"

#include <gtest/gtest.h>
#include <X11/Xlib.h>  // after gtest: its macros (None, Bool) clash with gtest's names

#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

TEST(Binary, EndsWithOneWithoutADisplayAndZeroWhenClosed) {
    for (const bool display : {false, true}) {
        const pid_t game = fork();
        if (game == 0) {
            if (!display) unsetenv("DISPLAY");
            // LeakSanitizer's exit-time tracer now and then crashes among llvmpipe's threads: not the game's fault.
            const char* asan = getenv("ASAN_OPTIONS");
            setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":detect_leaks=0").c_str(), 1);
            if (chdir(QUILL_SOURCE_DIR) == 0) execl(QUILL_BINARY, QUILL_BINARY, nullptr);
            _exit(127);
        }
        // SDL may replace a first window, and drop a request that comes before its loop runs: ask until it ends.
        Display* x = XOpenDisplay(nullptr);
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window may go while we look at it
        int status = 0, waited = 0;
        for (; waitpid(game, &status, WNOHANG) == 0 && waited < 600; ++waited, usleep(100000)) {
            Window root, parent, *windows = nullptr;
            unsigned count = 0;
            XQueryTree(x, DefaultRootWindow(x), &root, &parent, &windows, &count);
            for (unsigned i = 0; i < count && display; ++i) {
                char* name = nullptr;
                if (XFetchName(x, windows[i], &name) == 0) continue;
                if (std::strcmp(name, game_web_address) == 0) {
                    XEvent close{};
                    close.xclient = {ClientMessage, 0, True, x, windows[i], XInternAtom(x, "WM_PROTOCOLS", False), 32, {}};
                    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
                    XSendEvent(x, windows[i], False, NoEventMask, &close);
                }
                XFree(name);
            }
            XFree(windows), XFlush(x);
        }
        XCloseDisplay(x);
        if (waited == 600) kill(game, SIGKILL), waitpid(game, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == (display ? 0 : 1)) << display << " " << status;
    }
}
