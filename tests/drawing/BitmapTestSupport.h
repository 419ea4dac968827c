#pragma once

#include <cstdint>

#include "LICE_MemBitmap.h"

// A bitmap whose every pixel names its own position, so a moved block shows where it came from.
inline LICE_MemBitmap PositionBitmap(int width, int height) {
    LICE_MemBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            *b.PixelAt(x, y) = LICE_RGBA(x + 1, y + 1, 7, 255);
    return b;
}

inline void Fill(LICE_IBitmap& b, LICE_pixel p) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            *b.PixelAt(x, y) = p;
}

// Bounding box and count of the pixels that differ from `background`.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right and bottom inclusive
    int count = 0;
};

inline Ink InkOf(const LICE_IBitmap& b, LICE_pixel background = 0) {
    Ink ink;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (*b.PixelAt(x, y) != background) {
                ++ink.count;
                if (x < ink.left)
                    ink.left = x;
                if (y < ink.top)
                    ink.top = y;
                if (x > ink.right)
                    ink.right = x;
                if (y > ink.bottom)
                    ink.bottom = y;
            }
    return ink;
}
