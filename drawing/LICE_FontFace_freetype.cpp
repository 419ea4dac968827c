#include "LICE_FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

struct LICE_FontFace::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Handles() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// The font file fontconfig picks for the family, weight and slant, with the face index inside it.
bool MatchFontFile(const LICE_FontSpec& spec, std::string* path, int* index) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    bool found = false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(spec.face ? spec.face : ""));
        FcPatternAddInteger(pattern, FC_WEIGHT, spec.weight >= 700 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, spec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match) {
            FcChar8* file = nullptr;
            int faceIndex = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex);
                *path = reinterpret_cast<const char*>(file);
                *index = faceIndex;
                found = true;
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

} // namespace

LICE_FontFace::LICE_FontFace(std::unique_ptr<Handles> handles, bool antialiased)
    : handles_(std::move(handles)), antialiased_(antialiased) {
    const FT_Size_Metrics& m = handles_->face->size->metrics;
    ascent_ = static_cast<int>((m.ascender + 63) >> 6);
    descent_ = static_cast<int>((-m.descender + 63) >> 6);
}

LICE_FontFace::~LICE_FontFace() = default;

std::unique_ptr<LICE_FontFace> LICE_FontFace::Open(const LICE_FontSpec& spec) {
    if (spec.height <= 0 || spec.height > 1000)
        return nullptr;
    std::string path;
    int index = 0;
    if (!MatchFontFile(spec, &path, &index))
        return nullptr;
    auto handles = std::make_unique<Handles>();
    if (FT_Init_FreeType(&handles->library) != 0)
        return nullptr;
    if (FT_New_Face(handles->library, path.c_str(), index, &handles->face) != 0)
        return nullptr;
    if (FT_Set_Pixel_Sizes(handles->face, 0, static_cast<FT_UInt>(spec.height)) != 0)
        return nullptr;
    const bool antialiased = spec.quality == 0 || spec.quality == 2 || spec.quality == 3;
    return std::unique_ptr<LICE_FontFace>(new LICE_FontFace(std::move(handles), antialiased));
}

const char* LICE_FontFace::FamilyName() const {
    const char* name = handles_->face->family_name;
    return name ? name : "";
}

bool LICE_FontFace::RenderGlyph(char32_t character, LICE_Glyph* glyph) {
    if (!glyph)
        return false;
    *glyph = LICE_Glyph();
    FT_Face face = handles_->face;
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(character));
    // Light hinting keeps shapes true and snaps only vertically; monochrome when antialiasing is off.
    const FT_Int32 load = FT_LOAD_RENDER | (antialiased_ ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face, index, load) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->width = static_cast<int>(bm.width);
    glyph->height = static_cast<int>(bm.rows);
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->coverage.assign(static_cast<size_t>(glyph->width) * static_cast<size_t>(glyph->height), 0);
    for (int y = 0; y < glyph->height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
        for (int x = 0; x < glyph->width; ++x) {
            std::uint8_t v;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                v = row[x];
            else
                v = 0;
            glyph->coverage[static_cast<size_t>(y) * static_cast<size_t>(glyph->width) +
                            static_cast<size_t>(x)] = v;
        }
    }
    return true;
}
