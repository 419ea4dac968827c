#include "IGraphicsX11_native.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

#include "ITextControl.h"

extern char** environ;

namespace {

constexpr const char* kDefaultFailText = "Cannot open the web page.";
// How long a failure notice shows, and how long a launch may take to fail and still be told of.
constexpr int kNoticeSeconds = 3;
constexpr int kLaunchSeconds = 3;

// A line of text on a dark band across the editor.
class Notice : public ITextControl {
  public:
    Notice(IPlugBase* plugin, const PixelRect& rect, const char* text)
        : ITextControl(plugin, rect, TextStyle("Arial", 14, ArgbColor{255, 255, 255, 255}, 0, kAlignCentre),
                       text) {}

    bool Render(IGraphics& surface) override {
        const PixelRect& r = Rect();
        surface.FillBox(ArgbColor{235, 32, 32, 32}, r);
        const int top = r.top + (r.H() - style_.size) / 2 - 1;
        return surface.DrawLabel(&style_, text_.c_str(), PixelRect{r.left, top, r.right, r.bottom});
    }
};

} // namespace

// ---- the keyboard for a drawn box ----

void IGraphicsX11::EntryFocus(bool taken) {
    if (!window_ || !window_->windowExists)
        return;
    Connection& c = *window_;
    XErrorTrap trap(c.display); // a parent that is not viewable refuses the focus: nothing lost
    if (taken) {
        // Asked of the embedder the XEmbed way, and taken directly where the window shows, for hosts
        // that embed without XEmbed.
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = c.embedder;
        request.xclient.message_type = c.xembed;
        request.xclient.format = 32;
        request.xclient.data.l[0] = CurrentTime;
        request.xclient.data.l[1] = Connection::kRequestFocus;
        XSendEvent(c.display, c.embedder, False, NoEventMask, &request);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(c.display, c.window, &attributes) && attributes.map_state == IsViewable)
            XSetInputFocus(c.display, c.window, RevertToParent, CurrentTime);
        if (c.ic)
            XSetICFocus(c.ic);
    } else {
        if (c.ic)
            XUnsetICFocus(c.ic);
        // Given back only when we hold it: a focus that follows the pointer (PointerRoot) stays as it is.
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(c.display, &focus, &revert);
        if (focus == c.window)
            XSetInputFocus(c.display, c.parent, RevertToParent, CurrentTime);
    }
    XFlush(c.display);
}

// ---- the web page ----

bool IGraphicsX11::OpenWebPage(const char* url, const char* title, const char* confirmText,
                               const char* failText) {
    (void)title;
    // Nothing here can ask for a confirmation; an address like an option is not passed on.
    if (!url || !*url || *url == '-' || confirmText)
        return false;
    const char* fail = failText && *failText ? failText : kDefaultFailText;
    // The child starts with default signal handling and no blocked signals whatever the host set, in a
    // process group of its own so the host's terminal signals do not reach the browser.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        ShowNotice(fail);
        return false;
    }
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    std::string program = "xdg-open";
    std::string address = url;
    char* argv[] = {program.data(), address.data(), nullptr};
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, "xdg-open", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        ShowNotice(fail);
        return false;
    }
    launches_.push_back(Launch{static_cast<int>(pid), kLaunchSeconds * FrameRate(), fail});
    return true;
}

void IGraphicsX11::TickServices() {
    for (size_t i = 0; i < launches_.size();) {
        Launch& launch = launches_[i];
        int status = 0;
        const pid_t done = waitpid(static_cast<pid_t>(launch.pid), &status, WNOHANG);
        if (done == 0 || (done < 0 && errno == EINTR)) {
            if (launch.ticksLeft > 0)
                --launch.ticksLeft;
            ++i;
            continue;
        }
        // Ended (or reaped by a host that reaps every child, which tells us nothing).
        if (done == static_cast<pid_t>(launch.pid) && launch.ticksLeft > 0 &&
            !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
            ShowNotice(launch.failText.c_str());
        launches_.erase(launches_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (notice_ && --noticeTicks_ <= 0)
        RemoveNotice();
}

void IGraphicsX11::ShowNotice(const char* text) {
    if (!window_)
        return; // shown only where ticks take it away again
    noticeTicks_ = kNoticeSeconds * FrameRate();
    if (notice_) {
        notice_->SetText(text);
        return;
    }
    const int middle = Height() / 2;
    notice_ = new Notice(Plugin(), PixelRect{20, middle - 14, Width() - 20, middle + 14}, text);
    AddControl(notice_);
}

void IGraphicsX11::RemoveNotice() {
    ITextControl* notice = notice_;
    if (!notice)
        return;
    notice_ = nullptr;
    RemoveControl(notice);
    delete notice;
    RedrawAll();
}
