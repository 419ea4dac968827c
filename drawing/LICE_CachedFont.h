#pragma once

#include <memory>

#include "LICE_GlyphCache.h"
#include "LICE_IFont.h"

// The font the editor's styles are drawn with: made once per style and kept in the editor's font cache.
// On Linux it draws from its own glyph cache over a FreeType face; on Windows it will wrap a Windows font
// and draw natively (through the glyph cache under Wine). GUI thread.
class LICE_CachedFont : public LICE_IFont {
  public:
    // Null when no font can be made for the request (the editor then fails to draw the label).
    static LICE_CachedFont* Create(const LICE_FontSpec& spec);

    void SetTextColor(LICE_pixel color) override { color_ = color; }
    LICE_pixel TextColor() const override { return color_; }
    int DrawText(LICE_IBitmap* dest, const char* text, const LICE_Rect& rect, int flags) override;
    bool MeasureText(const char* text, int* width, int* height) override;

    int LineHeight() const;
    const LICE_FontFace& Face() const { return glyphs_.Face(); }

  private:
    explicit LICE_CachedFont(std::unique_ptr<LICE_FontFace> face);

    LICE_GlyphCache glyphs_;
    LICE_pixel color_ = 0xFF000000;
};
