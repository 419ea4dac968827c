// The editor in a real window, opened through the built module's view the way a Windows host opens it
// and driven with the messages Windows sends (under Wine, on a virtual X display): the view's answers,
// the window it opens and closes, gestures from the mouse, the value box and list, the window class
// shared by instances, the state a reopened window shows, host automation on screen, and the keys a
// host's accelerators would otherwise take.

#include "EditorHost.h"

#include <gtest/gtest.h>

#include "ParameterChanges.h"
#include "ProcessBuffers.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace halvane;
using namespace halvane::editorhost;
using EditorLayout::ControlKind;
using Steinberg::kResultFalse;
using Steinberg::kResultOk;
using Steinberg::kResultTrue;

namespace {

// Parameter ids are the parameter indices.
constexpr Steinberg::Vst::ParamID kTimeId = kTime;
constexpr Steinberg::Vst::ParamID kPreDelayId = kPreDelay;

constexpr WORD kDigitCommand = 4000;

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int EditorWindowCount(HWND parent) {
    int n = 0;
    for (HWND w = nullptr; (w = FindWindowExA(parent, w, kEditorClass, nullptr)) != nullptr;)
        ++n;
    return n;
}

// The pixels of `r` in the editor window as Windows shows them (alpha dropped).
std::vector<uint32_t> Capture(HWND editor, const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC windowDc = GetDC(editor);
    HDC memory = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (section && bits) {
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, w, h, windowDc, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
        for (uint32_t& px : pixels)
            px &= 0xFFFFFFu;
        SelectObject(memory, old);
        DeleteObject(section);
    }
    DeleteDC(memory);
    ReleaseDC(editor, windowDc);
    return pixels;
}

RECT RectOf(const EditorLayout::Control& c) {
    return {c.left, c.top, c.right, c.bottom};
}

// A wheel turn over a point of the editor: Windows gives its position in screen coordinates.
void Wheel(HWND editor, POINT p, int delta) {
    ClientToScreen(editor, &p);
    SendMessageA(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), At(p));
}

// A key as the keyboard posts it to the window with the focus.
void PostKey(HWND window, WORD key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, key, 1 | scan);
    PostMessageA(window, WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000u));
}

class EditorWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module() = OpenModule(openError()); }
    static void TearDownTestSuite() { module().reset(); }

    void SetUp() override {
        ASSERT_TRUE(module()) << HALVANE_MODULE_BINARY << ": " << openError();
        plug = start();
        ASSERT_TRUE(plug);
        parent = CreateHostWindow(40, 40);
        ASSERT_NE(parent, nullptr);
    }

    void TearDown() override {
        close();
        if (parent)
            DestroyWindow(parent);
        plug.reset();
        Pump(20);
    }

    std::unique_ptr<host::PluginInstance> start() {
        std::string error;
        auto started = StartInstance(module(), error);
        EXPECT_TRUE(started) << error;
        return started;
    }

    // The fixture's view, attached to its parent; the editor window.
    HWND open() {
        frame = Steinberg::owned(new Frame());
        view = OpenEditor(*plug, parent, frame);
        EXPECT_TRUE(view);
        Pump(50);
        return EditorWindowOf(parent);
    }

    void close() {
        if (view)
            view->removed();
        view = nullptr;
    }

    double normalized(Steinberg::Vst::ParamID id) { return plug->controller()->getParamNormalized(id); }

    // What the host heard since the last clear.
    std::string gestures() { return test::GestureText(plug->componentHandler().edits()); }

    static bool classRegistered() {
        std::string binary = HALVANE_MODULE_BINARY;
        binary = binary.substr(binary.find_last_of("/\\") + 1);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        return GetClassInfoExA(GetModuleHandleA(binary.c_str()), kEditorClass, &wc) != 0;
    }

    static std::shared_ptr<host::Module>& module() {
        static std::shared_ptr<host::Module> opened;
        return opened;
    }
    static std::string& openError() {
        static std::string error;
        return error;
    }

    std::unique_ptr<host::PluginInstance> plug;
    HWND parent = nullptr;
    IPtr<Frame> frame;
    IPtr<IPlugView> view;
};

