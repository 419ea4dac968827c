#pragma once

#include "ITextControl.h"

// A text box: a press opens the platform's text entry over it; a committed entry replaces the text when
// it accepts edits. Masked, it shows one '*' per character.
class IEditableTextControl : public ITextControl {
  public:
    IEditableTextControl(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style, const char* text,
                         const ArgbColor& background, bool acceptsEdits, bool masked);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override;
    bool AcceptsEdits() const { return acceptsEdits_; }
    bool Masks() const { return masked_; }

  private:
    ArgbColor background_;
    bool acceptsEdits_ = true;
    bool masked_ = false;
};
