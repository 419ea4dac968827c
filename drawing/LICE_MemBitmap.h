#pragma once

#include "LICE_IBitmap.h"
#include "LICE_PixelStore.h"

// A bitmap in ordinary memory: decoded images, split knob halves, scratch surfaces.
class LICE_MemBitmap : public LICE_IBitmap {
  public:
    // 0 x 0 is allowed; a size that cannot be held leaves the bitmap empty.
    explicit LICE_MemBitmap(int width = 0, int height = 0);

    LICE_pixel* Bits() override { return pixels_.Data(); }
    const LICE_pixel* Bits() const override { return pixels_.Data(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    bool Resize(int width, int height) override;

  private:
    LICE_PixelStore pixels_;
    int width_ = 0;
    int height_ = 0;
};
