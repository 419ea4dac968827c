#pragma once

#include <cairo.h>

#include <string>
#include <vector>

// The fourteen editor images, each painted onto a fresh ARGB surface of the image's exact size.
namespace Artwork {

// Display texts of an enumerated parameter, in value order.
std::vector<std::string> TextsOf(int param);

// Knob images: the pointer half on the left, the hover ring half on the right.
void PaintKnobImage(cairo_t* cr, int size);
// The fixed parts of a knob on the background: sweep track, body and unit name.
void PaintKnobBase(cairo_t* cr, double cx, double cy, int size, const std::string& unit);

// Choice strip: one 16-pixel frame per text; list picture: the texts column by column.
void PaintChoiceStrip(cairo_t* cr, int width, const std::vector<std::string>& texts);
void PaintChoiceList(cairo_t* cr, int width, int height, int columns, const std::vector<std::string>& texts);

void PaintSliderHandle(cairo_t* cr, int width, int height);
// The routing switch: one 52 x 85 frame per routing, side by side.
void PaintRoutingSwitch(cairo_t* cr, int frameWidth, int height, const std::vector<std::string>& names);

// The whole background with its lettering. False when a caption would overlap a control or another
// caption; `problems` says which.
bool PaintBackground(cairo_t* cr, std::vector<std::string>* problems);

} // namespace Artwork
