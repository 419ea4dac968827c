#include "LICE_CachedFont.h"

#include <algorithm>
#include <cstdint>
#include <string>

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

LICE_CachedFont::LICE_CachedFont(std::unique_ptr<LICE_TextRenderer> renderer)
    : renderer_(std::move(renderer)) {}

int LICE_CachedFont::LineHeight() const {
    return renderer_->Ascent() + renderer_->Descent();
}

bool LICE_CachedFont::MeasureText(const char* text, int* width, int* height) {
    if (!text)
        return false;
    const std::int64_t w = renderer_->Advance(DecodeUtf8(text));
    if (width)
        *width = static_cast<int>(std::clamp<std::int64_t>(w, 0, 1 << 30));
    if (height)
        *height = LineHeight();
    return true;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* dest, const char* text, const LICE_Rect& rect, int flags) {
    if (!dest || !text || !dest->Bits())
        return 0;
    const std::u32string chars = DecodeUtf8(text);
    const std::int64_t textWidth = renderer_->Advance(chars);
    const std::int64_t rectWidth = static_cast<std::int64_t>(rect.right) - rect.left;
    std::int64_t penX = rect.left;
    if (flags & LICE_DT_CENTER)
        penX = rect.left + (rectWidth - textWidth) / 2;
    else if (flags & LICE_DT_RIGHT)
        penX = rect.right - textWidth;
    const std::int64_t baseline = static_cast<std::int64_t>(rect.top) + renderer_->Ascent();

    // The area glyphs may touch: the bitmap, and the rectangle unless clipping is off.
    LICE_TextTarget target;
    target.dest = dest;
    target.clipRight = dest->Width();
    target.clipBottom = dest->Height();
    if (!(flags & LICE_DT_NOCLIP)) {
        target.clipLeft = std::max(target.clipLeft, rect.left);
        target.clipTop = std::max(target.clipTop, rect.top);
        target.clipRight = std::min(target.clipRight, rect.right);
        target.clipBottom = std::min(target.clipBottom, rect.bottom);
    }
    // Glyph edges composite over the destination, so text on an opaque surface leaves it opaque.
    target.color = color_ | 0xFF000000u;
    target.weight = (flags & LICE_DT_USEFGALPHA) ? LICE_ScaleWeight(256, LICE_GETA(color_)) : 256;
    if (target.clipLeft < target.clipRight && target.clipTop < target.clipBottom && target.weight > 0)
        renderer_->Render(chars, penX, baseline, target);
    return LineHeight();
}
