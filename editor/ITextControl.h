#pragma once

#include <string>

#include "IControl.h"

// A line of text in a style.
class ITextControl : public IControl {
  public:
    ITextControl(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style, const char* text);

    bool Render(IGraphics& surface) override;
    virtual void SetText(const char* text);
    const std::string& Text() const { return text_; }
    TextStyle& Style() { return style_; }

  protected:
    TextStyle style_;
    std::string text_;
};
