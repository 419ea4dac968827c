#pragma once

#include <atomic>
#include <cstddef>

#include "LICE_IBitmap.h"
#include "LICE_MemBitmap.h"
#include "RecursiveLock.h"

// A PNG image whose pixels are decoded when they are first asked for. Its size comes from the header
// at once, so an editor can be laid out with its images while the decoding waits for the first drawing:
// an instance whose editor never opens (a render, a project that is only played) never pays for it.
// The encoded data must outlive the bitmap, as a module's resources do. Any thread may ask for the
// pixels; the first to ask decodes them, once. Data that turns out not to decode leaves no pixels
// (Bits() null), so nothing of it is drawn.
class LICE_PNGBitmap : public LICE_IBitmap {
  public:
    // Null when the data is no PNG, or its size is empty or beyond the layer's limits.
    static LICE_PNGBitmap* Open(const void* data, std::size_t size);
    // The same for resource `id` of type "PNG" in `module`; null when the module has no such resource.
    static LICE_PNGBitmap* FromResource(void* module, int id);

    LICE_pixel* Bits() override { return Decoded().Bits(); }
    const LICE_pixel* Bits() const override { return Decoded().Bits(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_; }
    // New, undefined pixels in place of the image.
    bool Resize(int width, int height) override;

  private:
    LICE_PNGBitmap(const void* data, std::size_t size, int width, int height);
    LICE_MemBitmap& Decoded() const;

    const void* data_;
    std::size_t size_;
    int width_;
    int height_;
    mutable std::atomic<bool> decoded_{false};
    mutable RecursiveLock lock_;
    mutable LICE_MemBitmap pixels_;
};
