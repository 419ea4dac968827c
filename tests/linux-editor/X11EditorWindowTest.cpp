// The editor of the built bundle in a real X11 window, opened the way a Linux host opens it (the view
// embedded in a window of the host's, driven by the host's run loop) and driven with real input from the
// X server (XTest): the window it makes and what it leaves behind, knob drags under each way a host calls
// the descriptor, wheel notches and their deferred end, the drawn value field, the "Space" list, two
// editors at once, and a parent destroyed under the editor. A picture of the window goes to the build
// folder.

#include "EditorHostCommon.h"
#include "RunLoop.h"
#include "TestDisplay.h"
#include "X11ParentWindow.h"

#include "LICE_PNG.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace Steinberg;
using EditorLayout::ControlKind;
using halvane::host::RunLoop;
using halvane::host::X11ParentWindow;
using halvane::test::ControlCentre;
using halvane::test::ControlFor;
using halvane::test::FacePoint;

namespace {

// Errors that reached the host's own X error handler, from any of the process's connections.
std::vector<XErrorEvent> gHostErrors;

int RecordHostError(Display*, XErrorEvent* error) {
    gHostErrors.push_back(*error);
    return 0;
}

// An editor as a host holds it: the instance, the host's window and the view embedded in it.
struct Editor {
    std::unique_ptr<halvane::host::PluginInstance> plug;
    std::unique_ptr<X11ParentWindow> parent;
    IPtr<IPlugView> view;
    Window window = 0; // the editor's own window, the parent's only child

    ~Editor() { close(); }

    // Removed, then released.
    void close() {
        if (view)
            view->removed();
        view = nullptr;
    }

