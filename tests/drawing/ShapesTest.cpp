// Shapes: discs and arcs stay inside their bounds and angles, lines and rectangles clip, bad input.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "BitmapTestSupport.h"
#include "LICE_Shapes.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr LICE_pixel kGreen = LICE_RGBA(55, 255, 55, 255);

TEST(Discs, StayWithinTheirRadiusAndAreSymmetric) {
    for (bool aa : {true, false}) {
        LICE_MemBitmap b(21, 21);
        LICE_FillCircle(&b, 10, 10, 4, kGreen, 1.0f, LICE_BLIT_MODE_COPY, aa);
        const Ink ink = InkOf(b);
        EXPECT_GE(ink.left, 5);
        EXPECT_LE(ink.right, 15);
        EXPECT_GE(ink.top, 5);
        EXPECT_LE(ink.bottom, 15);
        EXPECT_EQ(*b.PixelAt(10, 10), kGreen);
        for (int k = 0; k <= 6; ++k) {
            EXPECT_EQ(*b.PixelAt(10 + k, 10), *b.PixelAt(10 - k, 10));
            EXPECT_EQ(*b.PixelAt(10, 10 + k), *b.PixelAt(10, 10 - k));
            EXPECT_EQ(*b.PixelAt(10 + k, 10), *b.PixelAt(10, 10 + k));
        }
        double covered = 0; // the disc's area, in whole pixels
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x)
                covered += LICE_GETG(*b.PixelAt(x, y)) / 255.0;
        EXPECT_NEAR(covered, kPi * 16, aa ? 2.0 : 6.0) << aa;
    }
    // The activity lamp: radius 3 about (452, 402) stays in its 448..456 square.
    LICE_MemBitmap face(514, 420);
    LICE_FillCircle(&face, 452, 402, 3, kGreen, 250.0f / 255.0f, LICE_BLIT_MODE_COPY, true);
    const Ink lamp = InkOf(face);
    EXPECT_GE(lamp.left, 448);
    EXPECT_LT(lamp.right, 456);
    EXPECT_GE(lamp.top, 398);
    EXPECT_LT(lamp.bottom, 406);
}

TEST(Arcs, QuarterArcsKeepToTheirQuadrant) {
    // Angles clockwise from up: -pi/2..0 top left, 0..pi/2 top right, pi/2..pi bottom right, pi..3pi/2 bottom
    // left.
    const float starts[] = {-kPi / 2, 0, kPi / 2, kPi};
    const int signX[] = {-1, 1, 1, -1};
    const int signY[] = {-1, -1, 1, 1};
    for (int q = 0; q < 4; ++q) {
        for (bool filled : {false, true}) {
            LICE_MemBitmap b(31, 31);
            if (filled)
                LICE_FillArc(&b, 15, 15, 8, starts[q], starts[q] + kPi / 2, kGreen, 1.0f, LICE_BLIT_MODE_COPY,
                             true);
            else
                LICE_Arc(&b, 15, 15, 8, starts[q], starts[q] + kPi / 2, kGreen, 1.0f, LICE_BLIT_MODE_COPY,
                         true);
            int count = 0;
            for (int y = 0; y < 31; ++y)
                for (int x = 0; x < 31; ++x) {
                    if (*b.PixelAt(x, y) == 0)
                        continue;
                    ++count;
                    const int dx = x - 15, dy = y - 15;
                    EXPECT_GE(dx * signX[q], 0) << q << " " << x << "," << y;
                    EXPECT_GE(dy * signY[q], 0) << q << " " << x << "," << y;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    EXPECT_LT(d, 9.5);
                    if (!filled) {
                        EXPECT_GT(d, 6.5);
                    }
                }
            EXPECT_GT(count, filled ? 40 : 10);
        }
    }
}

