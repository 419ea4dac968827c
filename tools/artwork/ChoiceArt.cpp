#include <algorithm>
#include <cmath>

#include "ArtStyle.h"
#include "Artwork.h"

using namespace ArtStyle;

namespace {

constexpr int kFrameHeight = 16;

// The largest size up to `size` at which `text` fits in `width`.
double FittingSize(cairo_t* cr, const std::string& text, double size, double width, bool bold) {
    for (double s = size; s > 7.0; s -= 0.25) {
        SetFont(cr, kCaptionFace, s, bold);
        if (TextWidth(cr, text) <= width)
            return s;
    }
    return 7.0;
}

} // namespace

namespace Artwork {

void PaintChoiceStrip(cairo_t* cr, int width, const std::vector<std::string>& texts) {
    UseCrispText(cr);
    // One size for every frame of a strip, so switching choices does not jump.
    double size = 11.0;
    for (const std::string& t : texts)
        size = std::min(size, FittingSize(cr, t, 11.0, width - 22.0, false));
    for (size_t i = 0; i < texts.size(); ++i) {
        const double top = static_cast<double>(i) * kFrameHeight;
        // A recessed display with a thin lit edge and the list arrow at the right.
        SetColor(cr, kWell);
        RoundedRect(cr, 0.5, top + 0.5, width - 1.0, kFrameHeight - 1.0, 3.0);
        cairo_fill_preserve(cr);
        SetColor(cr, kEdge);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        SetColor(cr, kAccent);
        const double ax = width - 9.5, ay = top + 6.5;
        cairo_move_to(cr, ax - 3.0, ay);
        cairo_line_to(cr, ax + 3.0, ay);
        cairo_line_to(cr, ax, ay + 3.5);
        cairo_close_path(cr);
        cairo_fill(cr);

        SetFont(cr, kCaptionFace, size, false);
        SetColor(cr, kText);
        const double baseline = top + std::round((kFrameHeight + CapHeight(cr)) / 2.0);
        DrawText(cr, texts[i], (width - 14.0) / 2.0 + 1.0, baseline, Align::Centre);
    }
}

void PaintChoiceList(cairo_t* cr, int width, int height, int columns, const std::vector<std::string>& texts) {
    UseCrispText(cr);
    const int n = static_cast<int>(texts.size());
    const int rows = (n + columns - 1) / columns;
    const double cellW = static_cast<double>(width) / columns;
    const double cellH = static_cast<double>(height) / rows;

    SetColor(cr, Hex(0x181B21));
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    // Every other row a shade lighter, so long columns read across.
    for (int r = 1; r < rows; r += 2) {
        SetColor(cr, Hex(0x20242B));
        cairo_rectangle(cr, 1, std::round(r * cellH), width - 2,
                        std::round((r + 1) * cellH) - std::round(r * cellH));
        cairo_fill(cr);
    }
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, kEdge);
    for (int c = 1; c < columns; ++c) {
        const double x = std::floor(c * cellW) + 0.5;
        cairo_move_to(cr, x, 2);
        cairo_line_to(cr, x, height - 2);
    }
    cairo_stroke(cr);
    SetColor(cr, kAccentDim);
    cairo_rectangle(cr, 0.5, 0.5, width - 1.0, height - 1.0);
    cairo_stroke(cr);

    double size = 11.0;
    for (const std::string& t : texts)
        size = std::min(size, FittingSize(cr, t, 11.0, cellW - 12.0, false));
    SetFont(cr, kCaptionFace, size, false);
    const double cap = CapHeight(cr);
    for (int i = 0; i < n; ++i) {
        const int col = i / rows;
        const int row = i % rows;
        const double x = std::floor(col * cellW) + 7.0;
        const double baseline = std::round(row * cellH + (cellH + cap) / 2.0);
        SetColor(cr, kText);
        DrawText(cr, texts[static_cast<size_t>(i)], x, baseline, Align::Left);
    }
}

} // namespace Artwork