    double normalized(Vst::ParamID id) const { return plug->controller()->getParamNormalized(id); }
    std::string gestures() const { return halvane::test::GestureText(plug->componentHandler().edits()); }
};

class X11EditorWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module() = halvane::host::Module::open(HALVANE_BUNDLE, openError()); }
    static void TearDownTestSuite() { module().reset(); }

    void SetUp() override {
        displayName = halvane::test::TestDisplay();
        if (displayName.empty())
            GTEST_SKIP() << "no X display: run through ctest, which starts one, or set DISPLAY";
        ASSERT_TRUE(module()) << HALVANE_BUNDLE << ": " << openError();
        // The plug-in connects to the display the host runs on.
        ::setenv("DISPLAY", displayName.c_str(), 1);
        x = XOpenDisplay(displayName.c_str());
        ASSERT_NE(x, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(x, &event, &error, &major, &minor)) << "no XTest on " << displayName;
        gHostErrors.clear();
        previousHandler = XSetErrorHandler(RecordHostError);
        // The keyboard follows the pointer, and the pointer rests outside every editor.
        XSetInputFocus(x, PointerRoot, RevertToPointerRoot, CurrentTime);
        XTestFakeMotionEvent(x, -1, 1270, 1010, CurrentTime);
        XSync(x, False);
        loop = owned(new RunLoop());
    }

    void TearDown() override {
        editors.clear();
        if (loop) {
            EXPECT_EQ(loop->eventHandlerCount(), 0u);
            EXPECT_EQ(loop->timerCount(), 0u);
        }
        loop = nullptr;
        if (!x)
            return;
        XSync(x, False);
        for (const XErrorEvent& e : gHostErrors)
            ADD_FAILURE() << "an X error reached the host's handler: request " << int(e.request_code)
                          << ", error " << int(e.error_code);
        EXPECT_EQ(XSetErrorHandler(previousHandler), &RecordHostError) << "the host's handler was replaced";
        XCloseDisplay(x);
    }

    // A new instance's editor in a new host window at (left, 0) on the screen, drawn; null on failure.
    Editor* open(int left = 0) {
        auto e = std::make_unique<Editor>();
        std::string error;
        e->plug = halvane::test::StartInstance(module(), error);
        if (!e->plug) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        e->parent =
            X11ParentWindow::open(EditorLayout::kWidth, EditorLayout::kHeight, "Halvane", error, displayName);
        if (!e->parent) {
            ADD_FAILURE() << error;
            return nullptr;
        }
        if (left) {
            XMoveWindow(e->parent->display(), e->parent->xid(), left, 0);
            XSync(e->parent->display(), False);
        }
        e->view = owned(e->plug->controller()->createView(Vst::ViewType::kEditor));
        if (!e->view || e->view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue ||
            e->view->setFrame(loop) != kResultOk ||
            e->view->attached(e->parent->parentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk) {
            ADD_FAILURE() << "the view did not open in an X11 window";
            return nullptr;
        }
        // The window shows, and the turns after drain its first Expose and paint it.
        X11ParentWindow& parent = *e->parent;
        const bool shown = loop->runUntil(
            [&] {
                const std::vector<unsigned long> children = parent.children();
                XWindowAttributes a{};
                return children.size() == 1 && XGetWindowAttributes(x, children[0], &a) &&
                       a.map_state == IsViewable;
            },
            3000);
        if (!shown || !ticks(3)) {
            ADD_FAILURE() << "the editor's window did not show";
            return nullptr;
        }
        e->window = parent.children()[0];
        editors.push_back(std::move(e));
        return editors.back().get();
    }

    // Turns of the loop until the plug-in's timer has fired n more times.
    bool ticks(int n) {
        const std::uint64_t target = loop->timerCallCount() + static_cast<std::uint64_t>(n);
        return loop->runUntil([&] { return loop->timerCallCount() >= target; }, 3000 + n * 100);
    }

    bool runUntil(const std::function<bool()>& done) { return loop->runUntil(done, 3000); }

    // ---- real input, from the X server ----

    void moveTo(const Editor& e, FacePoint p) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(x, e.window, DefaultRootWindow(x), p.x, p.y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(x, -1, rootX, rootY, CurrentTime);
    }

    void button(unsigned number, bool press) { XTestFakeButtonEvent(x, number, press, CurrentTime); }

    void click(const Editor& e, FacePoint p, unsigned number = Button1) {
        moveTo(e, p);
        button(number, true);
        button(number, false);
        XSync(x, False);
    }

    // Presses from the knob's centre and drags up by `up` pixels in steps of ten, then lets go.
    void dragUp(const Editor& e, FacePoint knob, int up) {
        moveTo(e, knob);
        button(Button1, true);
        for (int moved = 10; moved <= up; moved += 10)
            moveTo(e, {knob.x, knob.y - moved});
        button(Button1, false);
        XSync(x, False);
    }

    void wheelUp(const Editor& e, FacePoint p) { click(e, p, Button4); }

    void type(const std::vector<KeySym>& keys) {
        for (const KeySym key : keys) {
            const KeyCode code = XKeysymToKeycode(x, key);
            ASSERT_NE(code, 0) << "no key for keysym " << key;
            XTestFakeKeyEvent(x, code, True, CurrentTime);
            XTestFakeKeyEvent(x, code, False, CurrentTime);
        }
        XSync(x, False);
    }

    // The editor's window as the X server shows it.
    std::unique_ptr<LICE_MemBitmap> capture(const Editor& e) {
        XImage* image =
            XGetImage(x, e.window, 0, 0, EditorLayout::kWidth, EditorLayout::kHeight, AllPlanes, ZPixmap);
        if (!image)
            return nullptr;
        const auto channel = [](unsigned long pixel, unsigned long mask) {
            int shift = 0;
            for (; mask && !(mask & 1); mask >>= 1)
                ++shift;
            return static_cast<int>(((pixel >> shift) & mask) * 255 / (mask ? mask : 1));
        };
        auto picture = std::make_unique<LICE_MemBitmap>(image->width, image->height);
        for (int row = 0; row < image->height; ++row)
            for (int column = 0; column < image->width; ++column) {
                const unsigned long p = XGetPixel(image, column, row);
                picture->Bits()[row * picture->RowSpan() + column] =
                    LICE_RGBA(channel(p, image->red_mask), channel(p, image->green_mask),
                              channel(p, image->blue_mask), 255);
            }
        XDestroyImage(image);
        return picture;
    }

    static std::shared_ptr<halvane::host::Module>& module() {
        static std::shared_ptr<halvane::host::Module> opened;
        return opened;
    }
    static std::string& openError() {
        static std::string error;
        return error;
    }

    std::string displayName;
    Display* x = nullptr; // the test's own connection: input and what the server shows
    XErrorHandler previousHandler = nullptr;
    IPtr<RunLoop> loop;
    std::vector<std::unique_ptr<Editor>> editors;
};

