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

std::int64_t LICE_GlyphCache::Advance(const std::u32string& text) {
    std::int64_t width = 0;
    for (char32_t c : text)
        width += Get(c).advance;
    return width;
}

void LICE_GlyphCache::Render(const std::u32string& text, std::int64_t penX, std::int64_t baseline,
                             LICE_TextTarget& target) {
    for (char32_t c : text) {
        if (penX > target.clipRight + 1000)
            break; // everything further lies outside
        const LICE_Glyph& g = Get(c);
        const std::int64_t gx = penX + g.left;
        const std::int64_t gy = baseline - g.top;
        penX += g.advance;
        if (gx + g.width <= target.clipLeft)
            continue;
        for (int y = 0; y < g.height; ++y) {
            const std::uint8_t* row =
                g.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(g.width);
            for (int x = 0; x < g.width; ++x)
                if (row[x])
                    target.Cover(gx + x, gy + y, row[x]);
        }
    }
}
