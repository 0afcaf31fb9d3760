// A private X server for a test or benchmark binary: Xvfb on a free display it picks itself (-displayfd), so
// binaries running side by side never race for one, ended when this process ends. Without -noreset the server
// resets when its last client leaves, and SDL 1.2 then often fails to open the display.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Starts the server and points DISPLAY at it; false when Xvfb did not start.
inline bool start_private_xvfb() {
    std::FILE* server = popen("exec setpriv --pdeathsig TERM Xvfb -displayfd 1 -noreset -nolisten tcp"
                              " -screen 0 1024x768x24 2>/dev/null", "r");
    int display = -1;
    if (server == nullptr || std::fscanf(server, "%d", &display) != 1) return false;
    return setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1) == 0;
}
