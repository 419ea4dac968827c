// Blits: blend arithmetic per mode, clipping against both bitmaps, overlapping copies, bad input.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "BitmapTestSupport.h"
#include "LICE_Blit.h"
#include "LICE_SysBitmap.h"

namespace {

LICE_pixel BlendOne(LICE_pixel dest, LICE_pixel src, float alpha, int mode) {
    LICE_MemBitmap d(1, 1), s(1, 1);
    *d.PixelAt(0, 0) = dest;
    *s.PixelAt(0, 0) = src;
    LICE_Blit(&d, &s, 0, 0, 0, 0, 1, 1, alpha, mode);
    return *d.PixelAt(0, 0);
}

TEST(BlitBlend, CopyReplacesAtFullWeightAndMixesBelowIt) {
    EXPECT_EQ(BlendOne(0x11223344, 0x80FF0010, 1.0f, LICE_BLIT_MODE_COPY), 0x80FF0010u);
    // Weights above 1 count as 1; 0 and anything not a number leave the destination alone.
    EXPECT_EQ(BlendOne(0x11223344, 0x80FF0010, 7.0f, LICE_BLIT_MODE_COPY), 0x80FF0010u);
    EXPECT_EQ(BlendOne(0x11223344, 0x80FF0010, 0.0f, LICE_BLIT_MODE_COPY), 0x11223344u);
    EXPECT_EQ(BlendOne(0x11223344, 0x80FF0010, NAN, LICE_BLIT_MODE_COPY), 0x11223344u);
    EXPECT_EQ(BlendOne(0x11223344, 0x80FF0010, -1.0f, LICE_BLIT_MODE_COPY), 0x11223344u);

    const LICE_pixel half = BlendOne(0x00000000, 0xFFFFFFFF, 0.5f, LICE_BLIT_MODE_COPY);
    for (int shift = 0; shift < 32; shift += 8)
        EXPECT_NEAR(static_cast<int>((half >> shift) & 0xFF), 128, 1);
    const LICE_pixel quarter =
        BlendOne(0xFF000000 | 0xC8C8C8, 0xFF000000 | 0x282828, 0.25f, LICE_BLIT_MODE_COPY);
    EXPECT_NEAR(LICE_GETR(quarter), 160, 1); // 200 + (40 - 200) / 4
}

TEST(BlitBlend, SourceAlphaWeighsEachPixel) {
    const int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    EXPECT_EQ(BlendOne(0xFF102030, 0x00FFFFFF, 1.0f, mode), 0xFF102030u); // transparent: nothing
    EXPECT_EQ(BlendOne(0xFF102030, 0xFFA0B0C0, 1.0f, mode), 0xFFA0B0C0u); // opaque: replaced
    const LICE_pixel red = BlendOne(0xFF000000, 0x80FF0000, 1.0f, mode);
    EXPECT_NEAR(LICE_GETR(red), 128, 1);
    EXPECT_EQ(LICE_GETG(red), 0);
    EXPECT_EQ(LICE_GETA(red), 255); // laid over an opaque pixel: still opaque
    EXPECT_NEAR(LICE_GETA(BlendOne(0x00000000, 0x80FF0000, 1.0f, mode)), 128, 1);
    EXPECT_NEAR(LICE_GETA(BlendOne(0x80000000, 0x80FF0000, 1.0f, mode)), 192, 1);
    const LICE_pixel faint = BlendOne(0xFF000000, 0x80FF0000, 0.5f, mode);
    EXPECT_NEAR(LICE_GETR(faint), 64, 1);
    // Without the flag the same pixel replaces the destination, alpha and all.
    EXPECT_EQ(BlendOne(0xFF000000, 0x80FF0000, 1.0f, LICE_BLIT_MODE_COPY), 0x80FF0000u);
}

TEST(BlitBlend, AddSaturatesAndScales) {
    EXPECT_EQ(LICE_GETR(BlendOne(0xFFC80000, 0xFF640000, 1.0f, LICE_BLIT_MODE_ADD)), 255);
    EXPECT_EQ(LICE_GETR(BlendOne(0xFF0A0000, 0xFF140000, 1.0f, LICE_BLIT_MODE_ADD)), 30);
    EXPECT_EQ(LICE_GETR(BlendOne(0xFF0A0000, 0xFF140000, 0.5f, LICE_BLIT_MODE_ADD)), 20);
    const int withAlpha = LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    EXPECT_EQ(BlendOne(0xFF0A0B0C, 0x00FFFFFF, 1.0f, withAlpha), 0xFF0A0B0Cu);
    EXPECT_NEAR(LICE_GETG(BlendOne(0xFF000A00, 0x8000C800, 1.0f, withAlpha)), 10 + 100, 1);
}

TEST(BlitBlend, ColourDodgeBrightensByTheSource) {
    const int dodge = LICE_BLIT_MODE_DODGE;
    EXPECT_EQ(LICE_GETB(BlendOne(0xFF000064, 0xFF000080, 1.0f, dodge)), 200); // 100 / (1 - 0.5)
    EXPECT_EQ(LICE_GETB(BlendOne(0xFF000064, 0xFF000000, 1.0f, dodge)), 100); // black source: unchanged
    EXPECT_EQ(LICE_GETB(BlendOne(0xFF000064, 0xFF0000FF, 1.0f, dodge)), 255); // white source: full
    EXPECT_EQ(LICE_GETB(BlendOne(0xFF000000, 0xFF0000F0, 1.0f, dodge)), 0);   // black stays black
    EXPECT_NEAR(LICE_GETB(BlendOne(0xFF000064, 0xFF000080, 0.5f, dodge)), 150, 1);
    EXPECT_EQ(BlendOne(0xFF000064, 0x000000FF, 1.0f, dodge | LICE_BLIT_USE_ALPHA), 0xFF000064u);
}

// Reference: every destination pixel whose source lies inside the source bitmap is copied.
std::vector<LICE_pixel> ExpectedCopy(const LICE_MemBitmap& dest, const LICE_MemBitmap& src, std::int64_t dx,
                                     std::int64_t dy, std::int64_t sx, std::int64_t sy, std::int64_t w,
                                     std::int64_t h) {
    std::vector<LICE_pixel> out;
    for (int y = 0; y < dest.Height(); ++y)
        for (int x = 0; x < dest.Width(); ++x) {
            const std::int64_t ox = x - dx, oy = y - dy;
            const std::int64_t srcX = sx + ox, srcY = sy + oy;
            const bool inside = ox >= 0 && oy >= 0 && ox < w && oy < h && srcX >= 0 && srcY >= 0 &&
                                srcX < src.Width() && srcY < src.Height();
            out.push_back(inside ? *src.PixelAt(static_cast<int>(srcX), static_cast<int>(srcY))
                                 : *dest.PixelAt(x, y));
        }
    return out;
}

std::vector<LICE_pixel> Pixels(const LICE_MemBitmap& b) {
    std::vector<LICE_pixel> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            out.push_back(*b.PixelAt(x, y));
    return out;
}

TEST(BlitClipping, EveryEdgeOfBothBitmaps) {
    const LICE_MemBitmap src = PositionBitmap(5, 4);
    // Blocks hanging over each edge of the destination and reading past each edge of the source.
    for (int dx = -6; dx <= 7; dx += 1)
        for (int dy = -5; dy <= 6; dy += 1)
            for (int sx : {-3, 0, 2, 6})
                for (int sy : {-2, 0, 3})
                    for (int size : {1, 3, 9}) {
                        LICE_MemBitmap dest(6, 5);
                        Fill(dest, 0xDEADBEEF);
                        const auto expected =
                            ExpectedCopy(dest, src, dx, dy, sx, sy, size, size - 1 + (size == 1));
                        LICE_Blit(&dest, &src, dx, dy, sx, sy, size, size - 1 + (size == 1), 1.0f,
                                  LICE_BLIT_MODE_COPY);
                        ASSERT_EQ(Pixels(dest), expected) << dx << "," << dy << " from " << sx << "," << sy;
                    }
}

TEST(BlitClipping, FarCoordinatesAndSizesDrawOnlyWhatOverlaps) {
    const LICE_MemBitmap src = PositionBitmap(4, 4);
    const int cases[][6] = {
        {INT_MAX, 0, 0, 0, INT_MAX, INT_MAX},
        {INT_MIN, INT_MIN, 0, 0, INT_MAX, INT_MAX},
        {0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {-2, -2, 0, 0, INT_MAX, INT_MAX},
        {0, 0, INT_MAX, 0, 4, 4},
        {1, 1, 0, 0, 0, 4},
        {1, 1, 0, 0, -5, 4},
        {1, 1, 0, 0, 4, INT_MIN},
    };
    for (const auto& c : cases) {
        LICE_MemBitmap dest(4, 4);
        const auto expected = ExpectedCopy(dest, src, c[0], c[1], c[2], c[3], c[4], c[5]);
        LICE_Blit(&dest, &src, c[0], c[1], c[2], c[3], c[4], c[5], 1.0f, LICE_BLIT_MODE_COPY);
        EXPECT_EQ(Pixels(dest), expected) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}

TEST(BlitClipping, OverlappingBlockInOneBitmapCopiesAsThroughABuffer) {
    LICE_MemBitmap b(8, 1);
    for (int x = 0; x < 8; ++x)
        *b.PixelAt(x, 0) = static_cast<LICE_pixel>(x);
    LICE_Blit(&b, &b, 2, 0, 0, 0, 6, 1, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(b), (std::vector<LICE_pixel>{0, 1, 0, 1, 2, 3, 4, 5}));
    LICE_Blit(&b, &b, 0, 0, 2, 0, 6, 1, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(Pixels(b), (std::vector<LICE_pixel>{0, 1, 2, 3, 4, 5, 4, 5}));
}

TEST(BlitClipping, MissingOrEmptyBitmapsDrawNothing) {
    LICE_MemBitmap dest(3, 3), empty(0, 0), negative(-4, -9);
    const LICE_MemBitmap src = PositionBitmap(3, 3);
    EXPECT_EQ(negative.Width(), 0);
    EXPECT_EQ(negative.Bits(), nullptr);
    LICE_Blit(nullptr, &src, 0, 0, 0, 0, 3, 3, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(&dest, nullptr, 0, 0, 0, 0, 3, 3, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(&dest, &empty, 0, 0, 0, 0, 3, 3, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(&empty, &src, 0, 0, 0, 0, 3, 3, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(InkOf(dest).count, 0);
}

TEST(Bitmaps, ResizeKeepsWithinLimits) {
    LICE_MemBitmap b(2, 2);
    EXPECT_TRUE(b.Resize(5, 3));
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.RowSpan(), 5);
    ASSERT_NE(b.PixelAt(4, 2), nullptr);
    EXPECT_EQ(b.PixelAt(5, 2), nullptr);
    EXPECT_EQ(b.PixelAt(-1, 0), nullptr);
    EXPECT_FALSE(b.Resize(1 << 20, 1 << 20));
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_TRUE(b.Resize(0, 7));
    EXPECT_EQ(b.Height(), 0);

    LICE_SysBitmap draw(514, 420);
    EXPECT_EQ(draw.Width(), 514);
    EXPECT_EQ(draw.RowSpan(), 514);
#ifdef _WIN32
    EXPECT_NE(draw.DeviceContext(), nullptr); // a section in a device context of its own
#else
    EXPECT_EQ(draw.DeviceContext(), nullptr); // ordinary memory here
#endif
    EXPECT_FALSE(draw.Resize(-1, 1 << 30));
    EXPECT_EQ(draw.Bits(), nullptr);
}

} // namespace
