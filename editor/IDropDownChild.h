#pragma once

#include "IControl.h"

// The open picture of a selector's choices, filled column by column from the top. A press picks the
// choice under it for the selector and hides the picture.
class IDropDownChild : public IControl {
  public:
    IDropDownChild(IPlugBase* plugin, IControl* target, int x, int y, const ImageStrip& listImage,
                   int columns);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override;
    // The value (0..1) of the choice at (x, y).
    double ValueAt(int x, int y) const;

  private:
    ImageStrip listImage_;
    IControl* target_ = nullptr;
    int columns_ = 1;
};
