// Cached fonts on Windows: a Windows font drawn by GDI, or through the glyph cache under Wine.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>

#include "LICE_CachedFont.h"
#include "LICE_GlyphCache.h"
#include "LICE_NativeText.h"

namespace {

BYTE Quality(int quality) {
    switch (quality) {
    case 0:
        return DEFAULT_QUALITY;
    case 2:
        return ANTIALIASED_QUALITY;
    case 3:
        return CLEARTYPE_QUALITY;
    default:
        return NONANTIALIASED_QUALITY;
    }
}

} // namespace

void* LICE_CreateWindowsFont(const LICE_FontSpec& spec) {
    if (spec.height <= 0 || spec.height > 1000)
        return nullptr;
    LOGFONTA font = {};
    font.lfHeight = -spec.height; // negative: the character height, not the cell height
    font.lfWidth = 0;
    font.lfEscapement = (spec.orientation % 360) * 10;
    font.lfOrientation = font.lfEscapement;
    font.lfWeight = std::clamp(spec.weight, 0, 1000);
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = Quality(spec.quality);
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(font.lfFaceName, spec.face ? spec.face : "", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

bool LICE_RunningUnderWine() {
    static const bool underWine = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }();
    return underWine;
}

LICE_CachedFont* LICE_CachedFont::Create(const LICE_FontSpec& spec) {
    void* font = LICE_CreateWindowsFont(spec);
    return font ? FromWindowsFont(font) : nullptr;
}

LICE_CachedFont* LICE_CachedFont::FromWindowsFont(void* font, LICE_TextPath path) {
    if (!font || GetObjectType(font) != OBJ_FONT)
        return nullptr; // not a font: not ours to delete
    const bool native =
        path == LICE_TextPath::Native || (path == LICE_TextPath::Automatic && !LICE_RunningUnderWine());
    std::unique_ptr<LICE_TextRenderer> renderer;
    if (native) {
        renderer = LICE_NativeText::FromWindowsFont(font);
    } else if (std::unique_ptr<LICE_FontFace> face = LICE_FontFace::FromWindowsFont(font)) {
        renderer = std::make_unique<LICE_GlyphCache>(std::move(face));
    }
    return renderer ? new LICE_CachedFont(std::move(renderer)) : nullptr;
}
