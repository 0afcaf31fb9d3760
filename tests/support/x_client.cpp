#include "support/x_client.h"

#include "app/video_caption.h"
#include "support/game_process.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <lodepng.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

uint32_t RgbImage::pixel(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

namespace {

// Xlib's default handler ends the process on any error. A window can vanish
// between two requests (SDL replaces its size-probe window, the game exits),
// so errors are ignored and the request's own result says it failed.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

}  // namespace

XClient::~XClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool XClient::open(const char* display_name) {
    if (display_ != nullptr) XCloseDisplay(display_);
    display_ = XOpenDisplay(display_name);
    if (display_ == nullptr) return false;
    XSetErrorHandler(ignore_x_error);
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
        XCloseDisplay(display_);
        display_ = nullptr;
        return false;
    }
    return true;
}

int XClient::screen_width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int XClient::screen_height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

Window XClient::find_window(const char* name) const {
    Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    // Topmost first: the last child is on top.
    for (unsigned i = count; i-- > 0 && found == 0;) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, children[i], &attributes) ||
            attributes.map_state != IsViewable) {
            continue;
        }
        char* window_name = nullptr;
        if (XFetchName(display_, children[i], &window_name) && window_name != nullptr) {
            if (std::strcmp(window_name, name) == 0) found = children[i];
            XFree(window_name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

Window XClient::wait_for_window(const char* name, int timeout_ms) const {
    for (int waited = 0;; waited += 20) {
        Window window = find_window(name);
        if (window != 0 || waited >= timeout_ms) return window;
        sleep_ms(20);
    }
}

Window XClient::wait_for_game_window(GameProcess& game, int timeout_ms) const {
    for (int waited = 0;; waited += 20) {
        Window window = find_window(game_window_caption);
        if (window != 0 || waited >= timeout_ms) return window;
        if (game.wait(0)) return 0;
        sleep_ms(20);
    }
}

bool XClient::wait_for_frame(GameProcess& game, XWindowId& window, int timeout_ms) const {
    RgbImage image;
    for (int waited = 0;; waited += 50) {
        if (capture(window, image)) {
            for (uint8_t c : image.rgb) {
                if (c != 0) return true;
            }
        } else {
            window = wait_for_game_window(game, timeout_ms - waited);
        }
        if (waited >= timeout_ms || game.wait(0)) return false;
        sleep_ms(50);
    }
}

bool XClient::window_box(Window window, WindowBox& box) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) return false;
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &box.x, &box.y,
                          &child);
    box.width = attributes.width;
    box.height = attributes.height;
    box.viewable = attributes.map_state == IsViewable;
    return true;
}

bool XClient::close_window(Window window) const {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
    return sent != 0;
}

void XClient::move_pointer(Window window, int x, int y) const {
    WindowBox box;
    if (!window_box(window, box)) return;
    move_pointer_to_screen(box.x + x, box.y + y);
}

void XClient::move_pointer_to_screen(int x, int y) const {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XClient::key_down(KeySym key) const {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), True, CurrentTime);
    XSync(display_, False);
}

void XClient::key_up(KeySym key) const {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), False, CurrentTime);
    XSync(display_, False);
}

void XClient::tap_key(KeySym key, int hold_ms) const {
    key_down(key);
    sleep_ms(hold_ms);
    key_up(key);
}

void XClient::button_down(int button) const {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XSync(display_, False);
}

void XClient::button_up(int button) const {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(display_, False);
}

void XClient::click(Window window, int x, int y, int button, int hold_ms) const {
    move_pointer(window, x, y);
    button_down(button);
    sleep_ms(hold_ms);
    button_up(button);
}

bool XClient::capture(Window window, RgbImage& image) const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) return false;
    XImage* x_image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (x_image == nullptr) return false;
    image.width = attributes.width;
    image.height = attributes.height;
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    // Split the pixel by the visual's masks rather than assume a byte order.
    auto channel = [](unsigned long pixel, unsigned long mask) -> uint8_t {
        if (mask == 0) return 0;
        int shift = 0;
        while (((mask >> shift) & 1) == 0) ++shift;
        unsigned long max = mask >> shift;
        return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / max);
    };
    uint8_t* out = image.rgb.data();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            unsigned long pixel = XGetPixel(x_image, x, y);
            *out++ = channel(pixel, x_image->red_mask);
            *out++ = channel(pixel, x_image->green_mask);
            *out++ = channel(pixel, x_image->blue_mask);
        }
    }
    XDestroyImage(x_image);
    return true;
}

bool save_png(const std::string& path, const RgbImage& image) {
    return lodepng_encode24_file(path.c_str(), image.rgb.data(),
                                 static_cast<unsigned>(image.width),
                                 static_cast<unsigned>(image.height)) == 0;
}

std::string artifact_path(const std::string& file_name) {
    const char* dir = std::getenv("QUILL_ARTIFACTS");
    if (dir == nullptr || *dir == '\0') return file_name;
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return std::string(dir) + "/" + file_name;
}