TEST_F(X11EditorWindow, OpensOneDrawnEmbeddedWindowAndLeavesNothingRegistered) {
    Editor* e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->parent->children(), std::vector<unsigned long>{e->window});
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x, e->window, &attributes));
    EXPECT_EQ(attributes.width, 514);
    EXPECT_EQ(attributes.height, 420);
    // Embedders look for the XEmbed property to take the window as a client.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(x, e->window, XInternAtom(x, "_XEMBED_INFO", False), 0, 2, False,
                                 AnyPropertyType, &type, &format, &items, &left, &data),
              Success);
    EXPECT_EQ(format, 32);
    EXPECT_EQ(items, 2u);
    XFree(data);
    EXPECT_EQ(loop->eventHandlerCount(), 1u);
    EXPECT_EQ(loop->timerCount(), 1u);

    // The face as the screen shows it: many colours, where an undrawn window has one.
    const std::unique_ptr<LICE_MemBitmap> picture = capture(*e);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(LICE_WritePNG(HALVANE_EDITOR_WINDOW_PICTURE, picture.get())) << HALVANE_EDITOR_WINDOW_PICTURE;
    const LICE_pixel* pixels = picture->Bits();
    const std::set<LICE_pixel> colours(pixels, pixels + picture->Width() * picture->Height());
    EXPECT_GE(colours.size(), 100u);

    e->close();
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
    EXPECT_TRUE(e->parent->children().empty());

    // Hosts that take the frame away before removing the view.
    e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->view->setFrame(nullptr), kResultOk);
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
    EXPECT_TRUE(e->parent->children().empty());
    e->close();
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
}

// Some hosts never call the descriptor handler (the editor then reads its events on the tick), some call
// it on every turn.
TEST_F(X11EditorWindow, KnobDragIsOneGestureHoweverTheHostCallsTheDescriptor) {
    for (const RunLoop::FdCalls calls :
         {RunLoop::FdCalls::WhenReadable, RunLoop::FdCalls::Never, RunLoop::FdCalls::EveryTurn}) {
        SCOPED_TRACE(static_cast<int>(calls));
        loop->setFdCalls(calls);
        Editor* e = open();
        ASSERT_NE(e, nullptr);
        const double before = e->normalized(kTime);
        e->plug->componentHandler().clear();

        dragUp(*e, ControlCentre(ControlFor(ControlKind::Knob, kTime)), 30);
        EXPECT_TRUE(runUntil([&] { return e->gestures() == "b1 p1 e1"; })) << e->gestures();
        EXPECT_GT(e->normalized(kTime), before + 0.05) << "dragged up thirty pixels";
        e->close();
    }
}

