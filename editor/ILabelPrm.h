#pragma once

#include <string>

#include "IControl.h"

// A caption for a parameter; a press opens a compact value box over it, during which the caption gives
// way to its edit caption (the unit), right-aligned.
class ILabelPrm : public IControl {
  public:
    ILabelPrm(IPlugBase* plugin, int paramIndex, const PixelRect& rect, const TextStyle& style,
              const TextStyle& savedStyle, const char* caption, const char* editCaption);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override;

    bool Editing() const { return editing_; }
    void SetShowValue(bool show) { showValue_ = show; }
    // The text Render draws now.
    std::string CurrentText() const;

  private:
    TextStyle style_;
    TextStyle savedStyle_;
    char caption_[21] = {};
    char editCaption_[21] = {};
    bool editing_ = false;
    bool showValue_ = false;
};
