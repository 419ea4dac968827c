// Text: the editor's faces resolve, heights are character heights, and a line lands inside its
// rectangle with its alignment, colour and alpha — on every way this platform draws text.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>

#include "BitmapTestSupport.h"
#include "LICE_CachedFont.h"

namespace {

// The ways text is drawn here: the automatic choice everywhere; on Windows also GDI itself and the glyph
// cache over GDI's glyphs, whichever of the two the automatic choice takes.
enum class Path { Automatic, Native, GlyphCache };
const Path kPaths[] = {
    Path::Automatic,
#ifdef _WIN32
    Path::Native,
    Path::GlyphCache,
#endif
};

std::unique_ptr<LICE_CachedFont> MakeFont([[maybe_unused]] Path path, const char* face, int height,
                                          int quality = 0) {
    LICE_FontSpec spec;
    spec.face = face;
    spec.height = height;
    spec.quality = quality;
#ifdef _WIN32
    if (path != Path::Automatic)
        return std::unique_ptr<LICE_CachedFont>(LICE_CachedFont::FromWindowsFont(
            LICE_CreateWindowsFont(spec),
            path == Path::Native ? LICE_TextPath::Native : LICE_TextPath::GlyphCache));
#endif
    return std::unique_ptr<LICE_CachedFont>(LICE_CachedFont::Create(spec));
}

// Readable test names in ctest.
void PrintTo(Path path, std::ostream* out) {
    *out << (path == Path::Automatic ? "automatic" : path == Path::Native ? "native" : "glyph cache");
}

bool OneOf(const char* name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return std::string(n) == name; });
}

TEST(Fonts, WindowsFacesResolveToInstalledOnes) {
    auto arial = MakeFont(Path::Automatic, "Arial", 16);
    auto verdana = MakeFont(Path::Automatic, "Verdana", 13);
    ASSERT_TRUE(arial);
    ASSERT_TRUE(verdana);
    // The face itself where it is installed, else the design fontconfig (or our table under Wine) picks.
    EXPECT_TRUE(OneOf(arial->FamilyName(), {"Arial", "Liberation Sans"})) << arial->FamilyName();
    EXPECT_TRUE(OneOf(verdana->FamilyName(), {"Verdana", "DejaVu Sans"})) << verdana->FamilyName();
    LICE_FontSpec bad;
    bad.height = 0;
    EXPECT_EQ(LICE_CachedFont::Create(bad), nullptr);
    bad.height = -16;
    EXPECT_EQ(LICE_CachedFont::Create(bad), nullptr);
    bad.height = 16;
    bad.face = nullptr;
    std::unique_ptr<LICE_CachedFont> unnamed(LICE_CachedFont::Create(bad)); // some default face, or none
    if (unnamed) {
        EXPECT_GT(unnamed->LineHeight(), 0);
    }
}

class Text : public ::testing::TestWithParam<Path> {
  protected:
    std::unique_ptr<LICE_CachedFont> Font(const char* face, int height, int quality = 0) {
        return MakeFont(GetParam(), face, height, quality);
    }
};

TEST_P(Text, HeightIsTheCharacterHeight) {
    // A capital of a 16-pixel Arial is about 0.72 of the em: 11 to 12 pixels, and the line is taller.
    auto arial = Font("Arial", 16);
    ASSERT_TRUE(arial);
    LICE_MemBitmap b(40, 40);
    arial->SetTextColor(0xFFFFFFFF);
    arial->DrawText(&b, "H", {5, 5, 35, 35}, 0);
    const Ink ink = InkOf(b);
    const int capHeight = ink.bottom - ink.top + 1;
    EXPECT_GE(capHeight, 11);
    EXPECT_LE(capHeight, 12);
    EXPECT_GE(arial->LineHeight(), 17);
    EXPECT_LE(arial->LineHeight(), 19);
}