TEST_F(X11EditorWindow, WheelNotchEndsItsGestureTwelveTicksLaterOrWhenTheViewIsRemoved) {
    Editor* e = open();
    ASSERT_NE(e, nullptr);
    const FacePoint knob = ControlCentre(ControlFor(ControlKind::Knob, kPreDelay));
    const double before = e->normalized(kPreDelay);
    e->plug->componentHandler().clear();

    // Between two ticks: the notch is heard at once.
    loop->holdTimers(true);
    wheelUp(*e, knob);
    EXPECT_TRUE(runUntil([&] { return e->gestures() == "b0 p0"; })) << e->gestures();
    EXPECT_GT(e->normalized(kPreDelay), before);
    loop->holdTimers(false);
    int tick = 1;
    for (; tick <= 12 && ticks(1); ++tick)
        if (e->gestures() != "b0 p0")
            break;
    EXPECT_EQ(tick, 12) << "the end came on another tick";
    EXPECT_EQ(e->gestures(), "b0 p0 e0");

    loop->holdTimers(true);
    e->plug->componentHandler().clear();
    wheelUp(*e, knob);
    EXPECT_TRUE(runUntil([&] { return e->gestures() == "b0 p0"; })) << e->gestures();
    e->close();
    EXPECT_EQ(e->gestures(), "b0 p0 e0") << "the pending end goes out with the view";
    loop->holdTimers(false);
}

// The bypass threshold's caption opens a drawn value field on a right click.
TEST_F(X11EditorWindow, ValueFieldAppliesTheTypedValueOnTheNextTickAndARightClickDiscardsIt) {
    Editor* e = open();
    ASSERT_NE(e, nullptr);
    const FacePoint label = ControlCentre(ControlFor(ControlKind::ThresholdLabel, kBypassCeil));
    const double before = e->normalized(kBypassCeil);
    ASSERT_NE(before, 0.5);

    click(*e, label, Button3);
    ASSERT_TRUE(ticks(2));
    // The field opens with its text selected: typing replaces it.
    type({XK_minus, XK_7, XK_5});
    ASSERT_TRUE(ticks(2));
    loop->holdTimers(true);
    const std::uint64_t drained = loop->fdCallCount();
    type({XK_Return});
    EXPECT_TRUE(runUntil([&] { return loop->fdCallCount() > drained; }));
    loop->runFor(100);
    EXPECT_EQ(e->normalized(kBypassCeil), before) << "not before the tick";
    loop->holdTimers(false);
    ASSERT_TRUE(ticks(1));
    EXPECT_DOUBLE_EQ(e->normalized(kBypassCeil), 0.5); // -75 dB in -100..-50

    click(*e, label, Button3);
    ASSERT_TRUE(ticks(2));
    type({XK_minus, XK_9});
    ASSERT_TRUE(ticks(2));
    // Keys a host hands the view reach the field only while it is open.
    EXPECT_EQ(e->view->onKeyDown('0', 0, 0), kResultTrue) << "the field opened again";
    click(*e, {10, 10}, Button3);
    ASSERT_TRUE(ticks(2));
    EXPECT_EQ(e->view->onKeyDown('0', 0, 0), kResultFalse) << "the field closed";
    EXPECT_DOUBLE_EQ(e->normalized(kBypassCeil), 0.5) << "the typed text was discarded";
}

TEST_F(X11EditorWindow, SpaceListPicksTheClickedSpace) {
    Editor* e = open();
    ASSERT_NE(e, nullptr);
    const EditorLayout::Control& space = ControlFor(ControlKind::DropDown, kSpace);
    click(*e, ControlCentre(space));
    ASSERT_TRUE(ticks(2));
    e->plug->componentHandler().clear();
    // The list opens centred under the face, its choices in columns from the top; the cell of the
    // fourth choice of the third column.
    const EditorLayout::ImageResource& list = *EditorLayout::FindImage(space.listImage);
    const int left = (space.left + space.right - list.width) / 2, top = space.bottom - 1;
    const int rows = list.frames / space.columns;
    const int column = 2, row = 3;
    click(*e, {left + (2 * column + 1) * list.width / (2 * space.columns),
               top + (2 * row + 1) * list.height / (2 * rows)});
    ASSERT_TRUE(ticks(2));
    EXPECT_NEAR(e->normalized(kSpace), static_cast<double>(column * rows + row) / (list.frames - 1), 1e-9);
    EXPECT_EQ(e->gestures(), "b3 p3 e3");
}

