#include "IBitmapControl.h"

#include "IGraphics.h"

namespace {

PixelRect FrameRect(int x, int y, const ImageStrip& strip, int frameLayout) {
    const int frames = strip.frames > 0 ? strip.frames : 1;
    int w = strip.width;
    int h = strip.height;
    if (frameLayout == 0)
        h /= frames;
    else if (frameLayout == 1)
        w /= frames;
    return {x, y, x + w, y + h};
}

} // namespace

IBitmapControl::IBitmapControl(IPlugBase* plugin, int x, int y, int paramIndex, const ImageStrip& strip,
                               int blendMethod, int frameLayout)
    : IControl(plugin, FrameRect(x, y, strip, frameLayout), paramIndex), vertical_(frameLayout == 0),
      strip_(strip) {
    SetBlend(BlendSpec{blendMethod, 1.0f});
}

int IBitmapControl::Frame() const {
    if (strip_.frames < 2)
        return 1;
    const int frame = static_cast<int>((strip_.frames - 1) * Value() + 0.5) + 1;
    return frame < 1 ? 1 : (frame > strip_.frames ? strip_.frames : frame);
}

bool IBitmapControl::Render(IGraphics& surface) {
    surface.BlitFrame(strip_, Rect(), Frame(), &Blend(), vertical_);
    return true;
}
