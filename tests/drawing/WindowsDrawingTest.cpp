// What only the Windows build has: the draw bitmap as a device-independent section that GDI shares,
// cached fonts that own their Windows font, and the choice between GDI's text and the glyph cache.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "BitmapTestSupport.h"
#include "LICE_CachedFont.h"
#include "LICE_SysBitmap.h"

namespace {

TEST(SysBitmap, GdiAndTheLayerShareTopDownPixels) {
    LICE_SysBitmap b(7, 5);
    const HDC dc = static_cast<HDC>(b.DeviceContext());
    ASSERT_NE(dc, nullptr);
    ASSERT_NE(b.Bits(), nullptr);
    EXPECT_EQ(InkOf(b).count, 0); // a new section is transparent black

    // Row 1 for GDI is row 1 for the layer, red in the red byte.
    SetPixelV(dc, 3, 1, RGB(200, 20, 10));
    GdiFlush();
    EXPECT_EQ(*b.PixelAt(3, 1) & 0xFFFFFFu, 0xC8140Au);
    EXPECT_EQ(InkOf(b).count, 1);
    *b.PixelAt(6, 4) = LICE_RGBA(1, 2, 3, 255);
    EXPECT_EQ(GetPixel(dc, 6, 4), RGB(1, 2, 3));

    // The window copies the draw bitmap out with BitBlt from its context.
    LICE_SysBitmap screen(7, 5);
    BitBlt(static_cast<HDC>(screen.DeviceContext()), 0, 0, 7, 5, dc, 0, 0, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(*screen.PixelAt(3, 1) & 0xFFFFFFu, 0xC8140Au);
    EXPECT_EQ(*screen.PixelAt(6, 4) & 0xFFFFFFu, 0x010203u);
}

TEST(SysBitmap, ResizeMakesANewSectionInTheSameContextAndCleansUp) {
    HDC dc = nullptr;
    HGDIOBJ first = nullptr, second = nullptr;
    {
        LICE_SysBitmap b(16, 16);
        dc = static_cast<HDC>(b.DeviceContext());
        first = GetCurrentObject(dc, OBJ_BITMAP);
        ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
        Fill(b, 0xFF808080);

        ASSERT_TRUE(b.Resize(514, 420));
        EXPECT_EQ(b.DeviceContext(), dc);
        EXPECT_EQ(b.Width(), 514);
        EXPECT_EQ(b.RowSpan(), 514);
        EXPECT_EQ(InkOf(b).count, 0);
        second = GetCurrentObject(dc, OBJ_BITMAP);
        EXPECT_NE(second, first);
        EXPECT_EQ(GetObjectType(first), 0u) << "the old section is deleted";
        BITMAP info = {};
        ASSERT_EQ(GetObjectA(second, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, 514);
        EXPECT_EQ(info.bmHeight, 420);
        EXPECT_EQ(info.bmBitsPixel, 32);
        EXPECT_EQ(info.bmBits, b.Bits());

        // Empty and impossible sizes leave no pixels but keep the context.
        EXPECT_TRUE(b.Resize(0, 3));
        EXPECT_EQ(b.Bits(), nullptr);
        EXPECT_EQ(b.Height(), 0);
        EXPECT_EQ(GetObjectType(second), 0u);
        EXPECT_FALSE(b.Resize(1 << 16, 2));
        EXPECT_EQ(b.Bits(), nullptr);
        EXPECT_EQ(b.DeviceContext(), dc);
        ASSERT_TRUE(b.Resize(3, 3));
        second = GetCurrentObject(dc, OBJ_BITMAP);
    }
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(dc), 0u) << "the context is deleted with the bitmap";
}

TEST(WindowsFonts, RequestBecomesTheWindowsFontDescription) {
    LICE_FontSpec spec;
    spec.face = "Verdana";
    spec.height = 13;
    spec.weight = 700;
    spec.italic = true;
    spec.orientation = 90;
    spec.quality = 3;
    const HFONT font = static_cast<HFONT>(LICE_CreateWindowsFont(spec));
    ASSERT_NE(font, nullptr);
    LOGFONTA d = {};
    ASSERT_EQ(GetObjectA(font, sizeof d, &d), static_cast<int>(sizeof d));
    EXPECT_EQ(d.lfHeight, -13); // the character height, not the cell's
    EXPECT_EQ(d.lfWeight, 700);
    EXPECT_TRUE(d.lfItalic);
    EXPECT_EQ(d.lfEscapement, 900);
    EXPECT_EQ(d.lfOrientation, 900);
    EXPECT_EQ(d.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_STREQ(d.lfFaceName, "Verdana");
    DeleteObject(font);

    const int qualities[][2] = {{0, DEFAULT_QUALITY}, {2, ANTIALIASED_QUALITY}, {1, NONANTIALIASED_QUALITY}};
    for (const auto& q : qualities) {
        spec.quality = q[0];
        const HFONT f = static_cast<HFONT>(LICE_CreateWindowsFont(spec));
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(GetObjectA(f, sizeof d, &d), static_cast<int>(sizeof d));
        EXPECT_EQ(d.lfQuality, q[1]) << q[0];
        DeleteObject(f);
    }
    spec.height = 0;
    EXPECT_EQ(LICE_CreateWindowsFont(spec), nullptr);
}

TEST(WindowsFonts, TheCachedFontOwnsItsWindowsFont) {
    for (LICE_TextPath path : {LICE_TextPath::Native, LICE_TextPath::GlyphCache}) {
        LICE_FontSpec spec;
        spec.face = "Verdana";
        spec.height = 13;
        const HFONT font = static_cast<HFONT>(LICE_CreateWindowsFont(spec));
        ASSERT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        {
            std::unique_ptr<LICE_CachedFont> cached(LICE_CachedFont::FromWindowsFont(font, path));
            ASSERT_TRUE(cached);
            EXPECT_EQ(cached->DrawsNatively(), path == LICE_TextPath::Native);
            LICE_MemBitmap b(60, 20);
            cached->SetTextColor(0xFFFFFFFF);
            cached->DrawText(&b, "bypass", {0, 0, 60, 20}, 0);
            EXPECT_GT(InkOf(b).count, 0);
        }
        EXPECT_EQ(GetObjectType(font), 0u) << "deleted with the cached font";
    }
    EXPECT_EQ(LICE_CachedFont::FromWindowsFont(nullptr), nullptr);
    // Not a font: nothing is made and the handle is left alone.
    LICE_SysBitmap notAFont(2, 2);
    for (LICE_TextPath path : {LICE_TextPath::Native, LICE_TextPath::GlyphCache})
        EXPECT_EQ(LICE_CachedFont::FromWindowsFont(notAFont.DeviceContext(), path), nullptr);
    EXPECT_EQ(GetObjectType(notAFont.DeviceContext()), static_cast<DWORD>(OBJ_MEMDC));
}

TEST(WindowsFonts, GlyphCacheDrawsUnderWineAndGdiElsewhere) {
    HKEY key = nullptr;
    const bool wine = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    EXPECT_EQ(LICE_RunningUnderWine(), wine);
    LICE_FontSpec spec;
    std::unique_ptr<LICE_CachedFont> font(LICE_CachedFont::Create(spec));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->DrawsNatively(), !wine);
}

TEST(WindowsFonts, GdiAndTheGlyphCachePlaceALineAlike) {
    LICE_FontSpec spec;
    spec.face = "Arial";
    spec.height = 16;
    std::unique_ptr<LICE_CachedFont> native(
        LICE_CachedFont::FromWindowsFont(LICE_CreateWindowsFont(spec), LICE_TextPath::Native));
    std::unique_ptr<LICE_CachedFont> cached(
        LICE_CachedFont::FromWindowsFont(LICE_CreateWindowsFont(spec), LICE_TextPath::GlyphCache));
    ASSERT_TRUE(native && cached);
    EXPECT_EQ(native->LineHeight(), cached->LineHeight());
    for (const char* text : {"8000", "Special Fireworks", "-12.5 dB", "Wj"}) {
        int nativeWidth = 0, cachedWidth = 0;
        native->MeasureText(text, &nativeWidth, nullptr);
        cached->MeasureText(text, &cachedWidth, nullptr);
        EXPECT_NEAR(nativeWidth, cachedWidth, 1) << text;
        for (int align : {LICE_DT_LEFT, LICE_DT_CENTER, LICE_DT_RIGHT}) {
            LICE_MemBitmap a(200, 40), b(200, 40);
            native->SetTextColor(0xFFFFFFFF);
            cached->SetTextColor(0xFFFFFFFF);
            native->DrawText(&a, text, {20, 10, 180, 30}, align);
            cached->DrawText(&b, text, {20, 10, 180, 30}, align);
            const Ink x = InkOf(a), y = InkOf(b);
            ASSERT_GT(x.count, 0) << text;
            // Both start at the same pen; the far end may drift: Wine's GDI draws its monochrome text with
            // advances other than those it measures, a few pixels over a long caption.
            const int drift = 1 + cachedWidth / 40;
            if (align == LICE_DT_LEFT) {
                EXPECT_LE(std::abs(x.left - y.left), 1) << text;
            }
            EXPECT_LE(std::abs(x.left - y.left), drift) << text << " " << align;
            EXPECT_LE(std::abs(x.right - y.right), drift) << text << " " << align;
            EXPECT_LE(std::abs(x.top - y.top), 1) << text << " " << align;
            EXPECT_LE(std::abs(x.bottom - y.bottom), 1) << text << " " << align;
        }
    }
}

} // namespace