TEST_F(X11EditorWindow, TwoEditorsWorkUntilEachIsClosedInEitherOrder) {
    // A notch over the pre-delay knob turns it.
    const auto turns = [&](Editor& e) {
        const double before = e.normalized(kPreDelay);
        wheelUp(e, ControlCentre(ControlFor(ControlKind::Knob, kPreDelay)));
        return runUntil([&] { return e.normalized(kPreDelay) > before; });
    };
    for (const bool firstClosesFirst : {true, false}) {
        SCOPED_TRACE(firstClosesFirst ? "first closed first" : "second closed first");
        Editor* first = open(0);
        ASSERT_NE(first, nullptr);
        Editor* second = open(600);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(loop->eventHandlerCount(), 2u);
        EXPECT_EQ(loop->timerCount(), 2u);
        EXPECT_TRUE(turns(*first));
        EXPECT_TRUE(turns(*second));

        Editor* closing = firstClosesFirst ? first : second;
        Editor* staying = firstClosesFirst ? second : first;
        closing->close();
        EXPECT_TRUE(closing->parent->children().empty());
        EXPECT_EQ(loop->eventHandlerCount(), 1u);
        EXPECT_EQ(loop->timerCount(), 1u);
        EXPECT_TRUE(turns(*staying)) << "the other editor still works";
        staying->close();
        EXPECT_EQ(loop->eventHandlerCount(), 0u);
        EXPECT_EQ(loop->timerCount(), 0u);
        editors.clear();
    }
}

// A host that destroys its window before removing the view: the editor's window goes with it.
TEST_F(X11EditorWindow, ParentDestroyedBeforeRemovedIsSurvivedQuietly) {
    Editor* e = open();
    ASSERT_NE(e, nullptr);
    e->parent->destroy();
    EXPECT_TRUE(ticks(5));
    e->close();
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
    // No X error reached the host's handler: TearDown checks.
}

// A host whose frame has no run loop: the editor takes the host context's, and with none at all it opens
// nothing and says so.
TEST_F(X11EditorWindow, RunsOnTheHostContextsLoopAndOpensNothingWithoutOne) {
    struct PlainFrame : IPlugFrame {
        tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultOk; }
        tresult PLUGIN_API queryInterface(const TUID wanted, void** obj) override {
            if (FUnknownPrivate::iidEqual(wanted, IPlugFrame::iid) ||
                FUnknownPrivate::iidEqual(wanted, FUnknown::iid)) {
                *obj = this;
                return kResultOk;
            }
            *obj = nullptr;
            return kNoInterface;
        }
        uint32 PLUGIN_API addRef() override { return 1; }
        uint32 PLUGIN_API release() override { return 1; }
    } frame;
    std::string error;
    auto plug = halvane::test::StartInstance(module(), error);
    ASSERT_TRUE(plug) << error;
    auto parent =
        X11ParentWindow::open(EditorLayout::kWidth, EditorLayout::kHeight, "Halvane", error, displayName);
    ASSERT_TRUE(parent) << error;
    IPtr<IPlugView> view = owned(plug->controller()->createView(Vst::ViewType::kEditor));
    ASSERT_TRUE(view);
    ASSERT_EQ(view->setFrame(&frame), kResultOk);

    EXPECT_EQ(view->attached(parent->parentHandle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(parent->children().empty());

    plug->hostApplication().setRunLoop(loop);
    ASSERT_EQ(view->attached(parent->parentHandle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(loop->timerCount(), 1u);
    EXPECT_TRUE(runUntil([&] { return parent->children().size() == 1; }));
    view->removed();
    view = nullptr;
    plug->hostApplication().setRunLoop(nullptr);
}

} // namespace