// What only a Windows view answers; the rest of the view's answers are the same on every platform.
TEST_F(EditorWindow, ViewTakesOnlyWindowsParents) {
    view = Steinberg::owned(plug->controller()->createView("editor"));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->isPlatformTypeSupported(Steinberg::kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(Steinberg::kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->attached(parent, Steinberg::kPlatformTypeNSView), kResultOk);
    EXPECT_EQ(EditorWindowOf(parent), nullptr) << "no window for a foreign platform type";
}

TEST_F(EditorWindow, OpensOneEditorWindowInTheParentAndClosesIt) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    RECT client;
    GetClientRect(editor, &client);
    EXPECT_EQ(client.right, 514);
    EXPECT_EQ(client.bottom, 420);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), editor) << "the parent's only child";
    EXPECT_EQ(GetWindow(editor, GW_HWNDNEXT), nullptr);

    ASSERT_EQ(view->attached(parent, Steinberg::kPlatformTypeHWND), kResultOk);
    Pump(20);
    EXPECT_EQ(EditorWindowCount(parent), 1) << "attached twice";
    EXPECT_TRUE(frame->requests.empty()) << "opening asks the host for no resize";

    editor = EditorWindowOf(parent);
    close();
    EXPECT_EQ(EditorWindowCount(parent), 0);
    EXPECT_FALSE(IsWindow(editor));
    // Late messages for the closed window's handle reach nothing (and crash nothing).
    SendMessageA(editor, WM_TIMER, kTimerId, 0);
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 200));
    Pump(20);
}

TEST_F(EditorWindow, KnobDragIsOneGestureAndTheParameterFollows) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    const double before = normalized(kTimeId);
    plug->componentHandler().clear();

    const POINT c = CentreOf(ControlFor(ControlKind::Knob, kTime));
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(c));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y - 10));
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y - 20));
    SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y - 20));

    EXPECT_EQ(gestures(), "b1 p1 e1");
    EXPECT_GT(normalized(kTimeId), before + 0.05) << "dragged up twenty pixels";
}

// Ticks are sent by hand and no messages are pumped in between, so the window's own timer adds none.
TEST_F(EditorWindow, WheelNotchEndsItsGestureTwelveTicksLaterOrWhenTheWindowCloses) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    const POINT c = CentreOf(ControlFor(ControlKind::Knob, kPreDelay));
    const double before = normalized(kPreDelayId);
    plug->componentHandler().clear();

    Wheel(editor, c, 120);
    EXPECT_EQ(gestures(), "b0 p0");
    EXPECT_GT(normalized(kPreDelayId), before);
    for (int tick = 1; tick < 12; ++tick)
        Tick(editor);
    EXPECT_EQ(gestures(), "b0 p0") << "not before the twelfth tick";
    Tick(editor);
    EXPECT_EQ(gestures(), "b0 p0 e0");

    const double turned = normalized(kPreDelayId);
    Wheel(editor, c, 60);
    EXPECT_DOUBLE_EQ(normalized(kPreDelayId), turned) << "half a notch is no notch";
    for (int tick = 0; tick < 12; ++tick)
        Tick(editor);

    plug->componentHandler().clear();
    Wheel(editor, c, 120);
    close();
    EXPECT_EQ(gestures(), "b0 p0 e0") << "the pending end goes out with the window";
}

// The bypass threshold's caption opens a value box on a right click.
TEST_F(EditorWindow, ValueBoxAppliesOnTheNextTickAndARightClickDiscardsIt) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    const POINT label = CentreOf(ControlFor(ControlKind::ThresholdLabel, kBypassCeil));

    RightClick(editor, label);
    HWND box = GetDlgItem(editor, kEntryId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(lstrcmpiA(ClassOf(box).c_str(), "Edit"), 0) << ClassOf(box);
    const double before = normalized(kBypassCeil);
    SetWindowTextA(box, "-75");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(normalized(kBypassCeil), before) << "not before the tick";
    Tick(editor);
    EXPECT_DOUBLE_EQ(normalized(kBypassCeil), 0.5); // -75 dB in -100..-50
    EXPECT_EQ(GetDlgItem(editor, kEntryId), nullptr);

    RightClick(editor, label);
    box = GetDlgItem(editor, kEntryId);
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "-9");
    // Keys a host hands the view go to the open box.
    EXPECT_EQ(view->onKeyDown('0', 0, 0), kResultTrue);
    EXPECT_NE(TextOf(box), "-9");
    RightClick(editor, {10, 10});
    Tick(editor);
    EXPECT_EQ(GetDlgItem(editor, kEntryId), nullptr);
    EXPECT_DOUBLE_EQ(normalized(kBypassCeil), 0.5) << "the typed text was discarded";
    EXPECT_EQ(view->onKeyDown('0', 0, 0), kResultFalse) << "no box, no key";
}

// A right click on the EQ mode switch asks for its value in a native list.
TEST_F(EditorWindow, ChoiceListAppliesThePickOnTheNextTick) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);

    RightClick(editor, CentreOf(ControlFor(ControlKind::Switch, kEqMode)));
    HWND list = GetDlgItem(editor, kEntryId);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(lstrcmpiA(ClassOf(list).c_str(), "ComboBox"), 0) << ClassOf(list);
    const double before = normalized(kEqMode);

    // A click on an item of the open list selects it, and the list box tells its combo box
    // (LBN_SELCHANGE); the same two steps by hand.
    ASSERT_EQ(SendMessageA(list, CB_SETCURSEL, 2, 0), 2);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(list, &info));
    SendMessageA(list, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(info.hwndList), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(info.hwndList));
    EXPECT_EQ(normalized(kEqMode), before) << "not before the tick";

    Tick(editor);
    EXPECT_DOUBLE_EQ(normalized(kEqMode), 0.5); // "Alternate", third of five
    EXPECT_EQ(GetDlgItem(editor, kEntryId), nullptr);
}

