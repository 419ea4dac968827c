#pragma once

#include <atomic>

#include "IControl.h"

class IDropDownChild;

// A selector showing its current choice as a frame of a strip. A left press opens a picture of all
// choices (IDropDownChild) at its placement; a click there picks one, which the selector sends to the
// plug-in when it next draws. A second press, or a right press, closes the picture.
class IDropDown : public IControl {
  public:
    // placement: 0 below, left edges aligned; 1 below, right edges aligned; 2 above, left aligned;
    // 3 above, right aligned; other: below and centred.
    IDropDown(IPlugBase* plugin, int paramIndex, int x, int y, const ImageStrip& face,
              const ImageStrip& listImage, int columns, int placement);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override;
    // A host value is shown, never sent back to the host as an edit.
    void ApplyHostValue(double v) override;

    IDropDownChild* List() const { return list_; }
    bool Pressed() const { return pressed_; }
    // Where the picture of all choices opens.
    PixelRect ListRect() const;

  private:
    IDropDownChild* list_ = nullptr; // owned by the surface once created
    ImageStrip face_;
    ImageStrip listImage_;
    std::atomic<double> lastValue_{0.0};
    int columns_ = 1;
    int placement_ = 4;
    bool pressed_ = false;
    bool listCreated_ = false;
};
