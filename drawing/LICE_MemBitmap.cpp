#include "LICE_MemBitmap.h"

#include <cstddef>
#include <cstdint>
#include <new>

bool LICE_AllocatePixels(std::vector<LICE_pixel>& pixels, int& width, int& height) {
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    if (width > kLiceMaxSide || height > kLiceMaxSide || count > kLiceMaxPixels) {
        pixels.clear();
        pixels.shrink_to_fit();
        width = height = 0;
        return false;
    }
    try {
        pixels.assign(static_cast<std::size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        pixels.clear();
        pixels.shrink_to_fit();
        width = height = 0;
        return false;
    }
    if (count == 0)
        width = height = 0;
    return true;
}

LICE_MemBitmap::LICE_MemBitmap(int width, int height) {
    Resize(width, height);
}

bool LICE_MemBitmap::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    return LICE_AllocatePixels(pixels_, width_, height_);
}
