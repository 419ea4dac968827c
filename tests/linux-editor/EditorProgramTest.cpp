// halvane-editor run as a user runs it, on the Halvane bundle of this build: command lines it refuses,
// the presets it offers, and sessions on the virtual display ended by Ctrl+C and by the window
// manager's close request (or, while this build has no Linux editor window, the reason it gives).

#include "TestDisplay.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int code = -1; // the exit code; -1 when it did not exit by itself
    std::string output;
    bool opened = false; // it said its editor was open (and was then asked to end)
    bool timedOut = false;
};

// How a session is ended once the editor is open.
enum class Ending { Interrupt, CloseWindow };

// What a window manager sends when its close button is pressed, to the top-level window titled
// "Halvane" on display. False when there is no such window.
bool RequestClose(const std::string& display) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x)
        return false;
    Window root = 0, parent = 0, *top = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &top, &count) && top) {
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(x, top[i], &name) && name) {
                if (std::strcmp(name, "Halvane") == 0)
                    found = top[i];
                XFree(name);
            }
        }
        XFree(top);
    }
    if (found) {
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = found;
        close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        XSendEvent(x, found, False, NoEventMask, &close);
        XSync(x, False);
    }
    XCloseDisplay(x);
    return found != 0;
}

// Runs the program with args on display (empty: none), stdout and stderr together. Half a second after
// it says its editor is open it is ended as ending says; past the time limit it is killed.
Outcome RunEditor(const std::vector<std::string>& args, const std::string& display = {},
                  Ending ending = Ending::Interrupt) {
    Outcome result;
    int out[2];
    if (::pipe(out) != 0) {
        ADD_FAILURE() << "no pipe";
        return result;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(out[0]);
        ::close(out[1]);
        if (display.empty())
            ::unsetenv("DISPLAY");
        else
            ::setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(HALVANE_EDITOR_PROGRAM)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(HALVANE_EDITOR_PROGRAM, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(30);
    Clock::time_point endAt = Clock::time_point::max();
    bool endSent = false;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now > end) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (!endSent && now >= endAt) {
            endSent = true;
            if (ending == Ending::Interrupt)
                ::kill(pid, SIGINT);
            else
                EXPECT_TRUE(RequestClose(display)) << "no window titled Halvane";
        }
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        result.output.append(buffer, static_cast<size_t>(got));
        if (!result.opened && result.output.find("editor open") != std::string::npos) {
            result.opened = true;
            // Long enough for its first paint (text included), so ending a drawn editor is what is tried.
            endAt = Clock::now() + std::chrono::milliseconds(500);
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        result.code = WEXITSTATUS(status);
    return result;
}

bool Says(const Outcome& r, const std::string& text) {
    return r.output.find(text) != std::string::npos;
}

} // namespace

TEST(HalvaneEditor, RefusesWhatItCannotRun) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus"}, 2, "unknown option --bogus"},
        {{"--preset"}, 2, "--preset needs a preset name or number"},
        {{"a.vst3", "b.vst3"}, 2, "more than one bundle"},
        {{"--preset", "No Such Room"}, 1, "unknown preset \"No Such Room\""},
        {{"--input", "/nonexistent/in.wav"}, 1, "no such file: /nonexistent/in.wav"},
        {{"/nonexistent/Halvane.vst3"}, 1, "cannot load the plug-in /nonexistent/Halvane.vst3"},
    };
    for (const Case& c : cases) {
        const Outcome r = RunEditor(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[0] << "\n" << r.output;
        EXPECT_TRUE(Says(r, "halvane-editor: " + c.message)) << r.output;
        EXPECT_FALSE(r.opened);
    }
}

TEST(HalvaneEditor, ListsTheFactoryPresets) {
    const Outcome r = RunEditor({"--list-presets"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(Says(r, "  2  Very Large - Stadium\n")) << r.output;
    EXPECT_TRUE(Says(r, "123  FX - Ocean 2\n")) << r.output;
}

TEST(X11HalvaneEditor, EndsOnInterruptOrCloseRequestOrSaysWhyItCannotRun) {
    REQUIRE_TEST_DISPLAY(display);
    for (const Ending ending : {Ending::Interrupt, Ending::CloseWindow}) {
        SCOPED_TRACE(ending == Ending::Interrupt ? "Ctrl+C" : "close request");
        const Outcome r = RunEditor({"--preset", "Small - Chamber"}, display, ending);
        ASSERT_FALSE(r.timedOut) << r.output;
        EXPECT_TRUE(Says(r, "preset 60, Small - Chamber")) << r.output;
        if (r.opened) {
            EXPECT_EQ(r.code, 0) << r.output;
            EXPECT_FALSE(Says(r, "X error")) << r.output;
            EXPECT_FALSE(Says(r, "registered after removed")) << r.output;
        } else {
            EXPECT_EQ(r.code, 1) << r.output;
            EXPECT_TRUE(Says(r, "no editor window for Linux")) << r.output;
        }
    }
}
