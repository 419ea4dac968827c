#pragma once

#include "LICE_IBitmap.h"

// Filled and stroked shapes in one colour. The colour is the source pixel of the blend; `alpha` (0..1) and
// the antialiasing coverage set the weight, never the colour's alpha byte (callers fold it into `alpha`).
// LICE_BLIT_USE_ALPHA only makes the alpha channel composite over the destination. A null bitmap draws
// nothing. GUI thread.
//
// Float coordinates name pixel centres: (3, 4) is the middle of pixel column 3, row 4. Angles are in
// radians, 0 pointing up and growing clockwise, as a knob turns.

// A straight line from (x1, y1) to (x2, y2), both ends included, one pixel wide.
void LICE_Line(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel color, float alpha,
               int mode, bool antialiased);

// The width x height block at (x, y), clipped to the bitmap; empty or negative sizes draw nothing.
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel color, float alpha,
                   int mode);

// A one-pixel circular arc of `radius` about (cx, cy) from `startAngle` to `endAngle` (swapped when
// reversed; a span of a full turn or more is the whole circle).
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float radius, float startAngle, float endAngle,
              LICE_pixel color, float alpha, int mode, bool antialiased);

// The pie slice between the same angles: every pixel within `radius` of (cx, cy) and inside the angles.
void LICE_FillArc(LICE_IBitmap* dest, float cx, float cy, float radius, float startAngle, float endAngle,
                  LICE_pixel color, float alpha, int mode, bool antialiased);

// The disc of `radius` about (cx, cy); antialiased edges cover the half pixel around the radius.
void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_pixel color, float alpha,
                     int mode, bool antialiased);
