#include <cmath>

#include "ArtStyle.h"
#include "Artwork.h"

using namespace ArtStyle;

namespace {

// Radii of the knob's parts for an image half of `size` pixels.
struct KnobGeometry {
    double body;  // the turning body
    double track; // centre line of the sweep track
    double inner; // pointer's inner end
    double outer; // pointer's outer end
};

KnobGeometry GeometryFor(int size) {
    const double half = size / 2.0;
    KnobGeometry g;
    g.outer = half - 0.8;
    g.track = half - 3.5;
    g.inner = g.track - 3.0;
    g.body = g.track - 4.0;
    return g;
}

} // namespace

namespace Artwork {

void PaintKnobImage(cairo_t* cr, int size) {
    const KnobGeometry g = GeometryFor(size);
    const double c = size / 2.0;

    // Left half: the pointer, a lit segment over the sweep track, upright; the editor turns it.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, kAccent, 0.22);
    cairo_set_line_width(cr, 5.5);
    cairo_move_to(cr, c, c - g.inner);
    cairo_line_to(cr, c, c - g.outer + 0.6);
    cairo_stroke(cr);
    SetColor(cr, kAccent);
    cairo_set_line_width(cr, 2.6);
    cairo_move_to(cr, c, c - g.inner);
    cairo_line_to(cr, c, c - g.outer + 1.4);
    cairo_stroke(cr);
    SetColor(cr, Hex(0xE9FBFF));
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, c, c - g.inner + 0.5);
    cairo_line_to(cr, c, c - g.outer + 2.0);
    cairo_stroke(cr);

    // Right half: the ring that lights the knob while the mouse is over it (drawn faintly).
    const double rx = size + c;
    cairo_new_sub_path(cr);
    cairo_arc(cr, rx, c, g.body + 0.5, 0, 2 * M_PI);
    SetColor(cr, Hex(0xFFFFFF), 0.55);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2.0);
    SetColor(cr, kAccent);
    cairo_new_sub_path(cr);
    cairo_arc(cr, rx, c, g.track, 0, 2 * M_PI);
    cairo_stroke(cr);
}

void PaintKnobBase(cairo_t* cr, double cx, double cy, int size, const std::string& unit) {
    const KnobGeometry g = GeometryFor(size);

    // Sweep track: a groove over the 300 degrees the pointer travels, with end marks.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3.2);
    SetColor(cr, kWell);
    ArcDegrees(cr, cx, cy, g.track, -150, 150);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, Hex(0x2A3039));
    ArcDegrees(cr, cx, cy, g.track, -150, 150);
    cairo_stroke(cr);
    for (double a : {-150.0, 0.0, 150.0}) {
        double x1, y1, x2, y2;
        PointAt(cx, cy, g.track + 2.2, a, &x1, &y1);
        PointAt(cx, cy, g.track + 3.4, a, &x2, &y2);
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
    }
    cairo_set_line_width(cr, 1.2);
    SetColor(cr, kUnit);
    cairo_stroke(cr);

    // Body: soft shadow, a lit rim from above, a dark face for the white value text.
    cairo_pattern_t* shadow =
        cairo_pattern_create_radial(cx, cy + 1.5, g.body - 1, cx, cy + 1.5, g.body + 2.5);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0.0);
    cairo_set_source(cr, shadow);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy + 1.5, g.body + 2.5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    cairo_pattern_t* rim = cairo_pattern_create_linear(cx, cy - g.body, cx, cy + g.body);
    cairo_pattern_add_color_stop_rgb(rim, 0, 0.36, 0.39, 0.44);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.10, 0.11, 0.13);
    cairo_set_source(cr, rim);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, g.body, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);

    cairo_pattern_t* face = cairo_pattern_create_linear(cx, cy - g.body, cx, cy + g.body);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.16, 0.18, 0.21);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.11, 0.12, 0.14);
    cairo_set_source(cr, face);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, g.body - 1.3, 0, 2 * M_PI);
    cairo_fill(cr);

    // Unit name in the open gap at the bottom of the sweep, clear of the value text.
    if (!unit.empty()) {
        SetFont(cr, kCaptionFace, 8.0, true);
        SetColor(cr, kUnit);
        DrawText(cr, unit, cx, std::round(cy + g.track + 2.0), Align::Centre);
    }
}

} // namespace Artwork
