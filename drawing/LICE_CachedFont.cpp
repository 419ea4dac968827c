#include "LICE_CachedFont.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "Unicode.h"

using halvane::unicode::DecodeUtf8;

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
