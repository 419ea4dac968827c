#pragma once

#include <memory>

#include "LICE_IBitmap.h"

// The bitmap a window copies to the screen: the editor's draw bitmap. On Windows its pixels live in a
// device-independent section (32-bit, top row first) selected into a memory device context of its own, so
// GDI can draw into it and copy from it; elsewhere it is ordinary memory and has no device context.
class LICE_SysBitmap : public LICE_IBitmap {
  public:
    // 0 x 0 is allowed; a size that cannot be held leaves the bitmap empty.
    explicit LICE_SysBitmap(int width = 0, int height = 0);
    ~LICE_SysBitmap() override;
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

    LICE_pixel* Bits() override { return bits_; }
    const LICE_pixel* Bits() const override { return bits_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    // Makes new pixel storage (on Windows a new section in the same device context).
    bool Resize(int width, int height) override;
    // Windows: the memory device context (an HDC), there even while the bitmap is empty. Elsewhere null.
    void* DeviceContext() const override;

  private:
    struct Storage; // the platform's pixel memory
    std::unique_ptr<Storage> storage_;
    LICE_pixel* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
