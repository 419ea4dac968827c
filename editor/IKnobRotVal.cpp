#include "IKnobRotVal.h"

#include <cmath>
#include <string>

#include "IGraphics.h"
#include "IParamSpec.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

PixelRect KnobRect(int centreX, int centreY, const ImageStrip& strip, int diameter, int labelOffset,
                   int labelSize) {
    const int frames = strip.frames > 0 ? strip.frames : 1;
    const int halfHeight = RoundHalfAwayFromZero(strip.height * 0.5);
    const int halfWidth =
        diameter != 0 ? diameter / 2 : RoundHalfAwayFromZero(static_cast<double>(strip.width) / frames * 0.5);
    const int bottom =
        labelOffset < 0 ? centreY + halfHeight : centreY + halfHeight + labelSize + labelOffset;
    return {centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, bottom};
}

} // namespace

IKnobRotVal::IKnobRotVal(IPlugBase* plugin, int paramIndex, int centreX, int centreY, const ImageStrip& strip,
                         const TextStyle& labelStyle, int labelOffset, int sweepDegrees, double gearing,
                         int diameter, int direction, float hoverAmount, bool appendUnit, int steps)
    : IKnobControl(plugin, KnobRect(centreX, centreY, strip, diameter, labelOffset, labelStyle.size),
                   paramIndex, direction, gearing),
      labelStyle_(labelStyle), strip_(strip), centreX_(centreX), centreY_(centreY), labelOffset_(labelOffset),
      sweepDegrees_(sweepDegrees), snapDivisions_(static_cast<short>(steps - 1)), hoverAmount_(hoverAmount),
      appendUnit_(appendUnit) {}

double IKnobRotVal::AngleFor(int sweepDegrees, double value) {
    const float half = static_cast<float>(sweepDegrees * kPi / 360.0);
    return static_cast<double>(half * static_cast<float>(2.0 * value) + (-half));
}

PixelRect IKnobRotVal::LabelRect() const {
    const PixelRect& r = Rect();
    const int size = labelStyle_.size;
    if (labelOffset_ < 0)
        return {r.left, r.bottom - size + labelOffset_, r.right, r.bottom + labelOffset_};
    return {r.left, r.bottom - size, r.right, r.bottom};
}

bool IKnobRotVal::Render(IGraphics& surface) {
    knobBlend_ = BlendSpec{kBlendNormal, 1.0f};
    if (hovered_)
        knobBlend_.weight = hoverAmount_ <= 0.0f ? -hoverAmount_ : 1.0f - hoverAmount_;

    const std::string text = ParamText(appendUnit_);
    if (!text.empty() && labelStyle_.size > 0) {
        labelStyle_.align = kAlignCentre;
        surface.DrawLabel(&labelStyle_, text.c_str(), LabelRect());
    }

    const double value = Value();
    const double angle = AngleFor(sweepDegrees_, value);
    const double shift = -2.0 * std::fabs(value - 0.5);

    ImageStrip pointer = strip_;
    if (strip_.partId < -1) {
        if (hovered_ || hoverAmount_ > 0.0f) {
            const PixelRect& r = Rect();
            const PixelRect ring{RoundHalfAwayFromZero(centreX_ - strip_.width / 2.0), r.top,
                                 RoundHalfAwayFromZero(centreX_ + strip_.width / 2.0),
                                 r.bottom - labelOffset_ - labelStyle_.size};
            surface.BlitFrame(strip_, ring, 1, &knobBlend_, true);
        }
        if (hovered_)
            knobBlend_.weight = 1.0f;
        surface.CachedStrip(&pointer, strip_.partId);
    }
    surface.BlitRotated(pointer, centreX_, centreY_, angle, &knobBlend_, shift, shift);
    return true;
}

void IKnobRotVal::PointerUp(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (snapDivisions_ > 0)
        SetValue(std::floor(snapDivisions_ * Value() + 0.5) / snapDivisions_);
    MarkDirty(true);
}

void IKnobRotVal::PointerHover(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (!hovered_) {
        hovered_ = true;
        MarkDirty(false);
    }
}

void IKnobRotVal::PointerLeft() {
    hovered_ = false;
    MarkDirty(false);
}
