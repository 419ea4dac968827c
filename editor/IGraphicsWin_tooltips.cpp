#include "IControl.h"
// After ours: the Windows headers' macros must not rename our declarations.
#include "IGraphicsWin_native.h"

#include <commctrl.h>

namespace {

using Native = IGraphicsWinNative;

// The one tool: the editor window itself, its text the hovered control's.
TOOLINFOA Tool(HWND window, const char* text) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = const_cast<char*>(text);
    return tool;
}

} // namespace

void IGraphicsWin::CreateTooltips() {
    HWND window = Native::Window(*this);
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    HWND tip = nullptr;
    if (InitCommonControlsEx(&init))
        tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              static_cast<HINSTANCE>(Module()), nullptr);
    if (tip) {
        SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        TOOLINFOA tool = Tool(window, nullptr);
        if (SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
            tipWindow_ = tip;
            return;
        }
        DestroyWindow(tip);
    }
    EnableTooltips(false); // no tooltips rather than a broken editor
}

void IGraphicsWin::DestroyTooltips() {
    if (tipWindow_)
        DestroyWindow(static_cast<HWND>(tipWindow_));
    tipWindow_ = nullptr;
    tipShown_ = false;
    tipControlIndex_ = -1;
}

void IGraphicsWin::ShowTip() {
    tipControlIndex_ = TooltipsEnabled() ? HoverIndex() : -1;
    IControl* control = Control(tipControlIndex_);
    if (!tipWindow_ || !control || !control->Tooltip())
        return;
    TOOLINFOA tool = Tool(Native::Window(*this), control->Tooltip());
    SendMessageA(static_cast<HWND>(tipWindow_), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    tipShown_ = true;
}

void IGraphicsWin::HideTip() {
    if (!tipShown_ || !tipWindow_)
        return;
    TOOLINFOA tool = Tool(Native::Window(*this), nullptr);
    SendMessageA(static_cast<HWND>(tipWindow_), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    tipShown_ = false;
}

void IGraphicsWin::HideTipIfDisabled() {
    if (!TooltipsEnabled())
        HideTip();
}
