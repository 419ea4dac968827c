#include "ISliderImg.h"

#include <string>

#include "IGraphics.h"
#include "IParamSpec.h"

ISliderImg::ISliderImg(IPlugBase* plugin, int paramIndex, const PixelRect& rect, const ImageStrip& handle,
                       const TextStyle& labelStyle, int trackLength, bool horizontal, float dimAmount)
    : IControl(plugin, rect, paramIndex), labelStyle_(labelStyle), handle_(handle), trackLength_(trackLength),
      vertical_(!horizontal), dimAmount_(dimAmount) {
    const double c = (rect.left + rect.right) * 0.5;
    if (horizontal) {
        travel_ = trackLength - handle.width;
        handleArea_ = {RoundHalfAwayFromZero(c - trackLength / 2), rect.top,
                       RoundHalfAwayFromZero(c + trackLength / 2), rect.top + handle.height};
    } else {
        travel_ = trackLength - handle.height;
        handleArea_ = {RoundHalfAwayFromZero(c - handle.width * 0.5), rect.top,
                       RoundHalfAwayFromZero(c + handle.width * 0.5), rect.top + trackLength};
    }
}

void ISliderImg::ValueFromPosition(int x, int y) {
    if (travel_ <= 0)
        return; // a handle as long as its track has nowhere to go
    if (vertical_)
        SetValue(1.0 - (y - handleArea_.top - handle_.height * 0.5) / travel_);
    else
        SetValue((x - handleArea_.left - handle_.width * 0.5) / travel_);
    MarkDirty(true);
}

void ISliderImg::PointerDown(int x, int y, const MouseMods& mods) {
    if (mods.right) {
        IControl::PointerDown(x, y, mods);
        return;
    }
    if (mods.left && x >= handleArea_.left && x <= handleArea_.right && y >= handleArea_.top &&
        y <= handleArea_.bottom) {
        hovered_ = false;
        dragging_ = true;
        ValueFromPosition(x, y);
    }
}

void ISliderImg::PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) {
    (void)dx, (void)dy, (void)mods;
    if (dragging_)
        ValueFromPosition(x, y);
}

void ISliderImg::PointerUp(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    dragging_ = false;
}

void ISliderImg::PointerHover(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (!hovered_) {
        hovered_ = true;
        MarkDirty(false);
    }
}

void ISliderImg::PointerLeft() {
    hovered_ = false;
    MarkDirty(false);
}

PixelRect ISliderImg::HandleRect() const {
    const double v = IsBound() ? ParamNormalized() : Value();
    if (vertical_) {
        const int hy = RoundHalfAwayFromZero(travel_ * (1.0 - v) + handleArea_.top);
        return {handleArea_.left, hy, handleArea_.right, hy + handle_.height};
    }
    const double hx = travel_ * v + handleArea_.left;
    return {RoundHalfAwayFromZero(hx), handleArea_.top, RoundHalfAwayFromZero(hx + handle_.width),
            Rect().bottom};
}

bool ISliderImg::Render(IGraphics& surface) {
    const std::string text = ParamText(true);
    if (!text.empty() && labelStyle_.size > 0) {
        labelStyle_.align = kAlignCentre;
        const PixelRect& r = Rect();
        surface.DrawLabel(&labelStyle_, text.c_str(),
                          PixelRect{r.left, r.bottom - labelStyle_.size, r.right, r.bottom});
    }
    BlendSpec blend = Blend();
    if (surface.HoverEnabled() && !hovered_)
        blend = BlendSpec{kBlendNormal, 1.0f - dimAmount_};
    surface.BlitFrame(handle_, HandleRect(), 1, &blend, vertical_);
    return true;
}
