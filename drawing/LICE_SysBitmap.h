#pragma once

#include <vector>

#include "LICE_IBitmap.h"

// The bitmap a window copies to the screen: the editor's draw bitmap. On Windows its pixels will live in a
// device-independent section with its own device context; elsewhere it is ordinary memory and has no
// device context.
class LICE_SysBitmap : public LICE_IBitmap {
  public:
    explicit LICE_SysBitmap(int width = 0, int height = 0);
    ~LICE_SysBitmap() override;
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

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
