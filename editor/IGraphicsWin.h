#pragma once

#include <memory>
#include <string>

#include "IGraphics.h"

// The editor's window on Windows: a child of the host's parent window, timer id 2 driving the shared
// tick, Win32 mouse, wheel, key and drop messages turned into the surface's routes, tooltips, the native
// value box and list for typed values, and the file, colour and web services. The Windows types stay in
// the .cpp files (IGraphicsWin_native.h); handles are kept here as opaque pointers.
//
// Everything runs on the host's user-interface thread that owns the parent window.
class IGraphicsWin : public IGraphics {
  public:
    // `module` is the plug-in module's instance handle: window class, child windows and resources.
    IGraphicsWin(IPlugBase* plugin, int width, int height, int frameRate, void* module);
    ~IGraphicsWin() override;

    bool PresentRect(const PixelRect& rect) override;
    void ResizeSurface(int width, int height) override;
    void PromptText(IEditableTextControl* control) override;
    void PromptValue(IControl* control, IParamSpec* param, bool compact) override;
    bool HostFolder(std::string* folder) override;
    bool ModuleFolder(std::string* folder) override;
    bool ChooseFile(std::string* path, bool forSave, const char* folder, const char* extensions) override;
    bool PickColor(ArgbColor* color, const char* title) override;
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failText) override;
    bool WheelFromHost(double delta) override;
    void* OpenInParent(void* parent) override;
    void* NativeWindow() override { return window_; }
    void HideTipIfDisabled() override;
    const char* WindowType() const override { return "HWND"; }
    bool KeyToEntry(EntryKey key, char16_t character, bool down) override;

    // The open value or text entry window (an edit box or a list), or null.
    void* EntryWindow() const { return entryWindow_.window; }

  protected:
    void ShowDirty(const PixelRect& rect) override;
    void DestroySurfaceWindow() override;
    std::string EntryText() override;
    void CloseEntryView() override;

  private:
    friend struct IGraphicsWinNative;

    // The entry's window, subclassed, with its own font and the key hook installed while it is open.
    struct NativeEntry {
        void* window = nullptr;
        void* previousProc = nullptr;
        void* font = nullptr;
        void* keyHook = nullptr;
    };

    // Subclasses a new entry window and remembers it; the font is the entry's own.
    void AdoptEntry(void* window, IControl* control, int param, void* font);
    void ShowTip();
    void HideTip();
    void CreateTooltips();
    void DestroyTooltips();

    void* window_ = nullptr;
    void* parentWindow_ = nullptr;
    void* tipWindow_ = nullptr;
    bool tipShown_ = false;
    int tipControlIndex_ = -1;
    NativeEntry entryWindow_;
    std::unique_ptr<unsigned long[]> customColors_; // the colour dialog's 16, made on first use
};
