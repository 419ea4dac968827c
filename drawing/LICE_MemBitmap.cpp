#include "LICE_MemBitmap.h"

LICE_MemBitmap::LICE_MemBitmap(int width, int height) {
    Resize(width, height);
}

bool LICE_MemBitmap::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    return pixels_.Allocate(width_, height_);
}
