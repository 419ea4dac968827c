#include "IGraphicsX11_native.h"

#include <cstdint>

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask;
// Events handled in one go at most, so a flood cannot hold the host's loop.
constexpr int kMaxEventsPerCall = 1000;

// The traps set now, innermost first, and the handler from before the outermost one.
struct TrapChain {
    XErrorTrap* innermost = nullptr;
    XErrorHandler previous = nullptr;
};

TrapChain& Traps() {
    static TrapChain chain; // Xlib's handler is process-wide and takes no user data
    return chain;
}

} // namespace

// ---- the error trap ----

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_(Traps().innermost) {
    TrapChain& chain = Traps();
    if (!outer_)
        chain.previous = XSetErrorHandler(OnError);
    chain.innermost = this;
}

XErrorTrap::~XErrorTrap() {
    TrapChain& chain = Traps();
    chain.innermost = outer_;
    if (outer_)
        return;
    // Someone who replaced our handler meanwhile keeps theirs.
    XErrorHandler current = XSetErrorHandler(chain.previous);
    if (current != OnError)
        XSetErrorHandler(current);
    chain.previous = nullptr;
}

bool XErrorTrap::SyncFailed() {
    if (display_)
        XSync(display_, False);
    return failed_;
}

int XErrorTrap::OnError(Display* display, XErrorEvent* error) {
    TrapChain& chain = Traps();
    for (XErrorTrap* trap = chain.innermost; trap; trap = trap->outer_) {
        if (trap->display_ == display) {
            trap->failed_ = true;
            return 0;
        }
    }
    return chain.previous ? chain.previous(display, error) : 0;
}

// ---- opening and closing ----

IGraphicsX11::IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate, void* module)
    : IGraphicsDrawnEntry(plugin, width, height, frameRate) {
    SetModule(module);
}

IGraphicsX11::~IGraphicsX11() {
    // The plug-in closes the window while it is whole; one still open here goes without a last gesture.
    if (window_)
        DestroySurfaceWindow();
    TickServices(); // reaps a browser launch that has ended
}

IGraphicsX11::Connection::~Connection() {
    if (!display)
        return;
    XErrorTrap trap(display);
    if (loop)
        loop->Stop(client);
    if (ic)
        XDestroyIC(ic);
    if (im)
        XCloseIM(im);
    if (gc)
        XFreeGC(display, gc);
    if (window && windowExists)
        XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
}

void* IGraphicsX11::NativeWindow() {
    return window_ ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_->window)) : nullptr;
}

void* IGraphicsX11::OpenInParent(void* parent) {
    if (window_)
        CloseSurfaceWindow(); // re-created
    IEditorRunLoop* loop = RunLoop();
    const auto parentId = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(parent));
    if (!loop || !parentId || Width() <= 0 || Height() <= 0)
        return nullptr;
    auto c = std::make_unique<Connection>();
    c->display = XOpenDisplay(nullptr);
    if (!c->display)
        return nullptr;
    Display* d = c->display;
    XErrorTrap trap(d);
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(d, parentId, &parentAttributes) || trap.SyncFailed())
        return nullptr;
    Screen* screen = parentAttributes.screen;
    c->visual = DefaultVisualOfScreen(screen);
    c->depth = DefaultDepthOfScreen(screen);
    if (c->visual->c_class != TrueColor && c->visual->c_class != DirectColor)
        return nullptr; // no palette to allocate colours from
    int formatCount = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(d, &formatCount)) {
        for (int i = 0; i < formatCount; ++i)
            if (formats[i].depth == c->depth)
                c->directPixels = formats[i].bits_per_pixel == 32;
        XFree(formats);
    }
    c->directPixels = c->directPixels && (c->depth == 24 || c->depth == 32) &&
                      c->visual->red_mask == 0xFF0000 && c->visual->green_mask == 0xFF00 &&
                      c->visual->blue_mask == 0xFF;

    // Our own visual and colormap, so a parent of another visual does not matter; no background, so
    // nothing flashes before the first paint.
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = DefaultColormapOfScreen(screen);
    attributes.event_mask = kEventMask;
    c->parent = parentId;
    c->embedder = parentId;
    c->window = XCreateWindow(d, parentId, 0, 0, static_cast<unsigned>(Width()),
                              static_cast<unsigned>(Height()), 0, c->depth, InputOutput, c->visual,
                              CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask, &attributes);
    c->windowExists = c->window != 0;
    if (!c->windowExists)
        return nullptr;

    // XEmbed version 0, not asking to be mapped: we map ourselves, and work without an embedder too.
    c->xembed = XInternAtom(d, "_XEMBED", False);
    const Atom info = XInternAtom(d, "_XEMBED_INFO", False);
    const long infoData[2] = {0, 0};
    XChangeProperty(d, c->window, info, info, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(infoData), 2);
    SetFixedSize(d, c->window, Width(), Height());
    c->gc = XCreateGC(d, c->window, 0, nullptr);

    // Typed text through the input method where one opens; plain key lookup otherwise. Its events join ours.
    c->im = XOpenIM(d, nullptr, nullptr, nullptr);
    if (c->im)
        c->ic = XCreateIC(c->im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                          c->window, XNFocusWindow, c->window, nullptr);
    long imEvents = 0;
    if (c->ic)
        XGetICValues(c->ic, XNFilterEvents, &imEvents, nullptr);
    XSelectInput(d, c->window, kEventMask | imEvents);
    if (trap.SyncFailed())
        return nullptr;
    XMapWindow(d, c->window);
    XFlush(d);

    c->loop = loop;
    c->client = this;
    if (!loop->WatchDescriptor(ConnectionNumber(d), this) || !loop->StartTimer(TimerPeriodMs(), this))
        return nullptr;
    window_ = std::move(c);
    ++openings_;
    RedrawAll();
    return NativeWindow();
}

void IGraphicsX11::DestroySurfaceWindow() {
    if (!window_)
        return;
    CloseEntry();
    RemoveNotice();
    std::unique_ptr<Connection> closing = std::move(window_); // closed already for whatever runs meanwhile
    closing.reset();
}

// ---- the run loop ----

void IGraphicsX11::OnDescriptor(int fd) {
    (void)fd;
    if (!window_)
        return;
    XErrorTrap trap(window_->display);
    if (Drain())
        XFlush(window_->display);
}

void IGraphicsX11::OnTimer() {
    if (!window_)
        return;
    XErrorTrap trap(window_->display);
    if (!Drain())
        return;
    Tick();
    TickServices();
    if (window_)
        XFlush(window_->display);
}

bool IGraphicsX11::Drain() {
    const unsigned opening = openings_;
    for (int n = 0; n < kMaxEventsPerCall && window_ && openings_ == opening; ++n) {
        Display* d = window_->display;
        if (XPending(d) <= 0)
            break;
        XEvent event;
        XNextEvent(d, &event);
        if (XFilterEvent(&event, None))
            continue; // the input method's
        Handle(event);
    }
    return window_ && openings_ == opening;
}
