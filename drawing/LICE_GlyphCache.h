#pragma once

#include <map>
#include <memory>

#include "LICE_FontFace.h"

// Rendered characters of one face, made on first use and kept for the cache's life. GUI thread.
class LICE_GlyphCache {
  public:
    explicit LICE_GlyphCache(std::unique_ptr<LICE_FontFace> face);

    const LICE_FontFace& Face() const { return *face_; }
    // The glyph for `character`; an empty glyph when the face cannot render it.
    const LICE_Glyph& Get(char32_t character);

  private:
    std::unique_ptr<LICE_FontFace> face_;
    std::map<char32_t, LICE_Glyph> glyphs_;
};
