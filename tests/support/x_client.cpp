#include "support/x_client.h"

#include "app/video_caption.h"
#include "support/game_process.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstring>

XClient::~XClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool XClient::open(const char* display_name) {
    display_ = XOpenDisplay(display_name);
    // Xlib's default handler ends the process on any error, but a window can
    // vanish between two requests; each request's result says it failed.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    int event_base, error_base, major, minor;
    return display_ != nullptr &&
           XTestQueryExtension(display_, &event_base, &error_base, &major, &minor);
}

Window XClient::root() const { return DefaultRootWindow(display_); }

Window XClient::wait_for_game_window(GameProcess& game, int timeout_ms) const {
    for (int waited = 0; waited < timeout_ms && !game.wait(0); waited += 20) {
        Window root, parent, *children = nullptr, found = 0;
        unsigned count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            char* name = nullptr;
            if (XGetWindowAttributes(display_, children[i], &attributes) &&
                attributes.map_state == IsViewable && XFetchName(display_, children[i], &name)) {
                if (std::strcmp(name, game_window_caption) == 0) found = children[i];
                XFree(name);
            }
        }
        if (children != nullptr) XFree(children);
        if (found != 0) return found;
        sleep_ms(20);
    }
    return 0;
}

bool XClient::window_box(Window window, WindowBox& box) const {
    XWindowAttributes attributes;
    Window child;
    if (!XGetWindowAttributes(display_, window, &attributes) ||
        !XTranslateCoordinates(display_, window, root(), 0, 0, &box.x, &box.y, &child)) {
        return false;
    }
    box.width = attributes.width;
    box.height = attributes.height;
    return true;
}

bool XClient::close_window(Window window) const {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient = {ClientMessage, 0, True, display_, window,
                     XInternAtom(display_, "WM_PROTOCOLS", False), 32, {}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    const Status sent = XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
    return sent != 0;
}

void XClient::move_pointer(Window window, int x, int y) const {
    WindowBox box;
    window_box(window, box);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), box.x + x, box.y + y, CurrentTime);
    XSync(display_, False);
}

void XClient::key(KeySym key, bool down) const {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), down, CurrentTime);
    XSync(display_, False);
}

void XClient::button(int button, bool down) const {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), down, CurrentTime);
    XSync(display_, False);
}
