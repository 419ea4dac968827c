#pragma once

#include <cairo.h>

#include <string>

// The artwork's shared look: colours, type and the few drawing helpers every image uses.
namespace ArtStyle {

struct Rgb {
    double r, g, b;
};

constexpr Rgb Hex(unsigned v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

// A dark graphite face with one cool accent: white value text stays readable on every control.
constexpr Rgb kPanelTop = Hex(0x2B3039);
constexpr Rgb kPanelBottom = Hex(0x1A1D23);
constexpr Rgb kWell = Hex(0x121419);
constexpr Rgb kEdge = Hex(0x3C434F);
constexpr Rgb kCaption = Hex(0xA7B0BD);
constexpr Rgb kUnit = Hex(0x7D8794);
constexpr Rgb kText = Hex(0xE4E8EE);
constexpr Rgb kAccent = Hex(0x5CCFE6);
constexpr Rgb kAccentDim = Hex(0x2D6F7E);

// Condensed sans for captions and list entries; the title in the wider face.
constexpr const char* kCaptionFace = "DejaVu Sans Condensed";
constexpr const char* kTitleFace = "DejaVu Sans";

void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void SetFont(cairo_t* cr, const char* face, double size, bool bold);
// Crisp small type: slight hinting, grey antialiasing, whole-pixel metrics.
void UseCrispText(cairo_t* cr);

// Width of `text` with `spacing` extra pixels between letters.
double TextWidth(cairo_t* cr, const std::string& text, double spacing = 0.0);
// Draws `text` with its baseline at y: left from x, centred on x, or ending at x.
enum class Align { Left, Centre, Right };
void DrawText(cairo_t* cr, const std::string& text, double x, double baseline, Align align,
              double spacing = 0.0);
// Ascent of capitals in the current font.
double CapHeight(cairo_t* cr);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Paths for the knob sweep: angles in degrees, 0 up and growing clockwise.
void ArcDegrees(cairo_t* cr, double cx, double cy, double r, double from, double to);
void PointAt(double cx, double cy, double r, double degrees, double* x, double* y);

} // namespace ArtStyle
