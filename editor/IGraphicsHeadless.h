#pragma once

#include "IGraphics.h"

// The editor surface where no window shows it: everything draws into the draw bitmap, images decode
// from the module's resources, and prompts, dialogs and the web link do nothing. Its timer is Tick(),
// called by whoever drives the surface (the preview, the tests).
class IGraphicsHeadless : public IGraphics {
  public:
    // `module` is the instance handle resources are found in (null: the binary itself).
    IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate, void* module);

    bool PresentRect(const PixelRect& rect) override {
        (void)rect;
        return true;
    }
    void PromptText(IEditableTextControl* control) override { (void)control; }
    void PromptValue(IControl* control, IParamSpec* param, bool compact) override {
        (void)param, (void)compact;
        lastValuePrompt_ = control;
    }
    bool HostFolder(std::string* folder) override;
    bool ModuleFolder(std::string* folder) override;
    bool ChooseFile(std::string* path, bool forSave, const char* folder, const char* extensions) override;
    bool PickColor(ArgbColor* color, const char* title) override;
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failText) override;
    void StartEndEditCountdown(int ticks) override { countdown_ = ticks > 0 ? ticks : 0; }
    void StopEndEditCountdown() override { countdown_ = 0; }
    void* OpenInParent(void* parent) override {
        (void)parent;
        return nullptr;
    }
    void CloseSurfaceWindow() override {}
    void* NativeWindow() override { return nullptr; }
    void HideTipIfDisabled() override {}
    LICE_IBitmap* LoadImageResource(int id, const char* name) override;

    // One timer tick: draws what is dirty, then counts down a deferred end of gesture.
    void Tick();
    int Countdown() const { return countdown_; }
    // What was last asked of the platform, which does nothing here: the address the link would open
    // and the control a value box would open for.
    const std::string& LastWebPage() const { return lastWebPage_; }
    IControl* LastValuePrompt() const { return lastValuePrompt_; }

  private:
    void* module_ = nullptr;
    int countdown_ = 0;
    std::string lastWebPage_;
    IControl* lastValuePrompt_ = nullptr;
};