TEST_P(Text, LandsInItsRectangleWithItsAlignment) {
    auto font = Font("Arial", 16);
    ASSERT_TRUE(font);
    font->SetTextColor(LICE_RGBA(255, 255, 255, 255));
    int width = 0, height = 0;
    ASSERT_TRUE(font->MeasureText("8000", &width, &height));
    EXPECT_EQ(height, font->LineHeight());
    const LICE_Rect band{35, 104, 81, 120}; // the Pre Delay knob's value band
    const int flags[] = {LICE_DT_LEFT, LICE_DT_CENTER, LICE_DT_RIGHT};
    for (int align : flags) {
        LICE_MemBitmap b(120, 140);
        font->DrawText(&b, "8000", band, align | LICE_DT_NOCLIP);
        const Ink ink = InkOf(b);
        ASSERT_GT(ink.count, 0);
        EXPECT_GE(ink.top, band.top);
        EXPECT_LT(ink.bottom, band.bottom);
        EXPECT_GE(ink.left, band.left);
        EXPECT_LT(ink.right, band.right);
        EXPECT_NEAR(ink.right - ink.left + 1, width, 3);
        if (align == LICE_DT_LEFT) {
            EXPECT_LE(ink.left, band.left + 2);
        } else if (align == LICE_DT_RIGHT) {
            EXPECT_GE(ink.right, band.right - 3);
        } else {
            EXPECT_NEAR((ink.left + ink.right + 1) / 2.0, (band.left + band.right) / 2.0, 1.5);
        }
    }
}

TEST_P(Text, DrawsInItsColourAndAlpha) {
    auto font = Font("Verdana", 13);
    ASSERT_TRUE(font);
    LICE_MemBitmap opaque(80, 30), faint(80, 30);
    Fill(opaque, 0xFF000000);
    Fill(faint, 0xFF000000);
    font->SetTextColor(LICE_RGBA(255, 0, 0, 100));
    font->DrawText(&opaque, "HTE", {2, 2, 78, 28}, 0);
    font->DrawText(&faint, "HTE", {2, 2, 78, 28}, LICE_DT_USEFGALPHA);
    int brightest = 0, brightestFaint = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            EXPECT_EQ(LICE_GETG(*opaque.PixelAt(x, y)), 0);
            EXPECT_EQ(LICE_GETB(*opaque.PixelAt(x, y)), 0);
            EXPECT_EQ(LICE_GETA(*opaque.PixelAt(x, y)), 255);
            EXPECT_EQ(LICE_GETA(*faint.PixelAt(x, y)), 255);
            brightest = std::max(brightest, LICE_GETR(*opaque.PixelAt(x, y)));
            brightestFaint = std::max(brightestFaint, LICE_GETR(*faint.PixelAt(x, y)));
        }
    EXPECT_EQ(brightest, 255); // bars snapped to the pixel grid are fully covered: the colour itself
    EXPECT_NEAR(brightestFaint, 100, 2);

    // On a transparent bitmap the text's coverage becomes the alpha.
    LICE_MemBitmap clear(80, 30);
    font->SetTextColor(LICE_RGBA(0, 0, 255, 255));
    font->DrawText(&clear, "HTE", {2, 2, 78, 28}, 0);
    int opaquePixels = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const LICE_pixel p = *clear.PixelAt(x, y);
            EXPECT_GE(LICE_GETA(p), LICE_GETB(p));
            opaquePixels += p == 0xFF0000FFu;
        }
    EXPECT_GT(opaquePixels, 5); // fully covered: exactly the colour, opaque
}

TEST_P(Text, WithoutAntialiasingEachPixelIsInkOrNot) {
    auto smooth = Font("Arial", 16, 2);
    auto sharp = Font("Arial", 16, 1);
    ASSERT_TRUE(smooth && sharp);
    LICE_MemBitmap a(120, 30), b(120, 30);
    smooth->SetTextColor(0xFFFFFFFF);
    sharp->SetTextColor(0xFFFFFFFF);
    smooth->DrawText(&a, "Wide Left", {4, 4, 116, 26}, 0);
    sharp->DrawText(&b, "Wide Left", {4, 4, 116, 26}, 0);
    int onSoftInk = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            const int alpha = LICE_GETA(*b.PixelAt(x, y));
            ASSERT_TRUE(alpha == 0 || alpha == 255) << x << "," << y << ": " << alpha;
            onSoftInk += alpha && LICE_GETA(*a.PixelAt(x, y));
        }
    // The same letters in the same place.
    const Ink soft = InkOf(a), hard = InkOf(b);
    EXPECT_GE(onSoftInk, hard.count * 9 / 10);
    EXPECT_GT(hard.count, 60);
    EXPECT_LE(std::abs(soft.left - hard.left), 1);
    EXPECT_LE(std::abs(soft.top - hard.top), 1);
    EXPECT_LE(std::abs(soft.right - hard.right), 2);
    EXPECT_LE(std::abs(soft.bottom - hard.bottom), 1);
}

