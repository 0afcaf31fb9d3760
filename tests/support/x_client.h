// An X client for end-to-end tests: finds the game's window, reads its size
// and pixels, closes it as a window manager would, and drives the game with
// XTest keys, buttons and pointer moves.
//
//   XClient x;
//   ASSERT_TRUE(x.open());                       // the test's DISPLAY
//   XWindowId w = x.wait_for_game_window(game, 10000);
//   ASSERT_NE(w, 0u);
//   x.move_pointer(w, 320, 240);                 // keep the pointer inside
//   x.tap_key(XK_Escape);                        // down, 250 ms, up
//   x.click(w, 100, 200);                        // left button, down 250 ms up
//   x.close_window(w);                           // WM_DELETE_WINDOW
//
// The game reads input once per pass as states, so a press and release that
// fall between two passes is never seen: tap_key and click hold for
// hold_ms between down and up. The default of 250 ms spans a pass even on
// the software renderer with the machine busy (a pass of a 640 x 480 window
// takes 50 to 100 ms there), and a longer hold is harmless: the pressed
// state lasts one pass either way. Leave as long between a release and the
// next press of the same key or button. There is no
// window manager: keyboard events go to the window under the pointer, so
// move the pointer into the window before sending keys.
#pragma once

#include <X11/keysym.h>  // the XK_ key names; macros only

#include <cstdint>
#include <string>
#include <vector>

class GameProcess;
struct _XDisplay;

// Xlib's own header defines macros (None, True, Bool, Status) that break
// gtest, so this header names X types without it.
using XWindowId = unsigned long;  // an X Window
using XKeySym = unsigned long;    // an X KeySym

// Size and place of a window, as XGetWindowAttributes reports them.
struct WindowBox {
    int x = 0, y = 0;           // relative to the root window
    int width = 0, height = 0;  // pixels
    bool viewable = false;      // mapped, and all its ancestors mapped
};

// An RGB picture read back from the screen, rows top first.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes
    // The pixel at (x, y) as 0xRRGGBB.
    uint32_t pixel(int x, int y) const;
};

class XClient {
public:
    XClient() = default;
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;
    ~XClient();

    // Connects to display_name, or to $DISPLAY when nullptr. False when the
    // server cannot be reached or has no XTest.
    bool open(const char* display_name = nullptr);
    _XDisplay* display() const { return display_; }
    // Size of the root window (the screen).
    int screen_width() const;
    int screen_height() const;

    // A viewable top-level window whose name (WM_NAME) is name; 0 when none.
    XWindowId find_window(const char* name) const;
    // Polls find_window every 20 ms until a window appears or timeout_ms
    // passes; 0 on timeout.
    XWindowId wait_for_window(const char* name, int timeout_ms) const;
    // The game's window, waiting at most timeout_ms; gives up early (0) when
    // the game ends first.
    XWindowId wait_for_game_window(GameProcess& game, int timeout_ms) const;

    // Waits until the game's window shows a drawn frame (any pixel not
    // black), at most timeout_ms; false on timeout or when the game ends.
    // Until then SDL may still be setting the window up, and a close request
    // sent during that can be dropped with its other pending events. Updates
    // window should the game replace it.
    bool wait_for_frame(GameProcess& game, XWindowId& window, int timeout_ms) const;

    // XGetWindowAttributes of the window; false when it does not exist.
    bool window_box(XWindowId window, WindowBox& box) const;

    // Sends the WM_DELETE_WINDOW client message a window manager sends when
    // the user closes the window.
    bool close_window(XWindowId window) const;

    // Pointer to (x, y) in the window's own pixels.
    void move_pointer(XWindowId window, int x, int y) const;
    // Pointer to (x, y) on the screen (root coordinates).
    void move_pointer_to_screen(int x, int y) const;

    // Keys by keysym (XK_Escape, XK_w, XK_space, XK_Up, ...).
    void key_down(XKeySym key) const;
    void key_up(XKeySym key) const;
    void tap_key(XKeySym key, int hold_ms = 250) const;

    // Mouse buttons by X number: 1 left, 2 middle, 3 right.
    void button_down(int button) const;
    void button_up(int button) const;
    // Moves the pointer to (x, y) in the window, then presses and releases.
    void click(XWindowId window, int x, int y, int button = 1, int hold_ms = 250) const;

    // Reads the window's pixels. Reads what is on screen, i.e. the front
    // buffer as last swapped.
    bool capture(XWindowId window, RgbImage& image) const;

private:
    _XDisplay* display_ = nullptr;
};

// Writes an RGB picture as a PNG file; false on failure.
bool save_png(const std::string& path, const RgbImage& image);

// Directory for test pictures: $QUILL_ARTIFACTS (created if needed), or the
// current directory.
std::string artifact_path(const std::string& file_name);
