#include "LICE_PNGBitmap.h"

#include "LICE_PNG.h"
#include "ModuleResources.h"

LICE_PNGBitmap::LICE_PNGBitmap(const void* data, std::size_t size, int width, int height)
    : data_(data), size_(size), width_(width), height_(height) {}

LICE_PNGBitmap* LICE_PNGBitmap::Open(const void* data, std::size_t size) {
    int width = 0;
    int height = 0;
    if (!LICE_ReadPNGSize(data, size, &width, &height))
        return nullptr;
    return new LICE_PNGBitmap(data, size, width, height);
}

LICE_PNGBitmap* LICE_PNGBitmap::FromResource(void* module, int id) {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (!FindModuleResource(module, "PNG", id, &data, &size))
        return nullptr;
    return Open(data, size);
}

LICE_MemBitmap& LICE_PNGBitmap::Decoded() const {
    if (!decoded_.load(std::memory_order_acquire)) {
        LockGuard guard(lock_);
        if (!decoded_.load(std::memory_order_relaxed)) {
            if (pixels_.Resize(width_, height_) && !LICE_DecodePNG(data_, size_, &pixels_))
                pixels_.Resize(0, 0);
            decoded_.store(true, std::memory_order_release);
        }
    }
    return pixels_;
}

bool LICE_PNGBitmap::Resize(int width, int height) {
    LICE_MemBitmap& pixels = Decoded();
    LockGuard guard(lock_);
    const bool ok = pixels.Resize(width, height);
    width_ = pixels.Width();
    height_ = pixels.Height();
    return ok;
}
