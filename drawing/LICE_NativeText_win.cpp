// GDI draws each line into a scratch section; its pixels become the coverage laid over the destination.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "LICE_NativeText.h"
#include "LICE_SysBitmap.h"
#include "Unicode.h"

struct LICE_NativeText::Handles {
    HFONT font = nullptr;
    LICE_SysBitmap scratch;     // the line as GDI draws it; grows to the largest line box drawn
    HGDIOBJ replaced = nullptr; // the scratch context's own font, put back before ours is deleted

    HDC Context() const { return static_cast<HDC>(scratch.DeviceContext()); }
    ~Handles() {
        if (replaced)
            SelectObject(Context(), replaced);
        if (font)
            DeleteObject(font);
    }
};

namespace {

std::wstring Utf16(const std::u32string& text) {
    std::wstring out;
    out.reserve(text.size());
    std::uint16_t units[2];
    for (char32_t c : text) {
        const std::size_t n = halvane::unicode::EncodeUtf16(c, units);
        for (std::size_t k = 0; k < n; ++k)
            out.push_back(static_cast<wchar_t>(units[k]));
    }
    return out;
}

int Count(const std::wstring& text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

} // namespace

std::unique_ptr<LICE_NativeText> LICE_NativeText::FromWindowsFont(void* font) {
    if (!font || GetObjectType(font) != OBJ_FONT)
        return nullptr; // not a font: not ours to delete
    auto handles = std::make_unique<Handles>();
    handles->font = static_cast<HFONT>(font); // owned from here on, whatever happens
    if (!handles->Context())
        return nullptr;
    handles->replaced = SelectObject(handles->Context(), handles->font);
    if (!handles->replaced)
        return nullptr;
    return std::unique_ptr<LICE_NativeText>(new LICE_NativeText(std::move(handles)));
}

LICE_NativeText::LICE_NativeText(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {
    const HDC dc = handles_->Context();
    char name[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, LF_FACESIZE, name) > 0)
        family_ = name;
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics)) {
        ascent_ = static_cast<int>(metrics.tmAscent);
        descent_ = static_cast<int>(metrics.tmDescent);
    }
}

LICE_NativeText::~LICE_NativeText() = default;

std::int64_t LICE_NativeText::Advance(const std::u32string& text) {
    const std::wstring wide = Utf16(text);
    SIZE size = {};
    if (wide.empty() || !GetTextExtentPoint32W(handles_->Context(), wide.data(), Count(wide), &size))
        return 0;
    return size.cx;
}

void LICE_NativeText::Render(const std::u32string& text, std::int64_t penX, std::int64_t baseline,
                             LICE_TextTarget& target) {
    const std::wstring wide = Utf16(text);
    if (wide.empty())
        return;
    // The line's box with room for glyphs that reach past their advance or the cell (italics, accents),
    // cut to the area the text may touch.
    const std::int64_t width = Advance(text);
    const std::int64_t margin = static_cast<std::int64_t>(ascent_) + descent_;
    const std::int64_t left = std::max<std::int64_t>(penX - margin, target.clipLeft);
    const std::int64_t right = std::min<std::int64_t>(penX + width + margin, target.clipRight);
    const std::int64_t top = std::max<std::int64_t>(baseline - ascent_ - margin, target.clipTop);
    const std::int64_t bottom = std::min<std::int64_t>(baseline + descent_ + margin, target.clipBottom);
    if (left >= right || top >= bottom)
        return;
    // GDI places text at int coordinates; a pen that far off cannot reach the box anyway.
    const std::int64_t originX = penX - left;
    const std::int64_t originY = baseline - top;
    if (originX < INT_MIN / 2 || originY < INT_MIN / 2 || originY > INT_MAX / 2)
        return;

    const int w = static_cast<int>(right - left);
    const int h = static_cast<int>(bottom - top);
    LICE_SysBitmap& scratch = handles_->scratch;
    if ((scratch.Width() < w || scratch.Height() < h) &&
        !scratch.Resize(std::max(w, scratch.Width()), std::max(h, scratch.Height())))
        return;
    for (int y = 0; y < h; ++y)
        std::fill_n(scratch.PixelAt(0, y), w, LICE_pixel{0});

    const HDC dc = handles_->Context();
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    TextOutW(dc, static_cast<int>(originX), static_cast<int>(originY), wide.data(), Count(wide));
    GdiFlush(); // GDI may batch; the pixels are read directly

    for (int y = 0; y < h; ++y) {
        const LICE_pixel* row = scratch.PixelAt(0, y);
        for (int x = 0; x < w; ++x)
            if (row[x] & 0xFFFFFF)
                target.CoverChannels(left + x, top + y, LICE_GETR(row[x]), LICE_GETG(row[x]),
                                     LICE_GETB(row[x]));
    }
}
