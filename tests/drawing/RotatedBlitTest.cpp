// Rotated blits: exact at 0, turning clockwise about the box's centre, fractional offsets, bad input.

#include <gtest/gtest.h>

#include <cmath>

#include "BitmapTestSupport.h"
#include "LICE_Blit.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kAlphaCopy = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

// A 21 x 21 transparent picture with an opaque bar from the centre upwards: a knob pointer at rest.
LICE_MemBitmap Pointer() {
    LICE_MemBitmap b(21, 21);
    for (int y = 1; y <= 7; ++y)
        for (int x = 9; x <= 11; ++x)
            *b.PixelAt(x, y) = 0xFFFFFFFF;
    return b;
}

// Direction of the drawn bar's weight from the box centre, in degrees clockwise from up.
double BarAngle(const LICE_MemBitmap& b, double cx, double cy, double* weight = nullptr) {
    double sx = 0, sy = 0, sw = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const double w = LICE_GETA(*b.PixelAt(x, y)) / 255.0;
            sx += w * (x + 0.5 - cx);
            sy += w * (y + 0.5 - cy);
            sw += w;
        }
    if (weight)
        *weight = sw;
    return std::atan2(sx, -sy) * 180.0 / 3.14159265358979;
}

TEST(RotatedBlit, AtZeroIsAnExactCopy) {
    const LICE_MemBitmap src = PositionBitmap(7, 5);
    LICE_MemBitmap dest(12, 9);
    LICE_RotatedBlit(&dest, &src, 3, 2, 7, 5, 0, 0, 7, 5, 0.0f, 1.0f, LICE_BLIT_MODE_COPY);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 3 && x < 10 && y >= 2 && y < 7;
            EXPECT_EQ(*dest.PixelAt(x, y), inside ? *src.PixelAt(x - 3, y - 2) : 0u) << x << "," << y;
        }
}

TEST(RotatedBlit, TurnsClockwiseAboutTheBoxCentre) {
    const LICE_MemBitmap src = Pointer();
    double restWeight = 0;
    {
        LICE_MemBitmap dest(41, 41);
        LICE_RotatedBlit(&dest, &src, 10, 10, 21, 21, 0, 0, 21, 21, 0.0f, 1.0f, kAlphaCopy);
        EXPECT_NEAR(BarAngle(dest, 20.5, 20.5, &restWeight), 0.0, 0.5);
    }
    // The knob's extremes: -150 degrees at the minimum (lower left), +150 at the maximum (lower right).
    for (float degrees : {90.0f, 150.0f, -150.0f, 180.0f, -45.0f}) {
        LICE_MemBitmap dest(41, 41);
        LICE_RotatedBlit(&dest, &src, 10, 10, 21, 21, 0, 0, 21, 21, degrees * kPi / 180.0f, 1.0f, kAlphaCopy);
        double weight = 0;
        double angle = BarAngle(dest, 20.5, 20.5, &weight);
        if (degrees == 180.0f && angle < 0)
            angle += 360.0;
        EXPECT_NEAR(angle, degrees, 2.0);
        // Bilinear filtering spreads the bar but keeps its weight.
        EXPECT_NEAR(weight, restWeight, restWeight * 0.08) << degrees;
        const Ink ink = InkOf(dest);
        EXPECT_GE(ink.left, 10);
        EXPECT_GE(ink.top, 10);
        EXPECT_LE(ink.right, 30);
        EXPECT_LE(ink.bottom, 30);
    }
}

TEST(RotatedBlit, FractionalOffsetsSampleBetweenPixels) {
    LICE_MemBitmap src(4, 1);
    const int values[] = {0, 100, 200, 250};
    for (int x = 0; x < 4; ++x)
        *src.PixelAt(x, 0) = LICE_RGBA(values[x], values[x], values[x], 255);
    LICE_MemBitmap dest(4, 1);
    LICE_RotatedBlit(&dest, &src, 0, 0, 4, 1, 0.5f, 0, 4, 1, 0.0f, 1.0f, LICE_BLIT_MODE_COPY);
    const int expected[] = {50, 150, 225, 250};
    for (int x = 0; x < 4; ++x)
        EXPECT_NEAR(LICE_GETR(*dest.PixelAt(x, 0)), expected[x], 1) << x;
}

TEST(RotatedBlit, ReadsBeyondTheSourceBlockButNotTheBitmap) {
    // Left half red, right half blue; the block is the red half, shifted one pixel right.
    LICE_MemBitmap src(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            *src.PixelAt(x, y) = x < 4 ? 0xFFFF0000 : 0xFF0000FF;
    LICE_MemBitmap dest(4, 8);
    LICE_RotatedBlit(&dest, &src, 0, 0, 4, 8, 1.0f, 0, 4, 8, 0.0f, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(*dest.PixelAt(3, 3), 0xFF0000FFu); // came from column 4, outside the block
    EXPECT_EQ(*dest.PixelAt(2, 3), 0xFFFF0000u);

    // Past the bitmap's own edge nothing is drawn.
    LICE_MemBitmap wide(8, 8);
    LICE_RotatedBlit(&wide, &src, 0, 0, 8, 8, 4.0f, 0, 8, 8, 0.0f, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(*wide.PixelAt(3, 3), 0xFF0000FFu);
    EXPECT_EQ(*wide.PixelAt(6, 3), 0u);
}

TEST(RotatedBlit, BadInputDrawsNothing) {
    const LICE_MemBitmap src = Pointer();
    LICE_MemBitmap dest(30, 30);
    LICE_RotatedBlit(nullptr, &src, 0, 0, 21, 21, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, nullptr, 0, 0, 21, 21, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, 0, 0, 0, 21, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, 0, 0, 21, -3, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, 0, 0, 21, 21, 0, 0, 0, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, NAN, 0, 21, 21, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, 0, 0, 21, 21, 0, 0, 21, 21, INFINITY, 1.0f, kAlphaCopy);
    LICE_RotatedBlit(&dest, &src, -1e9f, 1e9f, 21, 21, 0, 0, 21, 21, 1.0f, 1.0f, kAlphaCopy);
    EXPECT_EQ(InkOf(dest).count, 0);
    // A box far larger than the bitmap only costs the bitmap's own pixels.
    LICE_RotatedBlit(&dest, &src, -1e7f, -1e7f, 2e7f, 2e7f, 0, 0, 21, 21, 0.3f, 1.0f, kAlphaCopy);
}

} // namespace
