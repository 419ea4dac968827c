#include "ArtStyle.h"

#include <cmath>

namespace ArtStyle {

void SetColor(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void SetFont(cairo_t* cr, const char* face, double size, bool bold) {
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

void UseCrispText(cairo_t* cr) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double TextWidth(cairo_t* cr, const std::string& text, double spacing) {
    if (text.empty())
        return 0.0;
    if (spacing == 0.0) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, text.c_str(), &e);
        return e.x_advance;
    }
    double w = 0.0;
    for (char c : text) {
        const char s[2] = {c, 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        w += e.x_advance + spacing;
    }
    return w - spacing;
}

void DrawText(cairo_t* cr, const std::string& text, double x, double baseline, Align align, double spacing) {
    const double w = TextWidth(cr, text, spacing);
    double pen = align == Align::Left ? x : align == Align::Centre ? x - w / 2.0 : x - w;
    pen = std::round(pen);
    if (spacing == 0.0) {
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, text.c_str());
        cairo_new_path(cr);
        return;
    }
    for (char c : text) {
        const char s[2] = {c, 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, s, &e);
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, s);
        pen += e.x_advance + spacing;
    }
    cairo_new_path(cr);
}

double CapHeight(cairo_t* cr) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    return -e.y_bearing;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    const double pi = 3.14159265358979323846;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void ArcDegrees(cairo_t* cr, double cx, double cy, double r, double from, double to) {
    const double pi = 3.14159265358979323846;
    // Cairo's angle 0 points right; ours points up. A new sub-path, so no line joins the text pen to it.
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, (from - 90.0) * pi / 180.0, (to - 90.0) * pi / 180.0);
}

void PointAt(double cx, double cy, double r, double degrees, double* x, double* y) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    *x = cx + r * std::sin(a);
    *y = cy - r * std::cos(a);
}

} // namespace ArtStyle
