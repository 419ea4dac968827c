#include "IPlugBase.h"
#include "LICE_SysBitmap.h"
// After ours: the Windows headers' macros must not rename our declarations.
#include "IGraphicsWin_native.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <mutex>

namespace {

using Native = IGraphicsWinNative;

// The window class is registered once per module and shared by every editor window of it; several
// user-interface threads may open editors at once, so the count is guarded.
struct WindowClass {
    std::mutex mutex;
    int count = 0;
};

WindowClass& Registration() {
    static WindowClass registration;
    return registration;
}

bool AcquireClass(HINSTANCE module) {
    WindowClass& wc = Registration();
    std::lock_guard<std::mutex> guard(wc.mutex);
    if (wc.count == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = Native::WindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = Native::kWindowClass;
        // A host that unloaded and reloaded the module may have left the class registered: use it.
        if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    ++wc.count;
    return true;
}

void ReleaseClass(HINSTANCE module) {
    WindowClass& wc = Registration();
    std::lock_guard<std::mutex> guard(wc.mutex);
    if (wc.count > 0 && --wc.count == 0)
        UnregisterClassA(Native::kWindowClass, module);
}

// The text up to and including the last backslash; empty when there is none or it is the last one.
bool FolderOf(HMODULE module, std::string* folder) {
    if (!folder)
        return false;
    folder->clear();
    char path[256] = {};
    const DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return false;
    const char* slash = std::strrchr(path, '\\');
    if (!slash || slash[1] == '\0')
        return false;
    folder->assign(path, static_cast<size_t>(slash - path + 1));
    return true;
}

MouseMods ModsFrom(WPARAM keys) {
    MouseMods mods;
    mods.left = (keys & MK_LBUTTON) != 0;
    mods.right = (keys & MK_RBUTTON) != 0;
    mods.shift = (keys & MK_SHIFT) != 0;
    mods.ctrl = (keys & MK_CONTROL) != 0;
    mods.alt = GetKeyState(VK_MENU) < 0;
    return mods;
}

// The controls' key codes; -1 for keys they never see.
int KeyCodeFor(WPARAM key) {
    switch (key) {
    case VK_SPACE:
        return 0;
    case VK_UP:
        return 1;
    case VK_DOWN:
        return 2;
    case VK_LEFT:
        return 3;
    case VK_RIGHT:
        return 4;
    default:
        break;
    }
    if (key >= '0' && key <= '9')
        return static_cast<int>(key - '0') + 6;
    if (key >= 'A' && key <= 'Z')
        return static_cast<int>(key - 'A') + 16;
    if (key >= 0x61 && key <= 0x7A)
        return static_cast<int>(key) - 81;
    return -1;
}

} // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate, void* module)
    : IGraphics(plugin, width, height, frameRate) {
    SetModule(module);
}

IGraphicsWin::~IGraphicsWin() {
    // The plug-in closes the window while it is whole; one still open here goes without a last gesture.
    if (window_)
        DestroySurfaceWindow();
}

// ---- opening and closing ----

void* IGraphicsWin::OpenInParent(void* parent) {
    parentWindow_ = parent;
    int x = 0, y = 0, w = Width(), h = Height();
    if (HWND old = Native::Window(*this)) {
        // Re-opened in the old one's place and size.
        RECT r{}, parentRect{};
        GetWindowRect(old, &r);
        GetWindowRect(static_cast<HWND>(parent), &parentRect);
        x = r.left - parentRect.left;
        y = r.top - parentRect.top;
        w = r.right - r.left;
        h = r.bottom - r.top;
        CloseSurfaceWindow();
    }
    HINSTANCE module = static_cast<HINSTANCE>(Module());
    if (!AcquireClass(module))
        return nullptr;
    HWND window = CreateWindowExA(0, Native::kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h,
                                  static_cast<HWND>(parent), nullptr, module, this);
    if (!window) {
        ReleaseClass(module);
        return nullptr;
    }
    window_ = window;
    RedrawAll();
    if (TooltipsEnabled())
        CreateTooltips();
    return window_;
}

void IGraphicsWin::DestroySurfaceWindow() {
    DestroyTooltips();
    HWND window = Native::Window(*this);
    CloseEntry();
    window_ = nullptr; // late messages of the dying window go to the default procedure
    DestroyWindow(window);
    ReleaseClass(static_cast<HINSTANCE>(Module()));
}

IGraphicsWin* IGraphicsWinNative::SurfaceOf(HWND window) {
    auto* surface = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return surface && surface->window_ == window ? surface : nullptr;
}

// ---- the tick's platform steps ----

void IGraphicsWin::ShowDirty(const PixelRect& rect) {
    HWND window = Native::Window(*this);
    if (!window)
        return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window, &r, FALSE);
    if (HWND entry = Native::Entry(*this)) {
        // The edit box is not painted over.
        RECT e{};
        GetWindowRect(entry, &e);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&e), 2);
        ValidateRect(window, &e);
    }
    UpdateWindow(window);
}

bool IGraphicsWin::PresentRect(const PixelRect& rect) {
    HWND window = Native::Window(*this);
    if (!window || !DrawBitmap())
        return true;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, rect.left, rect.top, rect.W(), rect.H(), static_cast<HDC>(DrawBitmap()->DeviceContext()),
           rect.left, rect.top, SRCCOPY);
    EndPaint(window, &paint);
    return true;
}

