// Cached fonts on Linux: a FreeType face found through fontconfig, drawn through the glyph cache.

#include "LICE_CachedFont.h"
#include "LICE_GlyphCache.h"

LICE_CachedFont* LICE_CachedFont::Create(const LICE_FontSpec& spec) {
    std::unique_ptr<LICE_FontFace> face = LICE_FontFace::Open(spec);
    if (!face)
        return nullptr;
    return new LICE_CachedFont(std::make_unique<LICE_GlyphCache>(std::move(face)));
}
