#pragma once

#include <cstdlib>
#include <memory>

#include "LICE_IBitmap.h"

// Zeroed (transparent black) pixel memory. It comes from calloc, which hands out fresh pages without
// writing them: a large bitmap costs no memory traffic until it is first drawn into, so an editor that
// is never opened costs next to nothing.
class LICE_PixelStore {
  public:
    // Null while the store is empty.
    LICE_pixel* Data() const { return pixels_.get(); }
    // Storage for `width` x `height` pixels, replacing what was held; negative sizes count as 0 and an
    // empty size leaves the store empty with both sizes 0. False, with the store empty and both sizes
    // 0, when the size exceeds the layer's limits or memory runs out.
    bool Allocate(int& width, int& height);

  private:
    struct Free {
        void operator()(LICE_pixel* pixels) const { std::free(pixels); }
    };
    std::unique_ptr<LICE_pixel, Free> pixels_;
};
