#pragma once

#include "IBitmapControl.h"

// A click steps it to its next frame, wrapping to the first after the last; a right click opens the
// value box. Either press sends the value to the plug-in.
class ISwitchControl : public IBitmapControl {
  public:
    using IBitmapControl::IBitmapControl;

    void PointerDown(int x, int y, const MouseMods& mods) override;
};
