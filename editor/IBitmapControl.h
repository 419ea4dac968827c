#pragma once

#include "IControl.h"

// Shows the frame of an image strip that its value selects. The editor's background is one.
class IBitmapControl : public IControl {
  public:
    // frameLayout 0: frames stacked vertically; 1: side by side; other: the whole strip is one frame.
    IBitmapControl(IPlugBase* plugin, int x, int y, int paramIndex, const ImageStrip& strip, int blendMethod,
                   int frameLayout);

    bool Render(IGraphics& surface) override;
    const ImageStrip& Strip() const { return strip_; }
    // The 1-based frame the current value shows.
    int Frame() const;

  protected:
    bool vertical_ = true;
    ImageStrip strip_;
};
