#pragma once

// A Linux host's window for an editor view: a top-level X11 window on a display connection of its own,
// whose id the view's attached takes as its parent ("X11EmbedWindowID"). The plug-in makes its child
// window in it over its own connection; this side lists the children, follows its own size and notices
// when the window manager asks to close it. Nothing here blocks but open, which waits (briefly) for the
// window to show.

#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace halvane::host {

class X11ParentWindow {
  public:
    // A mapped window of width x height titled title on displayName (empty: $DISPLAY). Null with the
    // reason in error when the display cannot be opened.
    static std::unique_ptr<X11ParentWindow> open(int width, int height, const std::string& title,
                                                 std::string& error, const std::string& displayName = {});
    // Destroys the window (when it still exists) and closes the connection.
    ~X11ParentWindow();
    X11ParentWindow(const X11ParentWindow&) = delete;
    X11ParentWindow& operator=(const X11ParentWindow&) = delete;

    // The window id; 0 once destroyed.
    unsigned long xid() const { return xid_; }
    // The id as IPlugView::attached takes it.
    void* parentHandle() const { return reinterpret_cast<void*>(xid_); }
    _XDisplay* display() const { return display_; }
    // The connection's descriptor, for the host's poll.
    int fd() const;

    // The size as last reported by the server.
    int width() const { return width_; }
    int height() const { return height_; }
    void resize(int width, int height);

    // The window's children, bottom first (XQueryTree); empty once destroyed.
    std::vector<unsigned long> children() const;

    // Handles every event that has arrived, without waiting: size changes, a close request, the
    // window's destruction. Call it on every turn of the host's loop, not only when fd() is readable:
    // Xlib reads what has arrived whenever it flushes, and poll then no longer sees it.
    void pump();
    // The window manager asked to close the window (WM_DELETE_WINDOW), or it was destroyed.
    bool closeRequested() const { return closeRequested_; }

    // Destroys the window now (children included); the connection stays open. Safe to repeat.
    void destroy();

  private:
    X11ParentWindow() = default;

    _XDisplay* display_ = nullptr;
    unsigned long xid_ = 0;
    unsigned long wmProtocols_ = 0;
    unsigned long wmDeleteWindow_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool closeRequested_ = false;
};

} // namespace halvane::host
