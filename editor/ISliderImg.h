#pragma once

#include "IControl.h"

// A slider whose handle image runs along a track, with its value text and unit below. A press inside
// the handle area grabs the handle (its centre jumps to the pointer); elsewhere nothing moves. While the
// surface tracks the pointer, the handle is dimmed unless the pointer is over the slider.
class ISliderImg : public IControl {
  public:
    ISliderImg(IPlugBase* plugin, int paramIndex, const PixelRect& rect, const ImageStrip& handle,
               const TextStyle& labelStyle, int trackLength, bool horizontal, float dimAmount);

    void PointerDown(int x, int y, const MouseMods& mods) override;
    void PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    void PointerUp(int x, int y, const MouseMods& mods) override;
    void PointerHover(int x, int y, const MouseMods& mods) override;
    void PointerLeft() override;
    bool Render(IGraphics& surface) override;

    const PixelRect& HandleArea() const { return handleArea_; }
    // Where the handle is drawn for the parameter's current value.
    PixelRect HandleRect() const;
    bool Dragging() const { return dragging_; }

  private:
    void ValueFromPosition(int x, int y);

    TextStyle labelStyle_;
    PixelRect handleArea_;
    ImageStrip handle_;
    int trackLength_ = 0;
    int travel_ = 0;
    bool vertical_ = false;
    bool hovered_ = false;
    bool dragging_ = false;
    float dimAmount_ = 0.0f;
};
