#pragma once

#include "IControl.h"

// Base of knobs: dragging turns it. `gearing` is the drag distance that covers the whole range, in
// control heights (vertical) or widths (horizontal); Shift or Ctrl makes it ten times finer.
class IKnobControl : public IControl {
  public:
    enum Direction : int { kVertical = 0, kHorizontal = 1 };

    IKnobControl(IPlugBase* plugin, const PixelRect& rect, int paramIndex, int direction, double gearing);

    void PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;

  protected:
    int direction_ = kVertical;
    double gearing_ = 4.0;
};
