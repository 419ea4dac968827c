#include "X11ParentWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>

namespace halvane::host {

namespace {

// How long open waits for the server (or the window manager) to show the window.
constexpr auto kMapWait = std::chrono::seconds(2);

} // namespace

std::unique_ptr<X11ParentWindow> X11ParentWindow::open(int width, int height, const std::string& title,
                                                       std::string& error, const std::string& displayName) {
    const char* name = displayName.empty() ? std::getenv("DISPLAY") : displayName.c_str();
    if (!name || !*name) {
        error = "no X display (DISPLAY is unset)";
        return nullptr;
    }
    Display* display = XOpenDisplay(name);
    if (!display) {
        error = std::string("cannot open the X display \"") + name + "\"";
        return nullptr;
    }
    std::unique_ptr<X11ParentWindow> window(new X11ParentWindow());
    window->display_ = display;
    window->width_ = width;
    window->height_ = height;

    const int screen = DefaultScreen(display);
    const Window xid = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                           static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                           BlackPixel(display, screen), BlackPixel(display, screen));
    window->xid_ = xid;
    XSelectInput(display, xid, StructureNotifyMask);

    XStoreName(display, xid, title.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, xid, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    // The window manager's close button then asks us instead of killing the connection.
    window->wmProtocols_ = XInternAtom(display, "WM_PROTOCOLS", False);
    window->wmDeleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {window->wmDeleteWindow_};
    XSetWMProtocols(display, xid, protocols, 1);

    XMapWindow(display, xid);
    XFlush(display);
    // Wait until it shows, so what the plug-in draws at once reaches the screen. A window manager that
    // holds it back is not an error.
    const auto end = std::chrono::steady_clock::now() + kMapWait;
    for (;;) {
        XEvent event;
        if (XCheckTypedWindowEvent(display, xid, MapNotify, &event))
            break;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{ConnectionNumber(display), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
    return window;
}

X11ParentWindow::~X11ParentWindow() {
    destroy();
    XCloseDisplay(display_);
}

int X11ParentWindow::fd() const {
    return ConnectionNumber(display_);
}

void X11ParentWindow::resize(int width, int height) {
    if (!xid_)
        return;
    XResizeWindow(display_, xid_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
}

std::vector<unsigned long> X11ParentWindow::children() const {
    if (!xid_)
        return {};
    Window root = 0;
    Window parent = 0;
    Window* list = nullptr;
    unsigned count = 0;
    std::vector<unsigned long> result;
    if (XQueryTree(display_, xid_, &root, &parent, &list, &count)) {
        result.assign(list, list + count);
        if (list)
            XFree(list);
    }
    return result;
}

void X11ParentWindow::pump() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        switch (event.type) {
        case ClientMessage:
            if (event.xclient.window == xid_ && event.xclient.message_type == wmProtocols_ &&
                static_cast<unsigned long>(event.xclient.data.l[0]) == wmDeleteWindow_)
                closeRequested_ = true;
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == xid_) {
                width_ = event.xconfigure.width;
                height_ = event.xconfigure.height;
            }
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == xid_) {
                xid_ = 0; // destroyed by someone else: nothing of ours to destroy any more
                closeRequested_ = true;
            }
            break;
        default:
            break;
        }
    }
}

void X11ParentWindow::destroy() {
    if (!xid_)
        return;
    XDestroyWindow(display_, xid_);
    XSync(display_, False);
    xid_ = 0;
}

} // namespace halvane::host