TEST(Arcs, FullTurnIsTheWholeCircleAndReversedAnglesSwap) {
    LICE_MemBitmap full(21, 21), ring(21, 21), swapped(21, 21), forward(21, 21);
    LICE_Arc(&full, 10, 10, 6, 0, 2 * kPi, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_Arc(&ring, 10, 10, 6, -5, 5, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    EXPECT_EQ(InkOf(full).count, InkOf(ring).count);
    LICE_FillArc(&swapped, 10, 10, 6, kPi, 0, kGreen, 1.0f, LICE_BLIT_MODE_COPY, false);
    LICE_FillArc(&forward, 10, 10, 6, 0, kPi, kGreen, 1.0f, LICE_BLIT_MODE_COPY, false);
    EXPECT_EQ(InkOf(swapped).count, InkOf(forward).count);
    EXPECT_GE(InkOf(forward).left, 10); // the right half
}

TEST(Lines, CoverTheirPixelsAndClip) {
    LICE_MemBitmap b(20, 10);
    LICE_Line(&b, 2, 5, 12, 5, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    const Ink ink = InkOf(b);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.right, 12);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.bottom, 5);
    EXPECT_EQ(*b.PixelAt(7, 5), kGreen);

    // A diagonal antialiased line puts one pixel's worth of colour in every column.
    LICE_MemBitmap d(20, 20);
    LICE_Line(&d, 0, 0, 19, 7.6f, LICE_RGBA(255, 255, 255, 255), 1.0f, LICE_BLIT_MODE_COPY, true);
    for (int x = 0; x < 20; ++x) {
        int sum = 0;
        for (int y = 0; y < 20; ++y)
            sum += LICE_GETR(*d.PixelAt(x, y));
        EXPECT_NEAR(sum, 255, 3) << x;
    }

    // End points far away: only the row inside is drawn, quickly.
    LICE_MemBitmap far(20, 10);
    LICE_Line(&far, -1e9f, 3, 1e9f, 3, kGreen, 1.0f, LICE_BLIT_MODE_COPY, false);
    EXPECT_EQ(InkOf(far).count, 20);
    LICE_Line(&far, -50, -50, -10, -10, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_Line(&far, NAN, 0, 5, 5, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    EXPECT_EQ(InkOf(far).count, 20);
}

TEST(Rectangles, FillClippedAtEveryEdge) {
    for (int x = -4; x <= 6; x += 2)
        for (int y = -4; y <= 6; y += 2) {
            LICE_MemBitmap b(6, 5);
            LICE_FillRect(&b, x, y, 4, 3, kGreen, 1.0f, LICE_BLIT_MODE_COPY);
            for (int py = 0; py < 5; ++py)
                for (int px = 0; px < 6; ++px) {
                    const bool inside = px >= x && px < x + 4 && py >= y && py < y + 3;
                    ASSERT_EQ(*b.PixelAt(px, py), inside ? kGreen : 0u) << x << "," << y;
                }
        }
    LICE_MemBitmap b(6, 5);
    LICE_FillRect(&b, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kGreen, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_FillRect(&b, 0, 0, -3, 4, kGreen, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(InkOf(b).count, 0);
    LICE_FillRect(&b, -5, -5, INT_MAX, INT_MAX, kGreen, 0.5f, LICE_BLIT_MODE_ADD);
    EXPECT_EQ(InkOf(b).count, 30);
}

TEST(Shapes, MissingBitmapOrBadGeometryDrawsNothing) {
    LICE_FillCircle(nullptr, 1, 1, 1, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_Arc(nullptr, 1, 1, 1, 0, 1, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_Line(nullptr, 1, 1, 2, 2, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_FillRect(nullptr, 1, 1, 2, 2, kGreen, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_MemBitmap b(10, 10);
    LICE_FillCircle(&b, 5, 5, -2, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_FillCircle(&b, NAN, 5, 2, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_FillArc(&b, 5, 5, 2, NAN, 1, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    LICE_FillCircle(&b, 1e30f, -1e30f, 4, kGreen, 1.0f, LICE_BLIT_MODE_COPY, true);
    EXPECT_EQ(InkOf(b).count, 0);
    LICE_FillCircle(&b, 5, 5, 1e30f, kGreen, 1.0f, LICE_BLIT_MODE_COPY, false); // covers the bitmap, no more
    EXPECT_EQ(InkOf(b).count, 100);
}

} // namespace
