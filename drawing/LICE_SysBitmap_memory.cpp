// The draw bitmap where there are no device-independent sections: plain memory.

#include "LICE_PixelStore.h"
#include "LICE_SysBitmap.h"

struct LICE_SysBitmap::Storage {
    LICE_PixelStore pixels;
};

LICE_SysBitmap::LICE_SysBitmap(int width, int height) : storage_(std::make_unique<Storage>()) {
    Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

bool LICE_SysBitmap::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    const bool ok = storage_->pixels.Allocate(width_, height_);
    bits_ = storage_->pixels.Data();
    return ok;
}

void* LICE_SysBitmap::DeviceContext() const {
    return nullptr;
}
