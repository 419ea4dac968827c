#pragma once

#include <vector>

#include "LICE_IBitmap.h"

// A bitmap in ordinary memory: decoded images, split knob halves, scratch surfaces.
class LICE_MemBitmap : public LICE_IBitmap {
  public:
    // 0 x 0 is allowed; a size that cannot be held leaves the bitmap empty.
    explicit LICE_MemBitmap(int width = 0, int height = 0);

    LICE_pixel* Bits() override { return pixels_.empty() ? nullptr : pixels_.data(); }
    const LICE_pixel* Bits() const override { return pixels_.empty() ? nullptr : pixels_.data(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    bool Resize(int width, int height) override;

  private:
    std::vector<LICE_pixel> pixels_;
    int width_ = 0;
    int height_ = 0;
};

// Storage for `width` x `height` pixels (negative sizes count as 0), all transparent black.
// False, with the storage emptied, when the size exceeds the layer's limits or memory runs out.
bool LICE_AllocatePixels(std::vector<LICE_pixel>& pixels, int& width, int& height);
