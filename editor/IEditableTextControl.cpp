#include "IEditableTextControl.h"

#include "IGraphics.h"

IEditableTextControl::IEditableTextControl(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style,
                                           const char* text, const ArgbColor& background, bool acceptsEdits,
                                           bool masked)
    : ITextControl(plugin, rect, style, text), background_(background), acceptsEdits_(acceptsEdits),
      masked_(masked) {}

void IEditableTextControl::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y, (void)mods;
    if (!PromptDisabled() && Surface())
        Surface()->PromptText(this);
    SetRedrawNext();
}

bool IEditableTextControl::Render(IGraphics& surface) {
    if (background_.a != 0)
        surface.FillBox(background_, Rect());
    if (text_.empty())
        return true;
    if (!masked_)
        return surface.DrawLabel(&style_, text_.c_str(), Rect());
    const std::string stars(text_.size() < 254 ? text_.size() : 254, '*');
    return surface.DrawLabel(&style_, stars.c_str(), Rect());
}
