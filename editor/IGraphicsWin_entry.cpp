#include "IControl.h"
#include "IEditableTextControl.h"
#include "IParamSpec.h"
// After ours: the Windows headers' macros must not rename our declarations.
#include "IGraphicsWin_native.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using Native = IGraphicsWinNative;

bool IsEditClass(HWND window) {
    char name[8] = {};
    return GetClassNameA(window, name, sizeof(name)) == 4 && lstrcmpiA(name, "EDIT") == 0;
}

} // namespace

// ---- opening ----

void IGraphicsWin::PromptValue(IControl* control, IParamSpec* param, bool compact) {
    HWND window = Native::Window(*this);
    if (!control || !param || !window || EntryOpen())
        return;
    const PixelRect& r = control->Rect();
    const int cx = static_cast<int>((r.left + r.right) * 0.5);
    const int cy = static_cast<int>((r.top + r.bottom) * 0.5);
    const std::string current = param->FormatForDisplay(param->Value(), false);
    HINSTANCE module = static_cast<HINSTANCE>(Module());
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(Native::kEntryId));
    const bool list =
        param->DisplayTextCount() > 0 && (param->Type() == kTypeEnum || param->Type() == kTypeBool);

    HWND entry = nullptr;
    if (list) {
        size_t longest = 0;
        for (int i = 0; i < param->DisplayTextCount(); ++i)
            longest = std::max(longest, std::strlen(param->DisplayTextAt(i).text));
        const int width = std::max(24, 8 * static_cast<int>(longest) + 24);
        const int count = param->DisplayTextCount();
        entry = compact
                    ? CreateWindowExA(0, "COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST,
                                      cx - width / 2, cy, width, 36 * count + 36, window, id, module, nullptr)
                    : CreateWindowExA(0, "COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST,
                                      r.left, cy, r.W(), r.H(), window, id, module, nullptr);
        if (!entry)
            return;
        int selected = -1;
        for (int i = 0; i < count; ++i) {
            const char* text = param->DisplayTextAt(i).text;
            SendMessageA(entry, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            if (current == text)
                selected = i; // the last equal entry
        }
        SendMessageA(entry, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    } else if (compact) {
        const int length = static_cast<int>(param->FormatForDisplay(1.0, true).size());
        const int width = std::max(32, 7 * length + 6);
        entry = CreateWindowExA(0, "EDIT", current.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_CENTER,
                                cx - width / 2, cy - 8, width, 16, window, id, module, nullptr);
    } else {
        entry = CreateWindowExA(0, "EDIT", current.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE, r.left,
                                r.top, r.W(), r.H(), window, id, module, nullptr);
    }
    if (!entry)
        return;
    if (!list)
        SendMessageA(entry, EM_SETSEL, 0, -1);
    HFONT font = CreateFontA(14, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    AdoptEntry(entry, control, control->ParamIndex(), font);
}

void IGraphicsWin::PromptText(IEditableTextControl* control) {
    HWND window = Native::Window(*this);
    if (!control || !window || EntryOpen())
        return;
    TextStyle& style = control->Style();
    DWORD flags = WS_CHILD | WS_VISIBLE;
    flags |= style.align == kAlignNear ? ES_LEFT : (style.align == kAlignFar ? ES_RIGHT : ES_CENTER);
    if (!control->AcceptsEdits())
        flags |= ES_READONLY;
    flags |= control->Masks() ? ES_PASSWORD : ES_MULTILINE;
    const PixelRect& r = control->Rect();
    HWND entry = CreateWindowExA(0, "EDIT", control->Text().c_str(), flags, r.left, r.top, r.W(), r.H(),
                                 window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(Native::kEntryId)),
                                 static_cast<HINSTANCE>(Module()), nullptr);
    if (!entry)
        return;
    SendMessageA(entry, EM_SETSEL, 0, -1);
    HFONT font = CreateFontA(style.size, 0, 0, 0, style.style == 1 ? 700 : 0, style.style == 2, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, style.fontName);
    AdoptEntry(entry, control, -1, font);
}

void IGraphicsWin::AdoptEntry(void* window, IControl* control, int param, void* font) {
    HWND entry = static_cast<HWND>(window);
    entryWindow_ = NativeEntry{};
    entryWindow_.window = entry;
    entryWindow_.font = font;
    EntryOpened(control, param);
    SetFocus(entry);
    entryWindow_.previousProc = reinterpret_cast<void*>(
        SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Native::EntryProc)));
    SetWindowLongPtrA(entry, GWLP_USERDATA, Native::kEntryMarker);
    if (font)
        SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // Hosts that turn keys into their own shortcuts must not take the ones typed here.
    entryWindow_.keyHook = SetWindowsHookExA(WH_GETMESSAGE, Native::KeyHook, nullptr, GetCurrentThreadId());
}

