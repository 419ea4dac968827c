#pragma once

#include "LICE_Types.h"

// Per-pixel arithmetic shared by every drawing operation. Weights are fixed point: 256 is full strength.

// An alpha argument (0..1) as a weight 0..256; anything not a number draws nothing.
inline int LICE_AlphaWeight(float alpha) {
    if (!(alpha > 0.0f))
        return 0;
    if (alpha >= 1.0f)
        return 256;
    return static_cast<int>(alpha * 256.0f + 0.5f);
}

// Scales a weight by a fraction given as 0..255 (a pixel's alpha, a glyph's coverage); 255 keeps it.
inline int LICE_ScaleWeight(int weight, int fraction255) {
    return (weight * (fraction255 + (fraction255 >> 7)) + 128) >> 8;
}

namespace lice_detail {
inline int Mix(int d, int s, int w) {
    return (d * (256 - w) + s * w + 128) >> 8;
}
inline int Add(int d, int s, int w) {
    const int v = d + ((s * w + 128) >> 8);
    return v > 255 ? 255 : v;
}
inline int Dodge(int d, int s, int w) {
    int v = 255;
    if (s < 255) {
        v = d * 256 / (256 - s);
        if (v > 255)
            v = 255;
    }
    return Mix(d, v, w);
}
} // namespace lice_detail

// Blends source pixel `s` into `d` at `weight` (0..256) by the mode's low byte; an unknown mode copies.
// With LICE_BLIT_USE_ALPHA the alpha channel composites the source over the destination (an opaque
// destination stays opaque); without it the alpha channel blends like the colours.
inline void LICE_BlendPixel(LICE_pixel& d, LICE_pixel s, int weight, int mode) {
    if (weight <= 0)
        return;
    const int m = mode & LICE_BLIT_MODE_MASK;
    const bool over = (mode & LICE_BLIT_USE_ALPHA) != 0;
    if (m != LICE_BLIT_MODE_ADD && m != LICE_BLIT_MODE_DODGE && weight >= 256 && !over) {
        d = s;
        return;
    }
    int out[4];
    for (int shift = 0, i = 0; shift < 24; shift += 8, ++i) {
        const int dc = static_cast<int>((d >> shift) & 0xFF);
        const int sc = static_cast<int>((s >> shift) & 0xFF);
        if (m == LICE_BLIT_MODE_ADD)
            out[i] = lice_detail::Add(dc, sc, weight);
        else if (m == LICE_BLIT_MODE_DODGE)
            out[i] = lice_detail::Dodge(dc, sc, weight);
        else
            out[i] = lice_detail::Mix(dc, sc, weight);
    }
    const int da = static_cast<int>(d >> 24);
    const int sa = static_cast<int>(s >> 24);
    if (over)
        out[3] = lice_detail::Mix(da, 255, weight);
    else if (m == LICE_BLIT_MODE_ADD)
        out[3] = lice_detail::Add(da, sa, weight);
    else if (m == LICE_BLIT_MODE_DODGE)
        out[3] = lice_detail::Dodge(da, sa, weight);
    else
        out[3] = lice_detail::Mix(da, sa, weight);
    d = static_cast<LICE_pixel>(out[0]) | (static_cast<LICE_pixel>(out[1]) << 8) |
        (static_cast<LICE_pixel>(out[2]) << 16) | (static_cast<LICE_pixel>(out[3]) << 24);
}

// A source pixel's weight: the base weight, scaled by its alpha when the mode asks for it.
inline int LICE_SourceWeight(int weight, LICE_pixel s, int mode) {
    return (mode & LICE_BLIT_USE_ALPHA) ? LICE_ScaleWeight(weight, LICE_GETA(s)) : weight;
}
