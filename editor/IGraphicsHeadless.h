#pragma once

#include <string>

#include "IGraphics.h"

// The editor surface where no window shows it: the preview, the bundle's pictures, the tests and the
// fuzzer. It draws what is dirty into the draw bitmap on each Tick(), which whoever drives it calls, and
// answers every window service as a surface without a window does, remembering what was last asked.
class IGraphicsHeadless : public IGraphics {
  public:
    // `module` is the instance handle resources are found in (null: the binary itself).
    IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate, void* module);

    bool PresentRect(const PixelRect& rect) override {
        (void)rect;
        return true;
    }
    void PromptValue(IControl* control, IParamSpec* param, bool compact) override {
        (void)param, (void)compact;
        lastValuePrompt_ = control;
    }
    bool OpenWebPage(const char* url, const char* title, const char* confirmText,
                     const char* failText) override {
        lastWebPage_ = url ? url : "";
        return IGraphics::OpenWebPage(url, title, confirmText, failText);
    }

    // The address the link would have opened and the control a value box would have opened for.
    const std::string& LastWebPage() const { return lastWebPage_; }
    IControl* LastValuePrompt() const { return lastValuePrompt_; }

  private:
    std::string lastWebPage_;
    IControl* lastValuePrompt_ = nullptr;
};
