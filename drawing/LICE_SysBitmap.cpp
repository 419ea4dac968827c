#include "LICE_SysBitmap.h"

#include "LICE_MemBitmap.h"

LICE_SysBitmap::LICE_SysBitmap(int width, int height) {
    Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() = default;

bool LICE_SysBitmap::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    return LICE_AllocatePixels(pixels_, width_, height_);
}
