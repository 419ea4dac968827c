#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IEditorRunLoop.h"
#include "IGraphicsDrawnEntry.h"

class ITextControl;
union _XEvent;

// The editor's window on Linux: a child of the host's X11 window, on a display connection of its own,
// driven by the host's run loop (a timer for the shared tick and the connection's descriptor; events are
// drained without blocking from both, since hosts differ in which they call). X events become the
// surface's routes; value and text boxes are drawn fields (IGraphicsDrawnEntry); a web page opens with
// xdg-open. Nothing talks to an X server before OpenInParent, so the module loads and processes without
// a display. Xlib is used only on the host's user-interface thread, and an error handler is set only
// around our own calls. The X types stay in the .cpp files (IGraphicsX11_native.h).
class IGraphicsX11 : public IGraphicsDrawnEntry, private IEditorRunLoopClient {
  public:
    // `module` holds the images (null: the program itself).
    IGraphicsX11(IPlugBase* plugin, int width, int height, int frameRate, void* module);
    ~IGraphicsX11() override;

    bool PresentRect(const PixelRect& rect) override;
    void ResizeSurface(int width, int height) override;
    // Runs xdg-open on the address; when that cannot start (or fails soon after), `failText` shows in the
    // editor for a few seconds. Nothing asks for a confirmation here: with `confirmText` nothing opens.
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failText) override;
    // `parent` is the host's X window id; needs the run loop the window was opened with.
    void* OpenInParent(void* parent) override;
    // The X window id while the window is open, else null.
    void* NativeWindow() override;
    const char* WindowType() const override { return "X11EmbedWindowID"; }

  protected:
    void ShowDirty(const PixelRect& rect) override;
    void DestroySurfaceWindow() override;
    void EntryFocus(bool taken) override;

  private:
    struct Connection; // the display connection and the window, while open
    // A browser launch being watched: its failure shows if it exits with an error within `ticksLeft`.
    struct Launch {
        int pid = -1;
        int ticksLeft = 0;
        std::string failText;
    };

    void OnTimer() override;
    void OnDescriptor(int fd) override;
    // Handles what is queued without blocking; false when the window went while handling it.
    bool Drain();
    void Handle(_XEvent& event);
    void HandleButton(_XEvent& event, bool press);
    void HandleMotion(_XEvent& event);
    void HandleKey(_XEvent& event);
    // The services' part of a tick: the browser's exit seen to, an expired notice taken away.
    void TickServices();
    void ShowNotice(const char* text);
    void RemoveNotice();

    std::unique_ptr<Connection> window_;
    // Counts openings, so a loop over one window's events sees it replaced or gone.
    unsigned openings_ = 0;
    std::vector<Launch> launches_;
    ITextControl* notice_ = nullptr; // in the control list while shown
    int noticeTicks_ = 0;
};
