#pragma once

#include <memory>

#include "LICE_IFont.h"
#include "LICE_TextRenderer.h"

#ifdef _WIN32
// Who draws a Windows font's text. Automatic: GDI, except under Wine, where the layer's own glyph cache
// draws (Wine's text differs from Windows'). The other two force one way.
enum class LICE_TextPath { Automatic, Native, GlyphCache };

// A Windows font (HFONT) for the request, which the caller then owns: the character height as a negative
// font height, escapement and orientation in tenths of a degree, weight, italic, and quality 0 default,
// 2 antialiased, 3 ClearType, other non-antialiased. Null for a height outside 1..1000 or when GDI cannot
// make one.
void* LICE_CreateWindowsFont(const LICE_FontSpec& spec);

// True when the process runs under Wine: the registry key "Software\Wine" exists under
// HKEY_LOCAL_MACHINE. Looked up once per process.
bool LICE_RunningUnderWine();
#endif

// The font the editor's styles are drawn with: made once per style and kept in the editor's font cache.
// On Linux it draws from its own glyph cache over a FreeType face; on Windows it wraps a Windows font and
// draws with GDI (through the glyph cache under Wine). GUI thread.
class LICE_CachedFont : public LICE_IFont {
  public:
    // Null when no font can be made for the request (the editor then fails to draw the label). A height
    // outside 1..1000 makes none.
    static LICE_CachedFont* Create(const LICE_FontSpec& spec);

    void SetTextColor(LICE_pixel color) override { color_ = color; }
    LICE_pixel TextColor() const override { return color_; }
    int DrawText(LICE_IBitmap* dest, const char* text, const LICE_Rect& rect, int flags) override;
    bool MeasureText(const char* text, int* width, int* height) override;

    int LineHeight() const;
    // The family actually drawn with ("Liberation Sans" for "Arial" where Arial is not installed).
    const char* FamilyName() const { return renderer_->FamilyName(); }
    // True when the platform's text renderer draws, false when the layer's glyph cache does.
    bool DrawsNatively() const { return renderer_->Native(); }

#ifdef _WIN32
    // Takes ownership of `font` (an HFONT): it is deleted with the cached font, or at once when null is
    // returned. A null handle or one that is not a font gives null and is left alone.
    static LICE_CachedFont* FromWindowsFont(void* font, LICE_TextPath path = LICE_TextPath::Automatic);
#endif

  private:
    explicit LICE_CachedFont(std::unique_ptr<LICE_TextRenderer> renderer);

    std::unique_ptr<LICE_TextRenderer> renderer_;
    LICE_pixel color_ = 0xFF000000;
};
