#pragma once

// The Xlib side of IGraphicsX11, shared by its .cpp files only.

// Ours first: Xlib's macros (None, Status, Bool and the like) must not rename our declarations.
#include "IGraphicsX11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Catches the errors of one display connection while our own calls run on it. Xlib has one error
// handler per process and no user data for it, so the traps set at once form a chain that the handler
// walks: an error of a trapped connection is noted and ignored, any other goes to the handler that was
// there before the outermost trap, which the outermost trap puts back. Host's user-interface thread.
class XErrorTrap {
  public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits until the server has handled everything sent so far; true when any of it failed since the
    // trap was set.
    bool SyncFailed();

  private:
    static int OnError(Display* display, XErrorEvent* error);

    Display* display_;
    XErrorTrap* outer_;
    bool failed_ = false;
};

// The window's size is fixed: its hints say so to whoever embeds it.
inline void SetFixedSize(Display* display, ::Window window, int width, int height) {
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize | PBaseSize;
    hints.min_width = hints.max_width = hints.base_width = width;
    hints.min_height = hints.max_height = hints.base_height = height;
    XSetWMNormalHints(display, window, &hints);
}

// What an open editor window holds. Its destructor takes everything down in order, ignoring errors
// (the host may have destroyed the parent, and our window with it): the run loop stopped, the input
// context, the window if it still exists, then the connection after the server has caught up.
struct IGraphicsX11::Connection {
    // The XEmbed messages we send or read.
    static constexpr long kEmbeddedNotify = 0;
    static constexpr long kRequestFocus = 3;

    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* display = nullptr;
    ::Window window = 0;
    bool windowExists = false; // false once the server has destroyed it
    ::Window parent = 0;
    ::Window embedder = 0; // named by the embedder's XEmbed notice, else the parent
    Atom xembed = 0;
    bool mapped = false;

    // Painting: the window's visual, and whether the draw bitmap's pixels go out as they are.
    Visual* visual = nullptr;
    int depth = 0;
    bool directPixels = false;
    GC gc = nullptr;
    PixelRect exposed; // the run of Expose events so far

    // Keys as text, when the server's input method could be opened.
    XIM im = nullptr;
    XIC ic = nullptr;

    IEditorRunLoop* loop = nullptr; // registered with, until the destructor stops it
    IEditorRunLoopClient* client = nullptr;

    // The pointer: last position, buttons held (bit 0 left, bit 1 right), whether we grabbed it, and
    // the last left press for telling double clicks.
    int x = -1;
    int y = -1;
    unsigned held = 0;
    bool grabbed = false;
    Time lastPressTime = 0;
    int lastPressX = 0;
    int lastPressY = 0;
    bool lastPressPairs = false; // a left press that a second one may pair with
};
