#include "IBypass.h"

#include "IGraphics.h"

IBypass::IBypass(IPlugBase* plugin, int centreX, int centreY, int radius)
    : IControl(plugin, PixelRect{centreX - radius - 1, centreY - radius - 1, centreX + radius + 1,
                                 centreY + radius + 1}) {}

void IBypass::SetOn(bool on) {
    if (on_.exchange(on, std::memory_order_relaxed) != on)
        MarkDirty(true);
}

bool IBypass::Render(IGraphics& surface) {
    const PixelRect& r = Rect();
    surface.FillDisc(IsOn() ? onColor_ : offColor_, static_cast<float>((r.left + r.right) * 0.5),
                     static_cast<float>((r.top + r.bottom) * 0.5),
                     static_cast<float>((r.right - r.left - 2) * 0.5), nullptr, true);
    return true;
}
