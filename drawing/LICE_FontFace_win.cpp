// Faces for the glyph cache on Windows: GDI rasterises each character of a Windows font
// (GetGlyphOutline), so under Wine the layer draws text itself from GDI's glyph shapes.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LICE_FontFace.h"

struct LICE_FontFace::Handles {
    HFONT font = nullptr;
    HDC dc = nullptr;
    HGDIOBJ replaced = nullptr; // the context's own font, put back before ours is deleted
    std::string family;

    ~Handles() {
        if (dc) {
            if (replaced)
                SelectObject(dc, replaced);
            DeleteDC(dc);
        }
        if (font)
            DeleteObject(font);
    }
};

namespace {

// Installed designs close to faces Windows ships, for when GDI has none of the name: Wine falls back to one
// default sans for every missing face, which would draw "Verdana" as narrow as "Arial". The pairs are the
// ones fontconfig picks on Linux.
struct Substitute {
    const char* face;
    const char* installed;
};
constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans"},       {"Verdana", "DejaVu Sans"},
    {"Tahoma", "DejaVu Sans"},          {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

std::string SelectedFace(HDC dc) {
    char name[LF_FACESIZE] = {};
    return GetTextFaceA(dc, LF_FACESIZE, name) > 0 ? std::string(name) : std::string();
}

bool SameName(const char* a, const char* b) {
    return lstrcmpiA(a, b) == 0;
}

// Selects a font of the same description under the substitute's name when GDI has that face; the font it
// replaces is deleted.
void SubstituteMissingFace(HDC dc, HFONT& font, std::string& family, const LOGFONTA& description) {
    if (SameName(family.c_str(), description.lfFaceName))
        return;
    for (const Substitute& s : kSubstitutes) {
        if (!SameName(s.face, description.lfFaceName))
            continue;
        LOGFONTA alternative = description;
        lstrcpynA(alternative.lfFaceName, s.installed, LF_FACESIZE);
        HFONT other = CreateFontIndirectA(&alternative);
        if (!other)
            return;
        SelectObject(dc, other);
        if (SameName(SelectedFace(dc).c_str(), s.installed)) {
            DeleteObject(font);
            font = other;
            family = s.installed;
        } else {
            SelectObject(dc, font);
            DeleteObject(other);
        }
        return;
    }
}

} // namespace

LICE_FontFace::LICE_FontFace(std::unique_ptr<Handles> handles, bool antialiased)
    : handles_(std::move(handles)), antialiased_(antialiased) {
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(handles_->dc, &metrics)) {
        ascent_ = static_cast<int>(metrics.tmAscent);
        descent_ = static_cast<int>(metrics.tmDescent);
    }
}

LICE_FontFace::~LICE_FontFace() = default;

std::unique_ptr<LICE_FontFace> LICE_FontFace::FromWindowsFont(void* font) {
    if (!font || GetObjectType(font) != OBJ_FONT)
        return nullptr; // not a font: not ours to delete
    auto handles = std::make_unique<Handles>();
    handles->font = static_cast<HFONT>(font); // owned from here on, whatever happens
    LOGFONTA description;
    if (GetObjectA(handles->font, sizeof description, &description) != sizeof description)
        return nullptr;
    handles->dc = CreateCompatibleDC(nullptr);
    if (!handles->dc)
        return nullptr;
    handles->replaced = SelectObject(handles->dc, handles->font);
    if (!handles->replaced)
        return nullptr;
    handles->family = SelectedFace(handles->dc);
    SubstituteMissingFace(handles->dc, handles->font, handles->family, description);
    const bool antialiased = description.lfQuality != NONANTIALIASED_QUALITY;
    return std::unique_ptr<LICE_FontFace>(new LICE_FontFace(std::move(handles), antialiased));
}

const char* LICE_FontFace::FamilyName() const {
    return handles_->family.c_str();
}

bool LICE_FontFace::RenderGlyph(char32_t character, LICE_Glyph* glyph) {
    if (!glyph)
        return false;
    *glyph = LICE_Glyph();
    // GDI takes one UTF-16 unit here; characters beyond it show as the replacement character.
    const UINT code = character > 0xFFFF ? 0xFFFDu : static_cast<UINT>(character);
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    // 65 levels of grey (0..64), or one bit a pixel when antialiasing is off.
    const UINT format = antialiased_ ? GGO_GRAY8_BITMAP : GGO_BITMAP;
    GLYPHMETRICS gm = {};
    const DWORD size = GetGlyphOutlineW(handles_->dc, code, format, &gm, 0, nullptr, &identity);
    if (size == GDI_ERROR)
        return false;
    glyph->advance = gm.gmCellIncX;
    if (size == 0)
        return true; // a blank such as the space: it moves the pen and draws nothing
    std::vector<BYTE> bits(size);
    if (GetGlyphOutlineW(handles_->dc, code, format, &gm, size, bits.data(), &identity) == GDI_ERROR)
        return false;

    // Rows are padded to whole 32-bit words.
    const int width = static_cast<int>(gm.gmBlackBoxX);
    const std::size_t pitch = antialiased_ ? (static_cast<std::size_t>(width) + 3) & ~std::size_t{3}
                                           : (static_cast<std::size_t>(width) + 31) / 32 * 4;
    if (width <= 0 || pitch == 0)
        return true;
    const int height = static_cast<int>(std::min<std::size_t>(gm.gmBlackBoxY, size / pitch));
    glyph->left = gm.gmptGlyphOrigin.x;
    glyph->top = gm.gmptGlyphOrigin.y;
    glyph->width = width;
    glyph->height = height;
    glyph->coverage.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits.data() + static_cast<std::size_t>(y) * pitch;
        std::uint8_t* out =
            glyph->coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            if (antialiased_)
                out[x] = static_cast<std::uint8_t>((std::min<int>(row[x], 64) * 255 + 32) / 64);
            else
                out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
    }
    return true;
}
