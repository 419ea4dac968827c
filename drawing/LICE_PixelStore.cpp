#include "LICE_PixelStore.h"

#include <cstddef>
#include <cstdint>

bool LICE_PixelStore::Allocate(int& width, int& height) {
    pixels_.reset();
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    if (width > kLiceMaxSide || height > kLiceMaxSide || count > kLiceMaxPixels) {
        width = height = 0;
        return false;
    }
    if (count > 0)
        pixels_.reset(
            static_cast<LICE_pixel*>(std::calloc(static_cast<std::size_t>(count), sizeof(LICE_pixel))));
    if (!pixels_) {
        width = height = 0;
        return count == 0;
    }
    return true;
}
