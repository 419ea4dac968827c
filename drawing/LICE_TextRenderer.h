#pragma once

#include <cstdint>
#include <string>

#include "LICE_Blend.h"
#include "LICE_IBitmap.h"

// Where a line of text goes: a bitmap, the box its glyphs may touch there (inside the bitmap) and the
// colour laid over it at a weight. Renderers report coverage; the target does the blending, so every
// renderer composites the same way.
struct LICE_TextTarget {
    LICE_IBitmap* dest = nullptr;
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0; // right and bottom just outside
    LICE_pixel color = 0xFF000000;                                // opaque
    int weight = 256;                                             // 0..256: the colour's alpha, or full

    bool Inside(std::int64_t x, std::int64_t y) const {
        return x >= clipLeft && x < clipRight && y >= clipTop && y < clipBottom;
    }

    // Lays the colour over the pixel at (x, y) by `coverage` (0..255); outside the box nothing happens.
    void Cover(std::int64_t x, std::int64_t y, int coverage) {
        if (coverage <= 0 || !Inside(x, y))
            return;
        LICE_BlendPixel(*dest->PixelAt(static_cast<int>(x), static_cast<int>(y)), color,
                        LICE_ScaleWeight(weight, coverage), LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
    }

    // Coverage per colour channel, as subpixel (ClearType) rendering gives it; alpha takes the largest.
    // Equal coverages blend exactly as Cover does.
    void CoverChannels(std::int64_t x, std::int64_t y, int red, int green, int blue) {
        if ((red <= 0 && green <= 0 && blue <= 0) || !Inside(x, y))
            return;
        LICE_pixel& d = *dest->PixelAt(static_cast<int>(x), static_cast<int>(y));
        const int most = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
        const int r = lice_detail::Mix(LICE_GETR(d), LICE_GETR(color), LICE_ScaleWeight(weight, red));
        const int g = lice_detail::Mix(LICE_GETG(d), LICE_GETG(color), LICE_ScaleWeight(weight, green));
        const int b = lice_detail::Mix(LICE_GETB(d), LICE_GETB(color), LICE_ScaleWeight(weight, blue));
        const int a = lice_detail::Mix(LICE_GETA(d), 255, LICE_ScaleWeight(weight, most));
        d = LICE_RGBA(r, g, b, a);
    }
};

// What turns a cached font's text into coverage: the layer's own glyph cache, or on Windows GDI itself.
// GUI thread.
class LICE_TextRenderer {
  public:
    virtual ~LICE_TextRenderer() = default;

    // Pixels above and below the baseline; their sum is the line height.
    virtual int Ascent() const = 0;
    virtual int Descent() const = 0;
    // The family of the face actually used, which may differ from the one asked for.
    virtual const char* FamilyName() const = 0;
    // True when the platform's own text renderer draws.
    virtual bool Native() const = 0;

    // How far the pen moves over `text`: the width of the line.
    virtual std::int64_t Advance(const std::u32string& text) = 0;
    // Covers `text` in `target`, its pen starting at (penX, baseline).
    virtual void Render(const std::u32string& text, std::int64_t penX, std::int64_t baseline,
                        LICE_TextTarget& target) = 0;
};
