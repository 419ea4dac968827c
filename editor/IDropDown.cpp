#include "IDropDown.h"

#include "IDropDownChild.h"
#include "IGraphics.h"
#include "IParamSpec.h"

IDropDown::IDropDown(IPlugBase* plugin, int paramIndex, int x, int y, const ImageStrip& face,
                     const ImageStrip& listImage, int columns, int placement)
    : IControl(plugin,
               PixelRect{x, y - 1, x + face.width,
                         y +
                             RoundHalfAwayFromZero(static_cast<double>(face.height) /
                                                   (face.frames > 0 ? face.frames : 1)) +
                             1},
               paramIndex),
      face_(face), listImage_(listImage), columns_(columns > 0 ? columns : 1), placement_(placement) {}

PixelRect IDropDown::ListRect() const {
    const PixelRect& r = Rect();
    const int w = listImage_.width;
    const int h = listImage_.height;
    int x = r.left + RoundHalfAwayFromZero((face_.width - w) * 0.5);
    int y = r.bottom - 1;
    switch (placement_) {
    case 0:
        x = r.left;
        break;
    case 1:
        x = r.right - w;
        break;
    case 2:
        x = r.left, y = r.top - h + 1;
        break;
    case 3:
        x = r.right - w, y = r.top - h + 1;
        break;
    default:
        break;
    }
    return {x, y, x + w, y + h};
}

void IDropDown::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y;
    if (mods.right) {
        if (!PromptDisabled() && listCreated_ && list_) {
            list_->SetHidden(true);
            pressed_ = false;
        }
    } else if (mods.left) {
        if (!pressed_) {
            pressed_ = true;
            if (listCreated_ && list_) {
                list_->SetHidden(false);
            } else if (Surface()) {
                const PixelRect at = ListRect();
                list_ = new IDropDownChild(Plugin(), this, at.left, at.top, listImage_, columns_);
                Surface()->AddControl(list_);
                listCreated_ = true;
            }
        } else {
            if (list_)
                list_->SetHidden(true);
            pressed_ = false;
        }
    }
    MarkDirty(true);
}

void IDropDown::ApplyHostValue(double v) {
    IControl::ApplyHostValue(v);
    lastValue_.store(Value(), std::memory_order_relaxed);
}

bool IDropDown::Render(IGraphics& surface) {
    const int frames = face_.frames > 0 ? face_.frames : 1;
    int frame = RoundHalfAwayFromZero((frames - 1) * Value()) + 1;
    if (frame > frames)
        frame = frames;
    if (frame < 1)
        frame = 1;
    const bool changed = listCreated_ && Value() != lastValue_.load(std::memory_order_relaxed);
    // Its gesture would end one a press holds, in the middle of a drag: it waits for the release.
    const bool wait = changed && surface.HoldsPressGesture();
    if (wait) {
        SetRedrawNext();
    } else if (changed) {
        // A choice made in the list: one gesture at the host.
        SetRedrawNext();
        surface.BeginGesture(ParamIndex());
        MarkDirty(true);
        surface.EndGesture(ParamIndex());
        if (list_)
            list_->SetHidden(true);
        pressed_ = false;
    }
    if (!wait)
        lastValue_.store(Value(), std::memory_order_relaxed);
    const PixelRect& r = Rect();
    const PixelRect dest{r.left, r.top + 1, r.left + face_.width,
                         r.top + RoundHalfAwayFromZero(static_cast<double>(face_.height) / frames)};
    surface.BlitFrame(face_, dest, frame, &Blend(), true);
    return true;
}
