// The draw bitmap where there are no device-independent sections: plain memory.

#include <vector>

#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

struct LICE_SysBitmap::Storage {
    std::vector<LICE_pixel> pixels;
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) : storage_(std::make_unique<Storage>()) {
    Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

bool LICE_SysBitmap::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    const bool ok = LICE_AllocatePixels(storage_->pixels, width_, height_);
    bits_ = storage_->pixels.empty() ? nullptr : storage_->pixels.data();
    return ok;
}

void* LICE_SysBitmap::DeviceContext() const {
    return nullptr;
}