TEST_P(Text, ClipsToItsRectangleUnlessToldNot) {
    auto font = Font("Arial", 16);
    ASSERT_TRUE(font);
    font->SetTextColor(0xFFFFFFFF);
    const LICE_Rect narrow{20, 5, 40, 25};
    LICE_MemBitmap clipped(100, 30), free(100, 30);
    font->DrawText(&clipped, "Special Fireworks", narrow, LICE_DT_CENTER);
    font->DrawText(&free, "Special Fireworks", narrow, LICE_DT_CENTER | LICE_DT_NOCLIP);
    const Ink in = InkOf(clipped);
    EXPECT_GE(in.left, narrow.left);
    EXPECT_LT(in.right, narrow.right);
    const Ink out = InkOf(free);
    EXPECT_LT(out.left, narrow.left);
    EXPECT_GE(out.right, narrow.right);
}

TEST_P(Text, BadInputDrawsNothing) {
    auto font = Font("Arial", 16);
    ASSERT_TRUE(font);
    LICE_MemBitmap b(10, 10), empty(0, 0);
    EXPECT_EQ(font->DrawText(nullptr, "x", {0, 0, 10, 10}, 0), 0);
    EXPECT_EQ(font->DrawText(&b, nullptr, {0, 0, 10, 10}, 0), 0);
    EXPECT_EQ(font->DrawText(&empty, "x", {0, 0, 10, 10}, 0), 0);
    // Far outside the bitmap, invalid UTF-8, inverted rectangles: defined, nothing drawn out of bounds.
    font->DrawText(&b, "far", {2000000000, -2000000000, 2000000100, -1999999900},
                   LICE_DT_NOCLIP | LICE_DT_RIGHT);
    font->DrawText(&b, "far", {INT_MIN, 0, INT_MIN + 10, 10}, LICE_DT_NOCLIP | LICE_DT_CENTER);
    font->DrawText(&b, "far", {INT_MAX - 10, 0, INT_MAX, 10}, LICE_DT_NOCLIP);
    EXPECT_EQ(InkOf(b).count, 0);
    font->DrawText(&b, "\xC3\x28\xFF\xE2\x82", {0, 0, 10, 10}, LICE_DT_NOCLIP);
    font->DrawText(&b, "inverted", {10, 10, 0, 0}, 0);
    EXPECT_EQ(InkOf(b).count > 0, true); // the invalid bytes still show as characters
    EXPECT_TRUE(font->MeasureText("", nullptr, nullptr));
    EXPECT_FALSE(font->MeasureText(nullptr, nullptr, nullptr));

    // Malformed UTF-8 follows the host texts' rule: each bad byte is one U+FFFD (EF BF BD).
    int bad = 0, replaced = 0, height = 0;
    ASSERT_TRUE(font->MeasureText("a\xC3(\xE2\x82", &bad, &height));
    ASSERT_TRUE(font->MeasureText("a\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD", &replaced, &height));
    EXPECT_EQ(bad, replaced);
}

std::string PathName(const ::testing::TestParamInfo<Path>& param) {
    return param.param == Path::Automatic ? "Automatic"
           : param.param == Path::Native  ? "Native"
                                          : "GlyphCache";
}

INSTANTIATE_TEST_SUITE_P(Paths, Text, ::testing::ValuesIn(kPaths), PathName);

} // namespace
