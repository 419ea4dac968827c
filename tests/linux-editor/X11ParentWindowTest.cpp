// The host's X11 window for an editor view, seen from a second connection as the plug-in and the window
// manager see it: a mapped, titled top-level window, children made by another client, a child's
// connection driven by the run loop, the window manager's close request, and destruction.

#include "X11ParentWindow.h"
#include "RunLoop.h"
#include "TestDisplay.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;
using halvane::host::RunLoop;
using halvane::host::X11ParentWindow;

namespace {

// A second client of the display: what the plug-in or a window manager would be.
struct Client {
    Display* display;
    explicit Client(const std::string& name) : display(XOpenDisplay(name.c_str())) {}
    ~Client() {
        if (display)
            XCloseDisplay(display);
    }
};

std::vector<Window> ChildrenOf(Display* display, Window window) {
    Window root = 0, parent = 0, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &list, &count) && list) {
        result.assign(list, list + count);
        XFree(list);
    }
    return result;
}

// A plug-in's side of the run loop: reads its connection when the loop says it is readable.
class ConnectionReader : public FObject, public Linux::IEventHandler {
  public:
    explicit ConnectionReader(Display* display) : display_(display) {}
    std::vector<int> types;

    void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            types.push_back(event.type);
        }
    }

    OBJ_METHODS(ConnectionReader, FObject)
    DEF_INTERFACES_1(Linux::IEventHandler, FObject)
    REFCOUNT_METHODS(FObject)

  private:
    Display* display_;
};

std::unique_ptr<X11ParentWindow> OpenWindow(const std::string& display) {
    std::string error;
    std::unique_ptr<X11ParentWindow> window = X11ParentWindow::open(514, 420, "Halvane", error, display);
    EXPECT_TRUE(window) << error;
    return window;
}

} // namespace

TEST(X11ParentWindow, OpensAMappedTitledTopLevelWindow) {
    REQUIRE_TEST_DISPLAY(display);
    std::unique_ptr<X11ParentWindow> window = OpenWindow(display);
    ASSERT_TRUE(window);
    ASSERT_NE(window->xid(), 0u);
    EXPECT_EQ(window->parentHandle(), reinterpret_cast<void*>(window->xid()));

    Client other(display);
    ASSERT_TRUE(other.display);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(other.display, window->xid(), &attributes));
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.width, 514);
    EXPECT_EQ(attributes.height, 420);
    const std::vector<Window> top = ChildrenOf(other.display, DefaultRootWindow(other.display));
    EXPECT_NE(std::find(top.begin(), top.end(), window->xid()), top.end()) << "a child of the root";
    char* title = nullptr;
    ASSERT_TRUE(XFetchName(other.display, window->xid(), &title));
    EXPECT_STREQ(title, "Halvane");
    XFree(title);

    std::string error;
    EXPECT_FALSE(X11ParentWindow::open(514, 420, "Halvane", error, ":999"));
    EXPECT_NE(error.find(":999"), std::string::npos) << error;
}

TEST(X11ParentWindow, HostsAChildWhoseConnectionTheRunLoopDrives) {
    REQUIRE_TEST_DISPLAY(display);
    std::unique_ptr<X11ParentWindow> window = OpenWindow(display);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->children().empty());

    // What an editor does in attached: a child of the host's window on its own connection, whose
    // events the host's loop tells it about.
    Client plugin(display);
    ASSERT_TRUE(plugin.display);
    const Window child = XCreateSimpleWindow(plugin.display, window->xid(), 0, 0, 514, 420, 0, 0, 0);
    XSelectInput(plugin.display, child, StructureNotifyMask);
    XSync(plugin.display, False);
    auto loop = owned(new RunLoop());
    auto reader = owned(new ConnectionReader(plugin.display));
    ASSERT_EQ(loop->registerEventHandler(reader, ConnectionNumber(plugin.display)), kResultOk);
    // Mapped by the host, so the event waits on the plug-in's socket: had the plug-in flushed a request
    // itself, Xlib could have read the event meanwhile, unseen by poll (the plug-in's timer must drain).
    XMapWindow(window->display(), child);
    XFlush(window->display());
    EXPECT_TRUE(loop->runUntil(
        [&] {
            return std::find(reader->types.begin(), reader->types.end(), MapNotify) != reader->types.end();
        },
        2000));
    EXPECT_EQ(window->children(), std::vector<unsigned long>{child});

    XDestroyWindow(plugin.display, child);
    XSync(plugin.display, False);
    EXPECT_TRUE(window->children().empty());
    loop->unregisterEventHandler(reader);
}

TEST(X11ParentWindow, FollowsItsSizeAndHearsTheCloseRequest) {
    REQUIRE_TEST_DISPLAY(display);
    std::unique_ptr<X11ParentWindow> window = OpenWindow(display);
    ASSERT_TRUE(window);
    auto loop = owned(new RunLoop());
    loop->watchHostFd(window->fd(), [&] { window->pump(); });
    // Pumped on every turn too, as a host must: the flush in resize may read the answer already.
    const auto pumped = [&](auto done) {
        return [&window, done] {
            window->pump();
            return done();
        };
    };

    window->resize(600, 500);
    EXPECT_TRUE(
        loop->runUntil(pumped([&] { return window->width() == 600 && window->height() == 500; }), 2000));
    EXPECT_FALSE(window->closeRequested());

    // The window manager's close button, as it reaches the client.
    Client manager(display);
    ASSERT_TRUE(manager.display);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window->xid();
    close.xclient.message_type = XInternAtom(manager.display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(manager.display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(manager.display, window->xid(), False, NoEventMask, &close);
    XFlush(manager.display);
    EXPECT_TRUE(loop->runUntil(pumped([&] { return window->closeRequested(); }), 2000));
    EXPECT_NE(window->xid(), 0u) << "asking to close destroys nothing";
}

TEST(X11ParentWindow, DestroyTakesTheWindowWithItsChildren) {
    REQUIRE_TEST_DISPLAY(display);
    std::unique_ptr<X11ParentWindow> window = OpenWindow(display);
    ASSERT_TRUE(window);
    Client plugin(display);
    ASSERT_TRUE(plugin.display);
    const Window child = XCreateSimpleWindow(plugin.display, window->xid(), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(plugin.display, child, StructureNotifyMask);
    XSync(plugin.display, False);

    const unsigned long xid = window->xid();
    window->destroy();
    window->destroy();
    EXPECT_EQ(window->xid(), 0u);
    EXPECT_TRUE(window->children().empty());
    const std::vector<Window> top = ChildrenOf(plugin.display, DefaultRootWindow(plugin.display));
    EXPECT_EQ(std::find(top.begin(), top.end(), xid), top.end());
    // The child's client learns it lost its window.
    XSync(plugin.display, False);
    XEvent event;
    ASSERT_TRUE(XCheckWindowEvent(plugin.display, child, StructureNotifyMask, &event));
    EXPECT_EQ(event.type, DestroyNotify);
}
