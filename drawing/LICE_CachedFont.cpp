#include "LICE_CachedFont.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "LICE_Blend.h"

namespace {

// UTF-8 to code points; a byte that does not start a valid sequence stands for itself (Latin-1).
std::u32string DecodeUtf8(const char* text) {
    std::u32string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        const unsigned char c = *s;
        int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0xF8)
            extra = 0;
        char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        bool valid = true;
        for (int i = 1; i <= extra; ++i) {
            if ((s[i] & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (s[i] & 0x3F);
        }
        if (!valid) {
            extra = 0;
            cp = c;
        }
        out.push_back(cp);
        s += 1 + extra;
    }
    return out;
}

} // namespace

LICE_CachedFont* LICE_CachedFont::Create(const LICE_FontSpec& spec) {
    std::unique_ptr<LICE_FontFace> face = LICE_FontFace::Open(spec);
    if (!face)
        return nullptr;
    return new LICE_CachedFont(std::move(face));
}

LICE_CachedFont::LICE_CachedFont(std::unique_ptr<LICE_FontFace> face) : glyphs_(std::move(face)) {}

int LICE_CachedFont::LineHeight() const {
    return glyphs_.Face().Ascent() + glyphs_.Face().Descent();
}

bool LICE_CachedFont::MeasureText(const char* text, int* width, int* height) {
    if (!text)
        return false;
    long w = 0;
    for (char32_t c : DecodeUtf8(text))
        w += glyphs_.Get(c).advance;
    if (width)
        *width = static_cast<int>(std::min<long>(w, 1L << 30));
    if (height)
        *height = LineHeight();
    return true;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, const LICE_Rect& rect, int flags) {
    if (!dest || !text || !dest->Bits())
        return 0;
    const std::u32string chars = DecodeUtf8(text);
    long textWidth = 0;
    for (char32_t c : chars)
        textWidth += glyphs_.Get(c).advance;

    const long rectWidth = static_cast<long>(rect.right) - rect.left;
    long penX = rect.left;
    if (flags & LICE_DT_CENTER)
        penX = rect.left + (rectWidth - textWidth) / 2;
    else if (flags & LICE_DT_RIGHT)
        penX = rect.right - textWidth;
    const long baseline = static_cast<long>(rect.top) + glyphs_.Face().Ascent();

    // The area glyphs may touch: the bitmap, and the rectangle unless clipping is off.
    long clipL = 0, clipT = 0, clipR = dest->Width(), clipB = dest->Height();
    if (!(flags & LICE_DT_NOCLIP)) {
        clipL = std::max<long>(clipL, rect.left);
        clipT = std::max<long>(clipT, rect.top);
        clipR = std::min<long>(clipR, rect.right);
        clipB = std::min<long>(clipB, rect.bottom);
    }
    const int weight = (flags & LICE_DT_USEFGALPHA) ? LICE_ScaleWeight(256, LICE_GETA(color_)) : 256;
    // Glyph edges composite over the destination, so text on an opaque surface leaves it opaque.
    const LICE_pixel source = color_ | 0xFF000000u;
    const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

    for (char32_t c : chars) {
        const LICE_Glyph& g = glyphs_.Get(c);
        const long gx = penX + g.left;
        const long gy = baseline - g.top;
        for (int y = 0; y < g.height; ++y) {
            const long py = gy + y;
            if (py < clipT || py >= clipB)
                continue;
            LICE_pixel* row = dest->PixelAt(0, static_cast<int>(py));
            for (int x = 0; x < g.width; ++x) {
                const long px = gx + x;
                if (px < clipL || px >= clipR)
                    continue;
                const int cov = g.coverage[static_cast<size_t>(y) * static_cast<size_t>(g.width) +
                                           static_cast<size_t>(x)];
                if (cov)
                    LICE_BlendPixel(row[px], source, LICE_ScaleWeight(weight, cov), mode);
            }
        }
        penX += g.advance;
        if (penX > clipR + 1000)
            break; // everything further lies outside
    }
    return LineHeight();
}
