#pragma once

#include <atomic>

#include "IKnobControl.h"

// A knob drawn by turning an image about its centre, with its value text and, while the pointer rests
// on it, a ring laid over it. When the image was split (IGraphics::SplitStrip) the strip is the ring
// and its partId names the turning half.
class IKnobRotVal : public IKnobControl {
  public:
    // `labelOffset` places the value band (negative: inside the knob's box, that far above its bottom);
    // `diameter` 0 takes the width from the image; `hoverAmount` <= 0 draws the ring only while hovered,
    // at -hoverAmount; `steps` > 1 snaps the value on release.
    IKnobRotVal(IPlugBase* plugin, int paramIndex, int centreX, int centreY, const ImageStrip& strip,
                const TextStyle& labelStyle, int labelOffset, int sweepDegrees, double gearing, int diameter,
                int direction, float hoverAmount, bool appendUnit, int steps);

    bool Render(IGraphics& surface) override;
    void PointerUp(int x, int y, const MouseMods& mods) override;
    void PointerHover(int x, int y, const MouseMods& mods) override;
    void PointerLeft() override;

    // The turn for a value, in radians: 0 at the middle, half the sweep either way at the ends.
    static double AngleFor(int sweepDegrees, double value);
    bool Hovered() const { return hovered_; }
    // Where the value text goes.
    PixelRect LabelRect() const;

  private:
    TextStyle labelStyle_;
    ImageStrip strip_;
    int centreX_ = 0;
    int centreY_ = 0;
    int labelOffset_ = 0;
    int sweepDegrees_ = 300;
    short snapDivisions_ = 0;
    float hoverAmount_ = 0.0f;
    bool appendUnit_ = false;
    bool hovered_ = false;
    BlendSpec knobBlend_;
};