TEST_F(EditorWindow, WindowClassLivesWhileAnyEditorIsOpen) {
    for (const bool firstClosesFirst : {true, false}) {
        SCOPED_TRACE(firstClosesFirst ? "first closed first" : "second closed first");
        auto plug2 = start();
        ASSERT_TRUE(plug2);
        HWND parent2 = CreateHostWindow(660, 40);
        ASSERT_NE(parent2, nullptr);
        IPtr<Frame> frame2 = Steinberg::owned(new Frame());

        ASSERT_NE(open(), nullptr);
        IPtr<IPlugView> view2 = OpenEditor(*plug2, parent2, frame2);
        ASSERT_TRUE(view2);
        ASSERT_NE(EditorWindowOf(parent2), nullptr);
        EXPECT_TRUE(classRegistered());

        if (firstClosesFirst)
            close();
        else
            view2->removed();
        EXPECT_TRUE(classRegistered()) << "the other editor is still open";
        if (firstClosesFirst)
            view2->removed();
        else
            close();
        EXPECT_FALSE(classRegistered());

        view2 = nullptr;
        DestroyWindow(parent2);
    }
}

TEST_F(EditorWindow, ReopenedEditorShowsTheControlsAsTheyWere) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    const EditorLayout::Control& knob = ControlFor(ControlKind::Knob, kPreDelay);
    Tick(editor);
    const std::vector<uint32_t> unturned = Capture(editor, RectOf(knob));

    Wheel(editor, CentreOf(knob), 3 * 120);
    Tick(editor);
    const std::vector<uint32_t> turned = Capture(editor, RectOf(knob));
    ASSERT_NE(turned, unturned) << "the knob shows the turn";

    close();
    editor = open();
    ASSERT_NE(editor, nullptr);
    Tick(editor);
    EXPECT_EQ(Capture(editor, RectOf(knob)), turned);
}

TEST_F(EditorWindow, HostAutomationReachesTheWindowOnTheNextTick) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    const RECT knob = RectOf(ControlFor(ControlKind::Knob, kTime));
    Tick(editor);
    const std::vector<uint32_t> before = Capture(editor, knob);

    auto changes = Steinberg::owned(new host::ParameterChanges());
    ASSERT_TRUE(changes->addChange(kTimeId, 0, 0.9));
    host::ProcessBuffers buffers(Steinberg::Vst::kSample32, 256);
    ASSERT_EQ(plug->process(buffers.prepare(256, changes)), kResultOk);
    EXPECT_EQ(Capture(editor, knob), before) << "not before the tick";

    Tick(editor);
    Pump(20);
    EXPECT_NE(Capture(editor, knob), before);
}

TEST_F(EditorWindow, ViewOutlivesItsTerminatedInstance) {
    ASSERT_NE(open(), nullptr);
    plug.reset(); // stopped, terminated and released while the view still holds the plug-in
    Pump(100);
    view->removed();
    view = nullptr;
    EXPECT_EQ(EditorWindowOf(parent), nullptr);
    Pump(100);
}

// Hosts that map digit keys to commands translate accelerators in their message loop before the
// focused window sees a key; while a value box is open the editor takes its keys first.
TEST_F(EditorWindow, ValueBoxGetsTheKeysAHostsAcceleratorsWouldTake) {
    HWND editor = open();
    ASSERT_NE(editor, nullptr);
    ACCEL digits[10];
    for (WORD i = 0; i < 10; ++i)
        digits[i] = {FVIRTKEY, static_cast<WORD>('0' + i), kDigitCommand};
    HACCEL accelerators = CreateAcceleratorTableA(digits, 10);
    ASSERT_NE(accelerators, nullptr);

    gHostCommands = 0;
    PostKey(editor, '1');
    Pump(50, accelerators, parent);
    ASSERT_EQ(gHostCommands, 1) << "the host's loop takes digits";

    RightClick(editor, CentreOf(ControlFor(ControlKind::ThresholdLabel, kBypassCeil)));
    HWND box = GetDlgItem(editor, kEntryId);
    ASSERT_NE(box, nullptr);
    PostKey(box, '8');
    PostKey(box, '5');
    Pump(100, accelerators, parent);
    EXPECT_EQ(TextOf(box), "85") << "typed over the selected value";
    EXPECT_EQ(gHostCommands, 1);
    DestroyAcceleratorTable(accelerators);
}

} // namespace