// ---- closing ----

std::string IGraphicsWin::EntryText() {
    char text[1001] = {};
    if (HWND entry = Native::Entry(*this))
        GetWindowTextA(entry, text, 1000);
    return text;
}

void IGraphicsWin::CloseEntryView() {
    NativeEntry entry = entryWindow_;
    entryWindow_ = NativeEntry{};
    if (!entry.window)
        return;
    if (entry.keyHook)
        UnhookWindowsHookEx(static_cast<HHOOK>(entry.keyHook));
    HWND window = static_cast<HWND>(entry.window);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.previousProc));
    DestroyWindow(window);
    if (entry.font)
        DeleteObject(static_cast<HFONT>(entry.font));
}

// ---- the entry's window procedure ----

LRESULT CALLBACK IGraphicsWinNative::EntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IGraphicsWin* s =
        GetWindowLongPtrA(window, GWLP_USERDATA) == kEntryMarker ? SurfaceOf(GetParent(window)) : nullptr;
    if (!s || s->entryWindow_.window != window)
        return DefWindowProcA(window, message, wParam, lParam);
    const auto previous = reinterpret_cast<WNDPROC>(s->entryWindow_.previousProc);
    s->HideTip();
    switch (message) {
    case WM_SETFOCUS:
        s->SetEntryState(IGraphicsWin::kEntryTyping);
        break;
    case WM_KILLFOCUS:
        s->SetEntryState(IGraphicsWin::kEntryIdle);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            if (IsEditClass(window))
                SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(-1), 0);
            s->SetEntryState(IGraphicsWin::kEntryCommit);
            return 0;
        }
        s->SetEntryState(IGraphicsWin::kEntryTyping);
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\n')
            return 0; // the Enter that commits types no line break
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            s->SetEntryState(IGraphicsWin::kEntryCommit);
            return 0;
        }
        break;
    case WM_GETDLGCODE: {
        LRESULT code = CallWindowProcA(previous, window, message, wParam, lParam);
        const auto* queried = reinterpret_cast<const MSG*>(lParam);
        if (s->EntryParam() < 0 && queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN)
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    default:
        break;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK IGraphicsWinNative::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message >= WM_KEYFIRST &&
        msg->message <= WM_KEYLAST && msg->hwnd &&
        GetWindowLongPtrA(msg->hwnd, GWLP_USERDATA) == kEntryMarker) {
        IGraphicsWin* s = SurfaceOf(GetParent(msg->hwnd));
        if (s && s->entryWindow_.window == msg->hwnd) {
            // Delivered here, and nothing left for the host's own translation.
            TranslateMessage(msg);
            DispatchMessageA(msg);
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IGraphicsWin::KeyToEntry(EntryKey key, char16_t character, bool down) {
    HWND entry = Native::Entry(*this);
    if (!entry)
        return false;
    if (!down)
        return true; // the key's press did the work
    WPARAM vk = 0;
    switch (key) {
    case EntryKey::Enter:
        vk = VK_RETURN;
        break;
    case EntryKey::Escape:
        vk = VK_ESCAPE;
        break;
    case EntryKey::Backspace:
        vk = VK_BACK;
        break;
    case EntryKey::Delete:
        vk = VK_DELETE;
        break;
    case EntryKey::Left:
        vk = VK_LEFT;
        break;
    case EntryKey::Right:
        vk = VK_RIGHT;
        break;
    case EntryKey::Home:
        vk = VK_HOME;
        break;
    case EntryKey::End:
        vk = VK_END;
        break;
    case EntryKey::Tab:
        vk = VK_TAB;
        break;
    case EntryKey::Character:
        break;
    }
    if (vk) {
        SendMessageA(entry, WM_KEYDOWN, vk, 1);
        if (vk == VK_BACK)
            SendMessageA(entry, WM_CHAR, '\b', 1);
    } else if (character >= 0x20 && character < 0x7F) {
        // The entry is an ANSI window; typed values are plain ASCII.
        SendMessageA(entry, WM_KEYDOWN, 0, 1);
        SendMessageA(entry, WM_CHAR, static_cast<WPARAM>(character), 1);
    }
    return true;
}
