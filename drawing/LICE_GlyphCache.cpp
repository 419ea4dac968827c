#include "LICE_GlyphCache.h"

LICE_GlyphCache::LICE_GlyphCache(std::unique_ptr<LICE_FontFace> face) : face_(std::move(face)) {}

const LICE_Glyph& LICE_GlyphCache::Get(char32_t character) {
    auto it = glyphs_.find(character);
    if (it != glyphs_.end())
        return it->second;
    LICE_Glyph glyph;
    if (!face_->RenderGlyph(character, &glyph))
        glyph = LICE_Glyph();
    return glyphs_.emplace(character, std::move(glyph)).first->second;
}