void IGraphicsWin::ResizeSurface(int width, int height) {
    const int dw = width - Width();
    const int dh = height - Height();
    IGraphics::ResizeSurface(width, height);
    HWND window = Native::Window(*this);
    if (!window)
        return;
    RECT before{};
    GetClientRect(window, &before);
    // The window, and its parents while they are true child windows, grow by the change.
    HWND w = window;
    for (int level = 0; level < 3 && w; ++level) {
        RECT r{};
        GetWindowRect(w, &r);
        SetWindowPos(w, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
        const LONG_PTR exStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
        if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD))
            break;
        w = GetParent(w);
    }
    InvalidateRect(window, &before, FALSE);
}

// ---- services ----

bool IGraphicsWin::HostFolder(std::string* folder) {
    return FolderOf(nullptr, folder);
}

bool IGraphicsWin::ModuleFolder(std::string* folder) {
    return FolderOf(static_cast<HMODULE>(Module()), folder);
}

bool IGraphicsWin::WheelFromHost(double delta) {
    HWND window = Native::Window(*this);
    POINT cursor{};
    if (!window || !GetCursorPos(&cursor) || WindowFromPoint(cursor) != window)
        return false;
    RECT r{};
    GetWindowRect(window, &r);
    MouseMods mods;
    mods.shift = GetKeyState(VK_SHIFT) < 0;
    mods.ctrl = GetKeyState(VK_CONTROL) < 0;
    mods.alt = GetKeyState(VK_MENU) < 0;
    RouteWheel(cursor.x - r.left, cursor.y - r.top, mods, static_cast<double>(static_cast<int>(delta)));
    return true;
}

// ---- the window procedure ----

LRESULT CALLBACK IGraphicsWinNative::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* surface = static_cast<IGraphicsWin*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(surface));
        surface->window_ = window;
        SetTimer(window, kTimerId, static_cast<UINT>(surface->TimerPeriodMs()), nullptr);
        SetFocus(window);
        if (surface->AcceptsFileDrops())
            DragAcceptFiles(window, TRUE);
        return 0;
    }
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    IGraphicsWin* surface = SurfaceOf(window);
    if (!surface)
        return DefWindowProcA(window, message, wParam, lParam);
    return Message(*surface, window, message, wParam, lParam);
}

LRESULT IGraphicsWinNative::Message(IGraphicsWin& s, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT: {
        RECT r{};
        if (GetUpdateRect(window, &r, FALSE))
            s.RenderRect(PixelRect{r.left, r.top, r.right, r.bottom});
        ValidateRect(window, nullptr); // also when there was nothing to draw
        return 0;
    }
    case WM_CLOSE:
        s.CloseSurfaceWindow();
        return 0;
    case WM_MOUSEACTIVATE:
        SetFocus(window);
        return MA_ACTIVATE;
    case WM_KEYDOWN: {
        const int code = KeyCodeFor(wParam);
        if (code >= 0) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(window, &p);
            s.RouteKey(p.x, p.y, code);
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimerId)
            s.Tick();
        return 0;
    case WM_CTLCOLORSTATIC:
        return s.Plugin() ? static_cast<LRESULT>(s.Plugin()->TextEntryColour()) : 0;
    case WM_MOUSEMOVE: {
        const MouseMods mods = ModsFrom(wParam);
        if (mods.left || mods.right) {
            if (GetCapture() == window)
                s.RoutePointerDrag(x, y, mods);
            return 0;
        }
        const int before = s.HoverIndex();
        if (s.RouteHover(x, y, mods)) {
            const bool changed = s.HoverIndex() != before;
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
            if (s.TooltipsEnabled() && changed && s.HoverIndex() >= 0)
                track.dwFlags |= TME_HOVER;
            TrackMouseEvent(&track);
            if (changed) {
                s.tipControlIndex_ = s.HoverIndex();
                s.HideTip();
            }
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ReleaseCapture();
        s.RoutePointerUp(x, y, ModsFrom(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        if (s.RouteDoubleClick(x, y, ModsFrom(wParam)))
            SetCapture(window);
        return 0;
    case WM_RBUTTONDOWN:
        if (s.PressWithEntryOpen(true))
            return 0;
        s.HideTip();
        SetCapture(window);
        s.RoutePointerDown(x, y, ModsFrom(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        s.HideTip();
        s.PressWithEntryOpen(false);
        SetCapture(window);
        s.RoutePointerDown(x, y, ModsFrom(wParam));
        return 0;
    case WM_MOUSEWHEEL: {
        RECT r{};
        GetWindowRect(window, &r);
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        s.RouteWheel(x - r.left, y - r.top, ModsFrom(GET_KEYSTATE_WPARAM(wParam)), notches);
        return 0;
    }
    case WM_DROPFILES: {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        char path[261] = {};
        POINT p{};
        if (DragQueryFileA(drop, 0, path, 260) > 0 && DragQueryPoint(drop, &p))
            s.RouteDrop(p.x, p.y, path);
        DragFinish(drop);
        return 0;
    }
    case WM_MOUSEHOVER:
        s.ShowTip();
        return 0;
    case WM_MOUSELEAVE:
        s.HideTip();
        s.RoutePointerLeft();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
