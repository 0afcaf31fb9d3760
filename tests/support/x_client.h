// Plays the user and the window manager for end-to-end tests: finds the
// game's window, reads its place and size, asks it to close, and sends XTest
// keys, buttons and pointer moves. Without a window manager keys go to the
// window under the pointer, so keep the pointer inside.
#pragma once

#include <X11/keysym.h>  // the XK_ key names; macros only

class GameProcess;
struct _XDisplay;

// Xlib's header defines macros (None, True, Status) that break gtest.
using XWindowId = unsigned long;
using XKeySym = unsigned long;

struct WindowBox {
    int x = 0, y = 0, width = 0, height = 0;  // x and y on the screen
};

class XClient {
public:
    ~XClient();
    // $DISPLAY when nullptr; false without a server or without XTest.
    bool open(const char* display_name = nullptr);
    XWindowId root() const;
    // The game's viewable window; 0 after timeout_ms or once the game ends.
    XWindowId wait_for_game_window(GameProcess& game, int timeout_ms) const;
    bool window_box(XWindowId window, WindowBox& box) const;
    bool close_window(XWindowId window) const;  // WM_DELETE_WINDOW
    void move_pointer(XWindowId window, int x, int y) const;  // window pixels
    void key(XKeySym key, bool down) const;
    void button(int button, bool down) const;  // 1 left, 3 right

private:
    _XDisplay* display_ = nullptr;
};
