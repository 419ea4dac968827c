#pragma once

// A small Windows host around the editor of the real module, for the editor window tests and the
// picture program: the module loaded through the host library, an instance started as a host starts
// it, a top-level window of the host's own as the parent, and the plug-in's view attached to it. The
// editor is then driven with the window messages Windows would send it.

#include <windows.h>

#include "EditorHostCommon.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <memory>
#include <string>
#include <vector>

namespace halvane::editorhost {

using Steinberg::IPlugView;
using Steinberg::IPtr;
using Steinberg::ViewRect;

constexpr const char* kEditorClass = "IPlugWndClass";
// The editor's redraw timer; a WM_TIMER with this id is one tick.
constexpr WPARAM kTimerId = 2;
// The value box or list the editor opens for typing a value.
constexpr int kEntryId = 99;

// The host's frame: records the sizes the plug-in asks for.
class Frame : public Steinberg::FObject, public Steinberg::IPlugFrame {
  public:
    std::vector<ViewRect> requests;

    Steinberg::tresult PLUGIN_API resizeView(IPlugView*, ViewRect* newSize) SMTG_OVERRIDE {
        if (newSize)
            requests.push_back(*newSize);
        return Steinberg::kResultOk;
    }

    OBJ_METHODS(Frame, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::IPlugFrame)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)
};

inline std::shared_ptr<host::Module> OpenModule(std::string& error) {
    return host::Module::open(HALVANE_MODULE_BINARY, error);
}

using test::StartInstance;

// WM_COMMANDs the host window received (its menu and accelerator commands).
inline int gHostCommands = 0;

inline LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        ++gHostCommands;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A visible top-level window of about 600 x 500 at (x, y) on the screen (x, y > 0). The pointer is
// parked at the screen's corner, outside every such window, so no control shows hovered.
inline HWND CreateHostWindow(int x, int y) {
    SetCursorPos(0, 0);
    static const ATOM hostClass = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "HalvaneTestHost";
        return RegisterClassA(&wc);
    }();
    if (!hostClass)
        return nullptr;
    return CreateWindowExA(0, "HalvaneTestHost", "Halvane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 600, 500,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// createView, setFrame, attached(parent, "HWND"); null when any step fails.
inline IPtr<IPlugView> OpenEditor(host::PluginInstance& plug, HWND parent, Frame* frame) {
    IPtr<IPlugView> view = Steinberg::owned(plug.controller()->createView("editor"));
    if (!view || view->setFrame(frame) != Steinberg::kResultOk ||
        view->attached(parent, Steinberg::kPlatformTypeHWND) != Steinberg::kResultOk)
        return nullptr;
    return view;
}

inline HWND EditorWindowOf(HWND parent) {
    return FindWindowExA(parent, nullptr, kEditorClass, nullptr);
}

// Runs the thread's message loop for `ms` milliseconds (the editor's own timer ticks meanwhile). With
// an accelerator table, the loop translates accelerators for `target` first, as many hosts do.
inline void Pump(DWORD ms, HACCEL accelerators = nullptr, HWND target = nullptr) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (accelerators && TranslateAcceleratorA(target, accelerators, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

inline void Tick(HWND editor) {
    SendMessageA(editor, WM_TIMER, kTimerId, 0);
}

using test::ControlFor;

inline POINT CentreOf(const EditorLayout::Control& c) {
    const test::FacePoint p = test::ControlCentre(c);
    return {p.x, p.y};
}

inline LPARAM At(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

// A left click at a point of the editor's client area.
inline void Click(HWND editor, POINT p) {
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    SendMessageA(editor, WM_LBUTTONUP, 0, At(p));
}

inline void RightClick(HWND editor, POINT p) {
    SendMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, At(p));
    SendMessageA(editor, WM_RBUTTONUP, 0, At(p));
}

} // namespace halvane::editorhost
