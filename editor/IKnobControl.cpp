#include "IKnobControl.h"

IKnobControl::IKnobControl(IPlugBase* plugin, const PixelRect& rect, int paramIndex, int direction,
                           double gearing)
    : IControl(plugin, rect, paramIndex), direction_(direction), gearing_(gearing) {}

void IKnobControl::PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) {
    (void)x, (void)y;
    double gearing = gearing_;
    if (mods.ctrl || mods.shift)
        gearing *= 10.0;
    const PixelRect& r = Rect();
    const double span = direction_ == kVertical ? static_cast<double>(r.top - r.bottom) : r.right - r.left;
    if (span == 0.0 || !(gearing != 0.0))
        return; // a control without extent cannot be dragged
    const double delta = direction_ == kVertical ? dy : dx;
    SetValue(Value() + delta / span / gearing);
    MarkDirty(true);
}
