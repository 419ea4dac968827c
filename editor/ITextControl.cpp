#include "ITextControl.h"

#include "IGraphics.h"

ITextControl::ITextControl(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style, const char* text)
    : IControl(plugin, rect), style_(style), text_(text ? text : "") {}

bool ITextControl::Render(IGraphics& surface) {
    if (text_.empty())
        return true;
    return surface.DrawLabel(&style_, text_.c_str(), Rect());
}

void ITextControl::SetText(const char* text) {
    if (!text)
        text = "";
    if (text_ == text)
        return;
    MarkDirty(false);
    text_ = text;
}
