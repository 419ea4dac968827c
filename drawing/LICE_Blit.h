#pragma once

#include "LICE_IBitmap.h"

// Copies the width x height block at (srcX, srcY) of `src` to (dstX, dstY) of `dest`, clipped to both
// bitmaps, blended by `mode` (LICE_BlitMode) at `alpha` (0..1). Null bitmaps, empty or negative sizes and
// blocks wholly outside draw nothing. `src` may be `dest`; overlapping blocks copy as if through a buffer.
// GUI thread.
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int width,
               int height, float alpha, int mode);

// Draws the srcW x srcH block at (srcX, srcY) of `src` into the box (dstX, dstY, dstW, dstH) of `dest`,
// scaled to fit and turned by `angle` radians clockwise about the box's centre, with bilinear filtering.
// Coordinates are pixel edges and may be fractional: a fractional source offset shifts the picture by part
// of a pixel. Sampling is limited by the source bitmap, not by the source block; the turned box is clipped
// to `dest` only. At angle 0 with whole-number coordinates and equal sizes it is an exact copy.
void LICE_RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, float dstX, float dstY, float dstW,
                      float dstH, float srcX, float srcY, float srcW, float srcH, float angle, float alpha,
                      int mode);
