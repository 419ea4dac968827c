#pragma once

#include <cstddef>
#include <cstdint>

#include "LICE_Types.h"

// A 32-bit pixel surface: rows of RowSpan() pixels, top row first.
// GUI thread only; a bitmap is never shared between threads while it is drawn.
class LICE_IBitmap {
  public:
    virtual ~LICE_IBitmap() = default;

    // Null when the bitmap holds no pixels (0 x 0).
    virtual LICE_pixel* Bits() = 0;
    virtual const LICE_pixel* Bits() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels from one row to the next.
    virtual int RowSpan() const = 0;
    // New size; the contents are undefined afterwards. A negative size counts as 0. False when the
    // size is too large to hold, in which case the bitmap is left empty (0 x 0).
    virtual bool Resize(int width, int height) = 0;
    // The platform drawing context behind the pixels (a device context on Windows), or null.
    virtual void* DeviceContext() const { return nullptr; }

    // The pixel at (x, y), or null outside the bitmap.
    LICE_pixel* PixelAt(int x, int y) {
        if (x < 0 || y < 0 || x >= Width() || y >= Height() || !Bits())
            return nullptr;
        return Bits() + static_cast<std::ptrdiff_t>(y) * RowSpan() + x;
    }
    const LICE_pixel* PixelAt(int x, int y) const {
        if (x < 0 || y < 0 || x >= Width() || y >= Height() || !Bits())
            return nullptr;
        return Bits() + static_cast<std::ptrdiff_t>(y) * RowSpan() + x;
    }
};

// Largest bitmap the layer allocates, in pixels per side and in total (1 GiB of pixels).
constexpr int kLiceMaxSide = 1 << 15;
constexpr std::int64_t kLiceMaxPixels = std::int64_t{1} << 28;
