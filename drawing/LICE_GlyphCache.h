#pragma once

#include <map>
#include <memory>

#include "LICE_FontFace.h"
#include "LICE_TextRenderer.h"

// Rendered characters of one face, made on first use and kept for the cache's life, and the text drawn
// from them glyph by glyph. GUI thread.
class LICE_GlyphCache : public LICE_TextRenderer {
  public:
    explicit LICE_GlyphCache(std::unique_ptr<LICE_FontFace> face);

    const LICE_FontFace& Face() const { return *face_; }
    // The glyph for `character`; an empty glyph when the face cannot render it.
    const LICE_Glyph& Get(char32_t character);

    int Ascent() const override { return face_->Ascent(); }
    int Descent() const override { return face_->Descent(); }
    const char* FamilyName() const override { return face_->FamilyName(); }
    bool Native() const override { return false; }
    std::int64_t Advance(const std::u32string& text) override;
    void Render(const std::u32string& text, std::int64_t penX, std::int64_t baseline,
                LICE_TextTarget& target) override;

  private:
    std::unique_ptr<LICE_FontFace> face_;
    std::map<char32_t, LICE_Glyph> glyphs_;
};
