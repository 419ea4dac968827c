#include "ILabelPrm.h"

#include "IGraphics.h"
#include "IParamSpec.h"

ILabelPrm::ILabelPrm(IPlugBase* plugin, int paramIndex, const PixelRect& rect, const TextStyle& style,
                     const TextStyle& savedStyle, const char* caption, const char* editCaption)
    : IControl(plugin, rect, paramIndex), style_(style), savedStyle_(savedStyle) {
    CopyText(caption_, caption ? caption : "", sizeof(caption_));
    CopyText(editCaption_, editCaption ? editCaption : "", sizeof(editCaption_));
}

void ILabelPrm::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y;
    if ((!mods.left && !mods.right) || editing_) {
        editing_ = false;
    } else {
        PromptForValue();
        SetTextEntryActive(true);
        editing_ = true;
    }
    MarkDirty(true);
}

std::string ILabelPrm::CurrentText() const {
    if (showValue_)
        return std::string(caption_) + ParamText(false);
    return editing_ ? editCaption_ : caption_;
}

bool ILabelPrm::Render(IGraphics& surface) {
    if (editing_ && !TextEntryActive())
        editing_ = false; // the value box has closed
    const PixelRect& r = Rect();
    const int a = RoundHalfAwayFromZero((r.H() - style_.size) * 0.5);
    if (!showValue_)
        style_.align = editing_ ? kAlignFar : savedStyle_.align;
    const std::string text = CurrentText();
    return surface.DrawLabel(&style_, text.c_str(), PixelRect{r.left, r.top + a, r.right, r.bottom});
}
