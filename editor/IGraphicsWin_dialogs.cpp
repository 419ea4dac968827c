#include "IGraphicsWin_native.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

using Native = IGraphicsWinNative;

// The colour dialog's caption, handed to its hook through the dialog's custom data.
UINT_PTR CALLBACK ColorHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        if (choose && choose->lCustData)
            SetWindowTextA(dialog, reinterpret_cast<const char*>(choose->lCustData));
    }
    return 0;
}

} // namespace

bool IGraphicsWin::ChooseFile(std::string* path, bool forSave, const char* folder, const char* extensions) {
    HWND window = Native::Window(*this);
    if (!path)
        return false;
    if (!window) {
        path->clear();
        return false;
    }
    char file[256] = {};
    std::strncpy(file, path->c_str(), sizeof(file) - 1);
    // "wav aif" filters as "*.wav;*.aif" (description and pattern alike), the first as default extension.
    std::string patterns, defaultExtension;
    if (extensions && *extensions) {
        std::string words(extensions);
        size_t start = 0;
        while (start < words.size()) {
            size_t end = words.find(' ', start);
            if (end == std::string::npos)
                end = words.size();
            if (end > start) {
                const std::string word = words.substr(start, end - start);
                if (defaultExtension.empty())
                    defaultExtension = word;
                patterns += (patterns.empty() ? "*." : ";*.") + word;
            }
            start = end + 1;
        }
    }
    std::string filter = patterns.empty() ? std::string() : patterns + '\0' + patterns + '\0';
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = window;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof(file);
    dialog.lpstrInitialDir = folder && *folder ? folder : nullptr;
    dialog.lpstrTitle = "Select audio sample";
    dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (forSave)
        dialog.Flags |= OFN_OVERWRITEPROMPT;
    const BOOL chosen = forSave ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (chosen)
        path->assign(file);
    else
        path->clear();
    return chosen != FALSE;
}

bool IGraphicsWin::PickColor(ArgbColor* color, const char* title) {
    HWND window = Native::Window(*this);
    if (!window || !color)
        return false;
    if (!customColors_)
        customColors_.reset(new unsigned long[16]());
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = window;
    choose.rgbResult = RGB(color->r, color->g, color->b);
    choose.lpCustColors = reinterpret_cast<COLORREF*>(customColors_.get());
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_RGBINIT | CC_ENABLEHOOK;
    choose.lCustData = reinterpret_cast<LPARAM>(title);
    choose.lpfnHook = ColorHook;
    if (!ChooseColorA(&choose))
        return false;
    color->r = GetRValue(choose.rgbResult);
    color->g = GetGValue(choose.rgbResult);
    color->b = GetBValue(choose.rgbResult);
    return true;
}

bool IGraphicsWin::OpenWebPage(const char* url, const char* title, const char* confirmText,
                               const char* failText) {
    HWND window = Native::Window(*this);
    if (!url || !*url)
        return false;
    if (confirmText && MessageBoxA(window, confirmText, title, MB_YESNO) != IDYES)
        return false;
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(window, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32)
        return true;
    if (failText)
        MessageBoxA(window, failText, title, MB_OK);
    return false;
}
